// sync: a memory made to hold the regular files of a PC folder, in the
// folder's order (by name, byte by byte), copying only what is missing or
// differs.
#include "tools/kdplayer/commands.h"
#include "tools/kdplayer/copies.h"
#include "tools/kdplayer/exit_codes.h"
#include "tools/kdplayer/interrupt.h"
#include "tools/kdplayer/json_writer.h"
#include "tools/kdplayer/player_edits.h"
#include "tools/kdplayer/session.h"
#include "lib/device/device_compare.h"
#include "lib/device/device_layer.h"
#include "tools/kdplayer/space_check.h"
#include "base/platform/error_text.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

namespace kdplayer {

namespace {

struct FolderFile {
    std::string name;
    uint64_t size = 0;
};

// The folder's regular files (hidden ones left out), sorted by name.
bool ReadFolder(const std::string& dir, std::vector<FolderFile>& files) {
    DIR* folder = opendir(dir.c_str());
    if (!folder) {
        Say(dir + ": " + platform::SystemErrorText(errno));
        return false;
    }
    while (const dirent* entry = readdir(folder)) {
        if (entry->d_name[0] == '.') continue;
        struct stat st {};
        if (fstatat(dirfd(folder), entry->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode)) continue;
        files.push_back({entry->d_name, static_cast<uint64_t>(st.st_size)});
    }
    closedir(folder);
    std::sort(files.begin(), files.end(),
              [](const FolderFile& a, const FolderFile& b) { return a.name < b.name; });
    return true;
}

// One step of the plan, for the report.
struct Action {
    const char* kind; // "copy", "replace", "delete", "move"
    std::string name;
};

void Report(const Options& options, const std::vector<Action>& actions, int kept) {
    if (options.json) {
        JsonWriter json;
        json.BeginObject().Key("dry_run").Bool(options.dryRun).Key("actions").BeginArray();
        for (const Action& action : actions)
            json.BeginObject().Key("action").String(action.kind).Key("name").String(action.name).EndObject();
        json.EndArray().Key("unchanged").Number(kept).EndObject();
        std::printf("%s\n", json.Text().c_str());
        return;
    }
    if (options.quiet && !options.dryRun) return;
    for (const Action& action : actions)
        std::printf("%s %s\n", action.kind, action.name.c_str());
    int copied = 0, deleted = 0, moved = 0;
    for (const Action& action : actions) {
        const std::string kind = action.kind;
        copied += kind == "copy" || kind == "replace";
        deleted += kind == "delete";
        moved += kind == "move";
    }
    std::printf("%s%d copied, %d deleted, %d moved, %d unchanged\n",
                options.dryRun ? "dry run: " : "", copied, deleted, moved, kept);
}

// The moves that put the names in order: each (from, to) takes the file at
// from up to to. False when a name of order is missing from names.
bool PlanMoves(std::vector<std::string> names, const std::vector<std::string>& order,
               std::vector<std::pair<int, int>>& moves) {
    for (size_t place = 0; place < order.size(); ++place) {
        size_t at = place;
        while (at < names.size() && names[at] != order[place])
            ++at;
        if (at == names.size()) return false;
        if (at == place) continue;
        moves.emplace_back(static_cast<int>(at), static_cast<int>(place));
        std::string moving = std::move(names[at]);
        names.erase(names.begin() + static_cast<long>(at));
        names.insert(names.begin() + static_cast<long>(place), std::move(moving));
    }
    return true;
}

} // namespace

int RunSync(const Options& options) {
    if (options.words.size() != 2) {
        Say("sync needs a folder and a memory");
        return kExitUsage;
    }
    const std::string& dir = options.words[0];
    const int memory = ParseMemory(options.words[1]);
    if (memory < 0) {
        Say("'" + options.words[1] + "' is no memory: say internal or external");
        return kExitUsage;
    }
    std::vector<FolderFile> wanted;
    if (!ReadFolder(dir, wanted)) return kExitNotFound;
    Session session;
    if (const int code = session.Connect()) return code;
    std::vector<PlayerFile> listed;
    int status = kExitOk;
    if (!ListMemory(session, memory, listed, status)) return status;

    // What stays, what is copied (new or differing) and what goes.
    std::vector<Action> actions;
    std::vector<bool> keep(listed.size(), false);
    std::vector<size_t> toCopy;
    std::vector<PlayerFile> toReplace;
    int kept = 0;
    for (size_t i = 0; i < wanted.size(); ++i) {
        const PlayerFile* there = FindByName(listed, wanted[i].name);
        const std::string path = dir + "/" + wanted[i].name;
        bool same = there && there->size == wanted[i].size;
        if (same && options.checksum) {
            const int code = DevCompareEntry(nullptr, memory, there->number, there->size, path);
            if (code != KD5200_ERR_NONE && code != KD5200_ERR_STORAGE) return ExitForCode(code);
            same = code == KD5200_ERR_NONE;
        }
        if (same) {
            keep[static_cast<size_t>(there->number)] = true;
            ++kept;
            continue;
        }
        toCopy.push_back(i);
        if (there) {
            keep[static_cast<size_t>(there->number)] = true;
            toReplace.push_back(*there);
        }
        actions.push_back({there ? "replace" : "copy", wanted[i].name});
    }
    std::vector<PlayerFile> toDelete;
    if (options.remove)
        for (const PlayerFile& file : listed)
            if (!keep[static_cast<size_t>(file.number)]) {
                toDelete.push_back(file);
                actions.push_back({"delete", ShownText(file)});
            }

    // Room: what is deleted or replaced frees its blocks and entries.
    uint64_t freed = 0;
    int64_t freedEntries = 0;
    for (const auto* group : {&toDelete, &toReplace})
        for (const PlayerFile& file : *group) {
            freed += BlocksOf(file.size);
            ++freedEntries;
        }
    std::vector<uint64_t> sizes;
    uint64_t bytes = 0;
    for (const size_t i : toCopy) {
        sizes.push_back(wanted[i].size);
        bytes += wanted[i].size;
    }
    if (const std::string shortfall = SpaceShortfall(memory, sizes, freed, freedEntries,
                                                      static_cast<int64_t>(listed.size()));
        !shortfall.empty()) {
        Say(MemoryName(memory) + ": " + shortfall);
        return kExitFailed;
    }

    // The order the memory ends in: the folder's files in the folder's
    // order, then the player's other files (kept without --delete) as they were.
    std::vector<std::string> order;
    for (const FolderFile& file : wanted)
        order.push_back(file.name);
    if (!options.remove)
        for (const PlayerFile& file : listed)
            if (!keep[static_cast<size_t>(file.number)]) order.push_back(ShownText(file));

    if (options.dryRun) {
        // The moves are planned on the listing as it would be after the
        // deletions and the copies, which go to the end.
        std::vector<bool> going(listed.size(), false);
        for (const auto* group : {&toDelete, &toReplace})
            for (const PlayerFile& file : *group)
                going[static_cast<size_t>(file.number)] = true;
        std::vector<std::string> after;
        for (const PlayerFile& file : listed)
            if (!going[static_cast<size_t>(file.number)]) after.push_back(ShownText(file));
        for (const size_t i : toCopy)
            after.push_back(wanted[i].name);
        std::vector<std::pair<int, int>> moves;
        PlanMoves(after, order, moves);
        for (const auto& move : moves)
            actions.push_back({"move", order[static_cast<size_t>(move.second)]});
        Report(options, actions, kept);
        return kExitOk;
    }

    // Deletions first (from the last file back), then the copies.
    std::sort(toDelete.begin(), toDelete.end(),
              [](const PlayerFile& a, const PlayerFile& b) { return a.number > b.number; });
    std::sort(toReplace.begin(), toReplace.end(),
              [](const PlayerFile& a, const PlayerFile& b) { return a.number > b.number; });
    std::vector<PlayerFile> going = toDelete;
    going.insert(going.end(), toReplace.begin(), toReplace.end());
    std::sort(going.begin(), going.end(),
              [](const PlayerFile& a, const PlayerFile& b) { return a.number > b.number; });
    for (const PlayerFile& file : going) {
        if (Interrupted()) return kExitPartial;
        if (const int code = DeleteChecked(memory, file))
            return code == KD5200_ERR_NO_ENTRY ? kExitChanged : ExitForCode(code);
    }
    ProgressBar bar(!options.quiet && !options.json && StderrIsTerminal(),
                    static_cast<int>(toCopy.size()), bytes);
    CopyProgress progress(&bar);
    int done = 0;
    for (const size_t i : toCopy) {
        if (Interrupted()) {
            bar.Clear();
            Say("stopped: " + std::to_string(done) + " of " + std::to_string(toCopy.size()) +
                " files copied");
            return kExitPartial;
        }
        bar.StartFile(done + 1, wanted[i].name);
        const CopyResult copy =
            CopyToPlayer(memory, dir + "/" + wanted[i].name, options.verify, false);
        if (copy.code != KD5200_ERR_NONE) {
            bar.Clear();
            Say("stopped: " + std::to_string(done) + " of " + std::to_string(toCopy.size()) +
                " files copied");
            return copy.code == KD5200_ERR_CANCELLED || done > 0 ? kExitPartial
                                                                 : ExitForCode(copy.code);
        }
        bar.FinishFile(wanted[i].size);
        ++done;
    }
    bar.Clear();

    // Each file in turn is brought up to its place.
    std::vector<PlayerFile> now;
    if (!ListMemory(session, memory, now, status)) return status;
    std::vector<std::string> names;
    for (const PlayerFile& file : now)
        names.push_back(ShownText(file));
    std::vector<std::pair<int, int>> moves;
    if (!PlanMoves(names, order, moves)) return kExitChanged;
    for (const auto& [from, to] : moves) {
        if (Interrupted()) return kExitPartial;
        if (const int code = MoveEntry(memory, from, to)) return ExitForCode(code);
        actions.push_back({"move", order[static_cast<size_t>(to)]});
    }
    Report(options, actions, kept);
    return kExitOk;
}

} // namespace kdplayer
