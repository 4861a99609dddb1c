#pragma once
// A fresh folder for one test, removed afterwards.
#include <filesystem>
#include <string>

#include <unistd.h>

#include <gtest/gtest.h>

class TempFolder {
public:
    TempFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("sd_hex_") + (info ? info->test_suite_name() : "x") + "_" +
                           (info ? info->name() : "y") + "_" + std::to_string(getpid());
        for (char& c : name)
            if (c == '/') c = '_';
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    std::string Path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};
