#pragma once
// The help page of the task under way. While a TaskHelp lives, F1 in the
// boxes, choosers and dialogs that its task opens shows the task's page
// rather than that of the window that had the keyboard when it began.
#include <string>

namespace platform {

class TaskHelp {
public:
    explicit TaskHelp(std::string page);
    ~TaskHelp();
    TaskHelp(const TaskHelp&) = delete;
    TaskHelp& operator=(const TaskHelp&) = delete;

private:
    std::string outer_;
};

// The page of the innermost task under way, or "" outside any.
const std::string& CurrentTaskHelp();

} // namespace platform
