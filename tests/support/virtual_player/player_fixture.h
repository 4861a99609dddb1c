#pragma once
// Tests on the virtual player: a fresh player folder made with kd5200sim and
// plugged in, a fresh settings home, the real device library loaded by
// DevInit, message boxes and file dialogs answered from queues.
#include "lib/device/device_layer.h"
#include "device_test_support.h"
#include "base/platform/file_dialog.h"
#include "run_program.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <functional>
#include <utility>
#include <optional>
#include <string>
#include <vector>

namespace playertest {

// Records every file dialog and answers from a queue (then cancels).
class ScriptedFileDialogs {
public:
    ScriptedFileDialogs() {
        old_ = platform::SetFileDialogHandler([this](const platform::FileDialogRequest& r) {
            shown.push_back(r);
            if (whileOpen) std::exchange(whileOpen, nullptr)();
            if (answers.empty()) return std::optional<std::string>();
            std::optional<std::string> answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    ~ScriptedFileDialogs() { platform::SetFileDialogHandler(old_); }
    ScriptedFileDialogs(const ScriptedFileDialogs&) = delete;
    ScriptedFileDialogs& operator=(const ScriptedFileDialogs&) = delete;

    std::deque<std::optional<std::string>> answers; // nullopt: Cancel
    std::vector<platform::FileDialogRequest> shown;
    // Runs once, while the next dialog is open, before it is answered.
    std::function<void()> whileOpen;

private:
    platform::FileDialogHandler old_;
};

// A fresh player folder and settings home in the environment, the real
// device library named, message boxes and file dialogs answered from
// queues; no player is created yet.
class PlayerHome : public testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", config_.path().c_str(), 1);
        setenv("KD5200_PLAYER_DIR", player_.path().c_str(), 1);
        setenv("KD5200USB_LIBRARY", SD_KD5200USB_PATH, 1);
        unsetenv("KD5200_SPEED");
    }
    void TearDown() override {
        unsetenv("KD5200_SPEED");
        unsetenv("KD5200USB_LIBRARY");
        unsetenv("KD5200_PLAYER_DIR");
    }

    // Runs kd5200sim on the test's player; its standard output.
    std::string Sim(const std::string& arguments) {
        const auto run = sdtest::RunProgram(std::string(SD_BIN_DIR) + "/kd5200sim",
                                            Words(arguments), work_.path());
        EXPECT_EQ(run.status, 0) << "kd5200sim " << arguments << ": " << run.err;
        return run.out;
    }

    devtest::TempDir config_;
    devtest::TempDir player_;
    devtest::TempDir work_;
    devtest::ScriptedBoxes boxes_;
    ScriptedFileDialogs dialogs_;

private:
    static std::vector<std::string> Words(const std::string& text) {
        std::vector<std::string> words;
        std::string word;
        for (char c : text) {
            if (c == ' ') {
                if (!word.empty()) words.push_back(word);
                word.clear();
            } else {
                word += c;
            }
        }
        if (!word.empty()) words.push_back(word);
        return words;
    }
};

// A player made with kd5200sim and plugged in, the device layer opened.
class PlayerTest : public PlayerHome {
protected:
    void SetUp() override {
        PlayerHome::SetUp();
        Sim("create " + CreateOptions());
        Sim("plug");
        DevInit();
        ASSERT_TRUE(DevLibraryLoaded()) << DevLibraryError();
    }
    void TearDown() override {
        DevSetProgressHandler(nullptr);
        DevExit();
        PlayerHome::TearDown();
    }
    // Options of "kd5200sim create".
    virtual std::string CreateOptions() const { return ""; }

    // Opens the player and reads both directories.
    void Connect() {
        int count = 0, mask = 0;
        ASSERT_TRUE(DevConnect(true, &count, &mask));
    }
};

} // namespace playertest
