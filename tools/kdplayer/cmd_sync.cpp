// sync: a memory made to hold the regular files of a PC folder, in the
// folder's order (by name, byte by byte), copying only what is missing or
// differs. Everything is planned and checked before the first change: a
// sync that cannot go through whole changes nothing and says every reason
// at once, and a dry run prints the very steps the sync then takes.
#include "tools/kdplayer/commands.h"
#include "tools/kdplayer/copies.h"
#include "tools/kdplayer/exit_codes.h"
#include "tools/kdplayer/interrupt.h"
#include "tools/kdplayer/json_writer.h"
#include "tools/kdplayer/player_edits.h"
#include "tools/kdplayer/session.h"
#include "tools/kdplayer/space_check.h"
#include "tools/kdplayer/sync_folder.h"
#include "lib/device/device_compare.h"
#include "lib/device/device_layer.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace kdplayer {

namespace {

// A key of the plan's order: the kind ('f' a folder file, 'p' a player
// file) and its index. Appended: GCC 12 warns (-Wrestrict) of "f" + a temporary.
std::string Key(char kind, size_t index) {
    std::string key(1, kind);
    key += std::to_string(index);
    return key;
}

// One step of the plan, in the order the sync takes them: deletions (from
// the last file back), replacements, copies, then the moves that put the
// files in order.
struct Step {
    const char* kind; // "delete", "replace", "copy", "move"
    std::string name;
    size_t file = 0;    // replace, copy: the folder's file
    PlayerFile entry{}; // delete, replace: the entry as listed
    int at = 0;         // replace: the entry's number once the deletions are done
    int from = 0;       // move: from number from to number to
    int to = 0;
};

// An entry as the plan expects it once the deletions and copies are done.
struct Expected {
    std::string folded;
    uint64_t size = 0;
};

struct Plan {
    std::vector<Step> steps;
    std::vector<Expected> before_moves;
    int kept = 0;
    int copies = 0; // replacements and copies
    uint64_t bytes = 0;
};

// The moves that put the keys in order: each (from, to) takes the entry at
// from up to to. False when a key of order is missing from keys.
bool PlanMoves(std::vector<std::string> keys, const std::vector<std::string>& order,
               std::vector<std::pair<int, int>>& moves) {
    for (size_t place = 0; place < order.size(); ++place) {
        size_t at = place;
        while (at < keys.size() && keys[at] != order[place])
            ++at;
        if (at == keys.size()) return false;
        if (at == place) continue;
        moves.emplace_back(static_cast<int>(at), static_cast<int>(place));
        std::string moving = std::move(keys[at]);
        keys.erase(keys.begin() + static_cast<long>(at));
        keys.insert(keys.begin() + static_cast<long>(place), std::move(moving));
    }
    return true;
}

// Whether the memory has room for the plan at each step: a replacement
// holds the old file and the new copy at once, until the old one goes.
void CheckRoom(int memory, const Plan& plan, const SyncFolder& folder, size_t entries,
               std::vector<SyncProblem>& problems) {
    uint64_t freedBlocks = 0;
    int64_t freedEntries = 0;
    std::vector<DevRoomFile> files;
    for (const Step& step : plan.steps) {
        const std::string kind = step.kind;
        if (kind == "delete") {
            freedBlocks += BlocksOf(step.entry.size);
            ++freedEntries;
        } else if (kind == "replace") {
            files.push_back({folder.files[step.file].size, step.entry.size});
        } else if (kind == "copy") {
            files.push_back({folder.files[step.file].size, std::nullopt});
        }
    }
    const DevRoom room =
        MemoryRoom(memory, static_cast<int64_t>(entries), freedBlocks, freedEntries);
    const DevSpacePlan space = DevPlanSpace(files, room);
    if (space.fitsAll) return;
    problems.push_back(
        {"room", "",
         Formatted("%s: the sync needs %s blocks of 16384 bytes and %s entries at its fullest, "
                   "after its deletions; %s blocks and %s entries are free then",
                   MemoryName(memory), space.neededBlocks, space.neededEntries, room.freeBlocks,
                   room.freeEntries)});
}

// Plans the sync of folder onto the listed memory; what keeps it from
// running goes to problems. 0, or the exit status of a comparison that failed.
int MakePlan(const Options& options, int memory, const std::string& dir, const SyncFolder& folder,
             const std::vector<PlayerFile>& listed, Plan& plan,
             std::vector<SyncProblem>& problems) {
    // Each folder file finds the entry of its name: exactly, else as the
    // player compares names (letter case aside).
    std::vector<int> claim(listed.size(), -1);
    std::vector<int> match(folder.files.size(), -1);
    std::vector<std::string> listedFolded;
    for (const PlayerFile& entry : listed)
        listedFolded.push_back(FoldedName(ShownText(entry)));
    for (size_t i = 0; i < folder.files.size(); ++i)
        for (size_t e = 0; e < listed.size() && !folder.files[i].playerBytes.empty(); ++e)
            if (claim[e] < 0 && ShownName(listed[e]) == folder.files[i].playerBytes) {
                claim[e] = static_cast<int>(i);
                match[i] = static_cast<int>(e);
                break;
            }
    for (size_t i = 0; i < folder.files.size(); ++i)
        for (size_t e = 0; e < listed.size() && match[i] < 0 && !folder.files[i].folded.empty();
             ++e)
            if (claim[e] < 0 && listedFolded[e] == folder.files[i].folded) {
                claim[e] = static_cast<int>(i);
                match[i] = static_cast<int>(e);
            }
    std::vector<bool> going(listed.size(), false);
    if (options.remove)
        for (size_t e = 0; e < listed.size(); ++e)
            going[e] = claim[e] < 0;

    // A new file whose name is the short name of an entry that stays is
    // refused by the player.
    for (size_t i = 0; i < folder.files.size(); ++i) {
        const SyncFile& file = folder.files[i];
        if (!file.usable || match[i] >= 0) continue;
        for (size_t e = 0; e < listed.size(); ++e)
            if (!going[e] && FoldedName(DevNameToText(listed[e].shortName)) == file.folded) {
                problems.push_back({"short_name", file.name,
                                    Formatted("its name is the short name of the player's %s",
                                              ShownText(listed[e]))});
                break;
            }
    }

    // Deletions, from the last entry back, so that each number still holds.
    for (size_t e = listed.size(); e-- > 0;)
        if (going[e]) plan.steps.push_back({"delete", ShownText(listed[e]), 0, listed[e]});
    std::vector<int> deletedBefore(listed.size() + 1, 0);
    for (size_t e = 0; e < listed.size(); ++e)
        deletedBefore[e + 1] = deletedBefore[e] + (going[e] ? 1 : 0);

    // What stays, what is replaced and what is copied.
    std::vector<size_t> copies;
    std::vector<bool> replaced(listed.size(), false);
    for (size_t i = 0; i < folder.files.size(); ++i) {
        const SyncFile& file = folder.files[i];
        if (match[i] < 0) {
            if (file.usable) copies.push_back(i);
            continue;
        }
        const PlayerFile& there = listed[static_cast<size_t>(match[i])];
        bool same = there.size == file.size;
        if (same && options.checksum && file.usable) {
            const int code =
                DevCompareEntry(nullptr, memory, there.number, there.size, dir + "/" + file.name);
            if (code != KD5200_ERR_NONE && code != KD5200_ERR_STORAGE) return ExitForCode(code);
            same = code == KD5200_ERR_NONE;
        }
        if (same || !file.usable) {
            ++plan.kept;
            continue;
        }
        replaced[static_cast<size_t>(match[i])] = true;
        const int at = there.number - deletedBefore[static_cast<size_t>(there.number)];
        plan.steps.push_back({"replace", file.name, i, there, at});
        plan.bytes += file.size;
        ++plan.copies;
    }
    for (const size_t i : copies) {
        plan.steps.push_back({"copy", folder.files[i].name, i});
        plan.bytes += folder.files[i].size;
        ++plan.copies;
    }
    CheckRoom(memory, plan, folder, listed.size(), problems);

    // The memory after the deletions and copies: a replacement takes the
    // place of the file it replaces, a copy comes last. Entries are told
    // apart by key: a folder file's index, else the entry's number.
    std::vector<std::string> keys;
    for (size_t e = 0; e < listed.size(); ++e) {
        if (going[e]) continue;
        const int i = claim[e];
        keys.push_back(i >= 0 ? Key('f', static_cast<size_t>(i)) : Key('p', e));
        plan.before_moves.push_back(replaced[e]
                                        ? Expected{folder.files[static_cast<size_t>(i)].folded,
                                                   folder.files[static_cast<size_t>(i)].size}
                                        : Expected{listedFolded[e], listed[e].size});
    }
    for (const size_t i : copies) {
        keys.push_back(Key('f', i));
        plan.before_moves.push_back({folder.files[i].folded, folder.files[i].size});
    }
    // The order it ends in: the folder's files in the folder's order, then
    // the player's other files (kept without --delete) as they were.
    std::vector<std::string> order, names;
    for (size_t i = 0; i < folder.files.size(); ++i)
        if (match[i] >= 0 || folder.files[i].usable) {
            order.push_back(Key('f', i));
            names.push_back(folder.files[i].name);
        }
    for (size_t e = 0; e < listed.size(); ++e)
        if (!going[e] && claim[e] < 0) {
            order.push_back(Key('p', e));
            names.push_back(ShownText(listed[e]));
        }
    std::vector<std::pair<int, int>> moves;
    PlanMoves(keys, order, moves);
    for (const auto& [from, to] : moves) {
        Step move{"move", names[static_cast<size_t>(to)]};
        move.from = from;
        move.to = to;
        plan.steps.push_back(move);
    }
    return kExitOk;
}

void Report(const Options& options, const Plan& plan, const SyncFolder& folder,
            const std::vector<SyncProblem>& problems, bool done) {
    // A refused sync did nothing; a dry run shows what it would do.
    const bool showSteps = done || options.dryRun;
    if (options.json) {
        JsonWriter json;
        json.BeginObject().Key("dry_run").Bool(options.dryRun).Key("actions").BeginArray();
        for (const Step& step : plan.steps)
            if (showSteps)
                json.BeginObject()
                    .Key("action")
                    .String(step.kind)
                    .Key("name")
                    .String(step.name)
                    .EndObject();
        json.EndArray().Key("unchanged").Number(showSteps ? plan.kept : 0);
        if (!folder.skipped.empty()) {
            json.Key("skipped").BeginArray();
            for (const SyncSkipped& skipped : folder.skipped)
                json.BeginObject()
                    .Key("name")
                    .String(skipped.name)
                    .Key("kind")
                    .String(skipped.kind)
                    .EndObject();
            json.EndArray();
        }
        if (!problems.empty()) {
            json.Key("problems").BeginArray();
            for (const SyncProblem& problem : problems) {
                json.BeginObject().Key("problem").String(problem.kind);
                if (!problem.name.empty()) json.Key("name").String(problem.name);
                json.Key("message").String(problem.message.english).EndObject();
            }
            json.EndArray();
        }
        json.EndObject();
        PrintJson(json);
        return;
    }
    if (!showSteps || (options.quiet && !options.dryRun)) return;
    int copied = 0, deleted = 0, moved = 0;
    for (const Step& step : plan.steps) {
        std::printf("%s %s\n", step.kind, step.name.c_str());
        const std::string kind = step.kind;
        copied += kind == "copy" || kind == "replace";
        deleted += kind == "delete";
        moved += kind == "move";
    }
    std::fputs((options.dryRun
                    ? Formatted("dry run: %s copied, %s deleted, %s moved, %s unchanged\n", copied,
                                deleted, moved, plan.kept)
                    : Formatted("%s copied, %s deleted, %s moved, %s unchanged\n", copied, deleted,
                                moved, plan.kept))
                   .shown.c_str(),
               stdout);
}

// The memory is as the plan expects it before the moves.
bool AsPlanned(int memory, const std::vector<Expected>& expected) {
    std::vector<PlayerFile> now;
    if (!DevListEntryNames(memory, now, true) || now.size() != expected.size()) return false;
    for (size_t e = 0; e < now.size(); ++e)
        if (now[e].size != expected[e].size || FoldedName(ShownText(now[e])) != expected[e].folded)
            return false;
    return true;
}

// Takes the planned steps in turn; the exit status.
int Execute(const Options& options, int memory, const std::string& dir, const SyncFolder& folder,
            const Plan& plan) {
    ProgressBar bar(!options.quiet && !options.json && StderrIsTerminal(), plan.copies, plan.bytes);
    CopyProgress progress(&bar);
    int done = 0, copied = 0;
    const auto stopped = [&](int code) {
        SayStopped(done, static_cast<int>(plan.steps.size()), "steps", "done",
                   Formatted(" (%s of %s files copied)", copied, plan.copies));
        return code;
    };
    bool checked = false;
    for (const Step& step : plan.steps) {
        if (Interrupted()) return stopped(kExitPartial);
        const std::string kind = step.kind;
        if (kind == "move" && !checked) {
            // The moves are numbered on the memory the plan expects.
            if (!AsPlanned(memory, plan.before_moves)) {
                Say(Formatted("%s: the player changed meanwhile (another program)",
                              MemoryName(memory)));
                return stopped(kExitChanged);
            }
            checked = true;
        }
        int code = KD5200_ERR_NONE;
        if (kind == "delete") {
            code = DeleteChecked(memory, step.entry);
        } else if (kind == "move") {
            code = MoveEntry(memory, step.from, step.to);
        } else {
            const SyncFile& file = folder.files[step.file];
            bar.StartFile(copied + 1, file.name);
            const std::string path = dir + "/" + file.name;
            if (kind == "copy") {
                code = CopyToPlayer(memory, path, options.verify, false).code;
            } else {
                // The entry to replace, where the deletions left it.
                PlayerFile existing = step.entry;
                existing.number = step.at;
                if (StillListed(memory, existing)) {
                    code = PutReplacing(memory, path, options.verify, &existing);
                } else if (DevGetHandle()) {
                    Say(Formatted("%s: the player changed meanwhile (another program)", step.name));
                    code = KD5200_ERR_NO_ENTRY;
                } else {
                    code = KD5200_ERR_NOT_ATTACHED;
                }
            }
            if (code == KD5200_ERR_NONE) {
                bar.FinishFile(file.size);
                ++copied;
            }
        }
        if (code != KD5200_ERR_NONE) {
            if (code == KD5200_ERR_NO_ENTRY) return stopped(kExitChanged);
            return stopped(code == KD5200_ERR_CANCELLED || done > 0 ? kExitPartial
                                                                    : ExitForCode(code));
        }
        ++done;
    }
    bar.Clear();
    return kExitOk;
}

} // namespace

int RunSync(const Options& options) {
    if (options.words.size() != 2) {
        Say(Formatted("sync needs a folder and a memory"));
        return kExitUsage;
    }
    const std::string& dir = options.words[0];
    const int memory = ParseMemory(options.words[1]);
    if (memory < 0) {
        Say(Formatted("'%s' is no memory: say internal or external", options.words[1]));
        return kExitUsage;
    }
    SyncFolder folder;
    if (!ReadSyncFolder(dir, folder)) return kExitNotFound;
    Session session;
    if (const int code = session.Connect()) return code;
    std::vector<PlayerFile> listed;
    int status = kExitOk;
    if (!ListMemory(session, memory, listed, status)) return status;

    Plan plan;
    std::vector<SyncProblem> problems = folder.problems;
    if (const int code = MakePlan(options, memory, dir, folder, listed, plan, problems))
        return code;
    for (const SyncSkipped& skipped : folder.skipped)
        Say(Formatted(("%s: skipped, a " + std::string(skipped.kind)).c_str(),
                      dir + "/" + skipped.name));
    if (!problems.empty()) {
        for (const SyncProblem& problem : problems)
            Say(problem.name.empty() ? problem.message
                                     : dir + "/" + problem.name + ": " + problem.message);
        const Message count = problems.size() == 1 ? Formatted("%s problem", problems.size())
                                                   : Formatted("%s problems", problems.size());
        Say(options.dryRun ? Formatted("the sync would be refused: %s", count)
                           : Formatted("sync refused, nothing was changed: %s", count));
        Report(options, plan, folder, problems, false);
        return kExitFailed;
    }
    if (options.dryRun) {
        Report(options, plan, folder, problems, false);
        return kExitOk;
    }
    if (const int code = Execute(options, memory, dir, folder, plan)) return code;
    Report(options, plan, folder, problems, true);
    return kExitOk;
}

} // namespace kdplayer
