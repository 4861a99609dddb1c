// info and ls: what the player holds, as text or JSON.
#include "tools/kdplayer/commands.h"
#include "tools/kdplayer/exit_codes.h"
#include "tools/kdplayer/json_writer.h"
#include "tools/kdplayer/session.h"
#include "lib/device/device_layer.h"
#include "base/resources/strings.h"

#include <cinttypes>
#include <cstdio>
#include <string>

namespace kdplayer {

namespace {

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void MemoryJson(JsonWriter& json, int memory, bool present) {
    json.BeginObject().Key("memory").String(MemoryWord(memory));
    json.Key("name").String(MemoryName(memory).english).Key("present").Bool(present);
    const KD5200_MEMINFO info = present ? DevGetMemoryInfo(memory) : KD5200_MEMINFO{};
    const uint32_t used = info.usedBlocks < info.capacityBlocks ? info.usedBlocks
                                                                : info.capacityBlocks;
    json.Key("capacity_blocks").Number(info.capacityBlocks);
    json.Key("used_blocks").Number(used);
    json.Key("free_blocks").Number(info.capacityBlocks - used);
    json.Key("capacity_bytes").Number(static_cast<int64_t>(info.capacityBlocks) * KD5200_BLOCK_SIZE);
    json.Key("free_bytes")
        .Number(static_cast<int64_t>(info.capacityBlocks - used) * KD5200_BLOCK_SIZE);
    json.Key("files").Number(present ? DevGetFileCount(memory) : 0);
    json.EndObject();
}

std::string MemoryText(int memory, bool present) {
    std::string line = MemoryName(memory).shown + ": ";
    if (!present) return line + strings::Text(sid::kNotConnected) + "\n";
    const KD5200_MEMINFO info = DevGetMemoryInfo(memory);
    const uint32_t used = info.usedBlocks < info.capacityBlocks ? info.usedBlocks
                                                                : info.capacityBlocks;
    return line +
           Formatted("%s blocks of 16384 bytes, %s used, %s free (%s bytes free), %s files\n",
                     info.capacityBlocks, used, info.capacityBlocks - used,
                     static_cast<uint64_t>(info.capacityBlocks - used) * KD5200_BLOCK_SIZE,
                     DevGetFileCount(memory))
               .shown;
}

} // namespace

int RunInfo(const Options& options) {
    if (!options.words.empty()) {
        Say(Formatted("info takes no arguments"));
        return kExitUsage;
    }
    Session session;
    const int connected = session.Connect();
    if (connected != kExitOk) {
        // The answer of a script's "is a player there?", with the reason.
        if (options.json) {
            JsonWriter json;
            json.BeginObject().Key("connected").Bool(false).Key("firmware").Null();
            json.Key("memories").BeginArray().EndArray().Key("font").Null().Key("error");
            ErrorJson(json, SaidMessages(), connected);
            PrintJson(json.EndObject());
        }
        return connected;
    }
    const char* firmware = DevGetFirmwareVersion();
    KD5200_FONTINFO font{};
    const bool hasFont = DevApi().GetFontInfo(DevGetHandle(), &font) != 0;
    font.fileName[sizeof font.fileName - 1] = '\0';
    if (options.json) {
        JsonWriter json;
        json.BeginObject().Key("connected").Bool(true).Key("firmware");
        firmware ? json.String(firmware) : json.Null();
        json.Key("memories").BeginArray();
        for (int memory = 0; memory < 2; ++memory)
            MemoryJson(json, memory, session.Present(memory));
        json.EndArray().Key("font");
        if (hasFont) {
            json.BeginObject().Key("name").String(DevNameToText(font.fileName));
            json.Key("name_bytes").String(HexBytes(font.fileName));
            json.Key("size").Number(font.size).EndObject();
        } else {
            json.Null();
        }
        PrintJson(json.EndObject());
        return kExitOk;
    }
    std::string out = strings::Tr("Connected\n");
    out += Formatted("Firmware: %s\n", firmware ? firmware : strings::Tr(text::kUnknownFirmware))
               .shown;
    for (int memory = 0; memory < 2; ++memory)
        out += MemoryText(memory, session.Present(memory));
    out += hasFont
               ? Formatted("Font: %s, %s bytes\n", DevNameToText(font.fileName), font.size).shown
               : strings::Tr("Font: none\n");
    Print(out);
    return kExitOk;
}

int RunList(const Options& options) {
    if (options.words.size() > 1) {
        Say(Formatted("ls takes at most one memory"));
        return kExitUsage;
    }
    int only = -1;
    if (!options.words.empty() && (only = ParseMemory(options.words[0])) < 0) {
        Say(Formatted("'%s' is no memory: say internal or external", options.words[0]));
        return kExitUsage;
    }
    Session session;
    if (const int code = session.Connect()) return code;
    JsonWriter json;
    json.BeginObject().Key("memories").BeginArray();
    std::string out;
    int status = kExitOk;
    for (int memory = 0; memory < 2; ++memory) {
        // Without a memory named, an absent one is left out quietly.
        if (only >= 0 ? memory != only : !session.Present(memory)) continue;
        std::vector<PlayerFile> files;
        int code = kExitOk;
        if (!ListMemory(session, memory, files, code)) {
            status = code;
            continue;
        }
        json.BeginObject().Key("memory").String(MemoryWord(memory));
        json.Key("name").String(MemoryName(memory).english).Key("files").BeginArray();
        if (only < 0) out += MemoryName(memory).shown + "\n";
        for (const PlayerFile& file : files) {
            // Names in the player's code page are shown as text.
            const std::string shortName = DevNameToText(file.shortName);
            const std::string longName = DevNameToText(file.longName);
            // Each name also as its bytes: two names the code page cannot
            // show read alike as text, never as bytes.
            json.BeginObject().Key("number").Number(file.number);
            json.Key("name").String(ShownText(file));
            json.Key("name_bytes").String(HexBytes(ShownName(file)));
            json.Key("short_name").String(shortName);
            json.Key("short_name_bytes").String(HexBytes(file.shortName));
            json.Key("long_name").String(longName);
            json.Key("long_name_bytes").String(HexBytes(file.longName));
            json.Key("size").Number(file.size).EndObject();
            char line[64];
            std::snprintf(line, sizeof line, "%3d  %-12s %10" PRIu32 "  ", file.number,
                          shortName.c_str(), file.size);
            out += line + longName + "\n";
        }
        json.EndArray().EndObject();
    }
    json.EndArray().EndObject();
    // A memory that could not be listed makes it a failure, said as one.
    if (!options.json) Print(out);
    else if (status == kExitOk) PrintJson(json);
    return status;
}

} // namespace kdplayer
