#pragma once
// The PC folder a sync copies from, read and checked before the player is
// touched: each regular file with its size and its name as the player would
// hold it, the entries a sync leaves out, and every file the player could
// not take.
#include "tools/kdplayer/message.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kdplayer {

struct SyncFile {
    std::string name;        // as in the folder: the PC's bytes
    std::string playerBytes; // in the player's code page; empty when it cannot hold the name
    std::string folded;      // the name as the player compares names, letter case folded
    uint64_t size = 0;
    bool usable = true; // false when a problem keeps it from being copied
};

// An entry of the folder that is no regular file: "folder", "fifo",
// "socket", "device" or "dangling link".
struct SyncSkipped {
    std::string name;
    const char* kind = "";
};

// Something that keeps the sync from running: kind is "name",
// "unreadable", "too_large", "case_twin", "short_name" or "room"; name is
// the folder's file (empty for room); message says what is wrong.
struct SyncProblem {
    const char* kind = "";
    std::string name;
    Message message;
};

struct SyncFolder {
    std::vector<SyncFile> files; // by name, byte by byte; names starting with a dot left out
    std::vector<SyncSkipped> skipped;
    std::vector<SyncProblem> problems;
};

// Reads and checks the folder; false (after saying why) when it cannot be
// read at all.
bool ReadSyncFolder(const std::string& dir, SyncFolder& folder);

// A name as text (UTF-8) with letter case folded, as the player compares names.
std::string FoldedName(const std::string& text);

} // namespace kdplayer
