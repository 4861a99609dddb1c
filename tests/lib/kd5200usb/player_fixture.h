#pragma once
// A virtual player in a temporary folder of its own, plugged in, for tests
// that drive the device library through its C interface.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "lib/device/kd5200usb.h"
#include "lib/kd5200usb/attach.h"
#include "lib/kd5200usb/store.h"

namespace kdtest {

// Deterministic contents of the given size.
inline std::string Pattern(size_t size, unsigned seed) {
    std::string data(size, '\0');
    uint32_t x = seed * 2654435761u + 12345u;
    for (size_t i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        data[i] = static_cast<char>(x >> 16);
    }
    return data;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

inline void WriteFile(const std::string& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
}

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kd5200-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        folder_ = dir_ + "/player";
        pc_ = dir_ + "/pc";
        std::filesystem::create_directories(pc_);
        setenv("KD5200_PLAYER_DIR", folder_.c_str(), 1);
        unsetenv("KD5200_SPEED");
        KD5200_SetTimeout(30000, 20000);
        KD5200X_SetProgressHook(nullptr, nullptr);
        KD5200X_SetDisplayHook(nullptr, nullptr);
        CreatePlayer(256, 64);
    }

    void TearDown() override {
        CloseHandle();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    // Makes a new player of the given sizes (blocks), plugged in.
    void CreatePlayer(uint32_t internalBlocks, uint32_t externalBlocks) {
        CloseHandle();
        kd5200::PlayerLayout layout;
        layout.internalBlocks = internalBlocks;
        layout.externalBlocks = externalBlocks;
        layout.version = "ZENTROVIA KD5200 FILE SYSTEM DEC 07 2026 10:00:00 1.0 SIM";
        ASSERT_TRUE(kd5200::Store::Create(folder_, layout).Ok());
        ASSERT_TRUE(kd5200::SetAttached(folder_, true).Ok());
    }

    KD5200_HANDLE Handle() {
        if (!handle_) {
            EXPECT_NE(KD5200_Open(&handle_), 0) << KD5200_GetError();
        }
        return handle_;
    }

    void CloseHandle() {
        if (handle_) {
            KD5200_Close(handle_);
            KD5200_Free(handle_);
            handle_ = nullptr;
        }
    }

    // A file in the PC folder.
    std::string PcFile(const std::string& name, const std::string& contents) {
        const std::string path = pc_ + "/" + name;
        WriteFile(path, contents);
        return path;
    }

    bool Download(int memory, const std::string& path) {
        return KD5200_Download(nullptr, Handle(), memory, path.c_str()) != 0;
    }

    std::vector<KD5200_DIRENTRY> Refresh(int memory, KD5200_MEMINFO& info) {
        std::vector<KD5200_DIRENTRY> entries(KD5200_MAX_ENTRIES);
        int32_t count = KD5200_MAX_ENTRIES;
        EXPECT_NE(KD5200_Refresh(Handle(), memory, &info, entries.data(), &count), 0)
            << KD5200_GetError();
        entries.resize(static_cast<size_t>(count));
        return entries;
    }

    std::vector<KD5200_DIRENTRY> Refresh(int memory) {
        KD5200_MEMINFO info{};
        return Refresh(memory, info);
    }

    // Expects the last call to have failed with code.
    static void ExpectError(int32_t result, int32_t code) {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(KD5200_GetError(), code);
    }

    std::string dir_, folder_, pc_;
    KD5200_HANDLE handle_ = nullptr;
};

} // namespace kdtest
