#pragma once
// A message-box handler for tests: records every box and answers from a
// queue. Installed for the lifetime of the object.
#include "base/platform/message_box.h"

#include <deque>
#include <string>
#include <vector>

namespace platform {

class ScriptedMessageBoxes {
public:
    // One box as it was asked for.
    struct Shown {
        void* owner;
        std::string text; // the main text
        std::string caption;
        unsigned style;
        std::string secondary; // the secondary text, if any
    };

    // fallback: the answer when the queue is empty (0: the first button
    // of the box, OK or Yes).
    explicit ScriptedMessageBoxes(int fallback = 0);
    ~ScriptedMessageBoxes();
    ScriptedMessageBoxes(const ScriptedMessageBoxes&) = delete;
    ScriptedMessageBoxes& operator=(const ScriptedMessageBoxes&) = delete;

    // Queues the answer to the next box.
    void Answer(int result) { answers_.push_back(result); }
    const std::vector<Shown>& Boxes() const { return shown_; }

private:
    int Show(void* owner, const std::string& text, const std::string& caption, unsigned style);

    std::deque<int> answers_;
    std::vector<Shown> shown_;
    int fallback_;
    MessageBoxHandler previous_;
};

} // namespace platform
