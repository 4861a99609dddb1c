#pragma once
// The fixture of kdplayer's end-to-end tests: a virtual player, a PC folder
// and a scratch folder of the test's own, and kdplayer and kd5200sim run
// in them.
#include "run_program.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

using sdtest::ProgramRun;
namespace fs = std::filesystem;

namespace kdtest {

inline std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void Write(const fs::path& path, const std::string& data) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << data;
}

inline std::string Bytes(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string data(size, '\0');
    for (char& c : data)
        c = static_cast<char>(random());
    return data;
}

// Every entry of a folder, hidden ones included, to find leftovers.
inline std::vector<std::string> Entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class Kdplayer : public ::testing::Test {
protected:
    Kdplayer() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        // The process is in the name: two runs of the suite on one machine
        // must not share a player.
        dir = fs::temp_directory_path() /
              (std::string("sd_kdplayer_") + info->name() + "_" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "tmp");
        fs::create_directories(dir / "pc");
    }
    ~Kdplayer() override { fs::remove_all(dir); }

    std::vector<std::string> Environment() const {
        std::vector<std::string> env = {"KD5200_PLAYER_DIR=" + (dir / "player").string(),
                                        "TMPDIR=" + (dir / "tmp").string(),
                                        "XDG_CONFIG_HOME=" + (dir / "config").string(),
                                        "KD5200USB_LIBRARY=" SD_KD5200USB_PATH};
        env.insert(env.end(), extra.begin(), extra.end());
        return env;
    }
    ProgramRun Run(const std::vector<std::string>& args, const std::string& input = "") {
        return sdtest::RunProgram(SD_BIN_DIR "/kdplayer", args, (dir / "pc").string(), input,
                                  Environment());
    }
    ProgramRun Sim(const std::vector<std::string>& args) {
        return sdtest::RunProgram(SD_BIN_DIR "/kd5200sim", args, (dir / "pc").string(), "",
                                  Environment());
    }
    // A shell script in the PC folder, with $KDPLAYER and $SIM set.
    ProgramRun Script(const std::string& script) {
        return sdtest::RunProgram("/bin/sh",
                                  {"-c", "KDPLAYER=" SD_BIN_DIR "/kdplayer; SIM=" SD_BIN_DIR
                                         "/kd5200sim; " + script},
                                  (dir / "pc").string(), "", Environment());
    }
    void NewPlayer() {
        ASSERT_EQ(Sim({"create"}).status, 0);
        ASSERT_EQ(Sim({"plug"}).status, 0);
    }
    // The names of a memory in order, from kdplayer's own JSON.
    std::string Names(const std::string& memory) {
        const ProgramRun run = Run({"ls", memory, "--json"});
        EXPECT_EQ(run.status, 0) << run.err;
        std::string names;
        for (size_t at = 0; (at = run.out.find("\"name\":\"", at)) != std::string::npos;) {
            at += 8;
            const size_t end = run.out.find('"', at);
            const std::string name = run.out.substr(at, end - at);
            if (name != "Internal Memory" && name != "External Memory") names += name + " ";
        }
        return names;
    }
    // A player file as the virtual player holds it.
    std::string OnPlayer(const std::string& memory, int number) {
        const fs::path out = dir / "tmp" / "sim-get";
        EXPECT_EQ(Sim({"get", memory, std::to_string(number), out.string()}).status, 0);
        std::string data = Read(out);
        fs::remove(out);
        return data;
    }
    bool ValidJson(const std::string& json) {
        Write(dir / "tmp" / "doc.json", json);
        const ProgramRun run = sdtest::RunProgram(
            "/usr/bin/python3",
            {"-c",
             "import json,sys,jsonschema; jsonschema.validate(json.load(open(sys.argv[2])), "
             "json.load(open(sys.argv[1])))",
             SD_KDPLAYER_SCHEMA, (dir / "tmp" / "doc.json").string()},
            dir.string());
        fs::remove(dir / "tmp" / "doc.json");
        EXPECT_EQ(run.status, 0) << json << "\n" << run.err;
        return run.status == 0;
    }

    fs::path dir;
    std::vector<std::string> extra;
};

} // namespace kdtest
