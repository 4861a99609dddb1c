#pragma once
// A virtual player for the pane tests: made with kd5200sim in a temporary
// folder, with the settings in another, and the device layer started on it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "desktop/dir_entry_list.h"
#include "desktop/name_list.h"
#include "device/device_layer.h"
#include "run_program.h"

namespace playertest {

// A fresh folder, removed at the end.
class TempDir {
public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "sd_player_XXXXXX").string();
        if (!mkdtemp(pattern.data())) ADD_FAILURE() << "mkdtemp failed";
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline void WriteFile(const std::string& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

class PlayerTest : public testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", config_.path().c_str(), 1);
        setenv("KD5200_PLAYER_DIR", player_.path().c_str(), 1);
        setenv("KD5200USB_LIBRARY", SD_KD5200USB_PATH, 1);
        unsetenv("KD5200_SPEED");
        Sim("create");
        Sim("plug");
        DevInit();
        ASSERT_TRUE(DevLibraryLoaded()) << DevLibraryError();
        int count = 0, mask = 0;
        ASSERT_TRUE(DevConnect(true, &count, &mask));
    }
    void TearDown() override {
        DevSetProgressHandler(nullptr);
        DevExit();
        unsetenv("KD5200USB_LIBRARY");
        unsetenv("KD5200_PLAYER_DIR");
    }

    static void Sim(const std::string& arguments) {
        const std::string command = sdtest::ShellQuote(std::string(SD_BIN_DIR) + "/kd5200sim") +
                                    " " + arguments + " >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    // Puts files named as given (contents: the name repeated) on a memory,
    // in order, and marks the memory for re-reading.
    void Put(int memory, const std::vector<std::string>& names, size_t size = 100) {
        HNameList list;
        for (const std::string& name : names) {
            std::string contents;
            while (contents.size() < size)
                contents += name;
            contents.resize(size);
            WriteFile(pc_ / name, contents);
            list.Add((pc_ / name).c_str(), -1, 0);
        }
        ASSERT_EQ(DevDownloadFiles(nullptr, memory, list), 0);
    }
    // The names on a memory in directory order, read from the player.
    static std::vector<std::string> Names(int memory) {
        HDirEntryList list;
        std::vector<std::string> names;
        if (!DevListFiles(memory, list, true)) return names;
        for (const auto& e : list)
            names.push_back(e.name.value_or(""));
        return names;
    }

    TempDir config_;
    TempDir player_;
    TempDir pc_;
};

} // namespace playertest
