#include "tools/kdplayer/options.h"

#include "tools/kdplayer/commands.h"
#include "tools/kdplayer/exit_codes.h"
#include "tools/kdplayer/session.h"
#include "base/resources/strings.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#ifndef KDPLAYER_VERSION
#define KDPLAYER_VERSION "0"
#endif

namespace kdplayer {

namespace {

struct OptionSpec {
    Option bit;
    char shortName; // 0: long only
    const char* longName;
    const char* argument; // null: takes none
    const char* help;
};

const OptionSpec kOptions[] = {
    {kOptJson, 'j', "json", nullptr, SD_TEXT("print the result as JSON (a failure too)")},
    {kOptQuiet, 'q', "quiet", nullptr, SD_TEXT("no progress bar and no summary")},
    {kOptForce, 'f', "force", nullptr, SD_TEXT("replace a file that exists where a copy goes")},
    {kOptYes, 'y', "yes", nullptr, SD_TEXT("format without asking")},
    {kOptVerify, 0, "verify", nullptr, SD_TEXT("read every copy back and compare it")},
    {kOptConvert, 0, "convert", nullptr, SD_TEXT("turn QKA and QDX recordings into WAV")},
    {kOptLow, 0, "low", nullptr, SD_TEXT("low-level format")},
    {kOptDelete, 0, "delete", nullptr, SD_TEXT("delete player files that DIR does not hold")},
    {kOptDryRun, 'n', "dry-run", nullptr, SD_TEXT("say what would be done, change nothing")},
    {kOptChecksum, 'c', "checksum", nullptr, SD_TEXT("compare contents, not only names and sizes")},
    {kOptOutput, 'o', "output", "FILE",
     SD_TEXT("copy the one file to FILE ('-': standard output)")},
    {kOptTarget, 't', "target-directory", "DIR", SD_TEXT("copy the files into the folder DIR")},
    {kOptHelp, 'h', "help", nullptr, SD_TEXT("show this text")},
    {kOptVersion, 'V', "version", nullptr, SD_TEXT("show the version")},
};

// Taken by every command: they only ask for help or quieten the output.
constexpr unsigned kEveryCommand = kOptHelp | kOptVersion | kOptQuiet;

int RunUp(const Options& options) {
    return RunMove(options, true);
}
int RunDown(const Options& options) {
    return RunMove(options, false);
}

const Command kCommands[] = {
    {"info", kOptJson, "info", SD_TEXT("the player, its memories and its font"), RunInfo},
    {"ls", kOptJson, "ls [internal|external]",
     SD_TEXT("number, short name, size and long name of\neach file"), RunList},
    {"get", kOptForce | kOptVerify | kOptConvert | kOptOutput | kOptTarget,
     "get MEMORY FILE... [-o FILE | -t DIR | DIR]",
     SD_TEXT("copy player files to the PC: into the current\n"
             "folder, DIR or the folder of -t, or one file\n"
             "into the file of -o ('-': standard output)"),
     RunGet},
    {"put", kOptForce | kOptVerify, "put MEMORY FILE...",
     SD_TEXT("copy PC files onto a memory; with -f, a file\n"
             "of the same name is replaced: the new copy is\n"
             "stored under a temporary name (~kd...) and\n"
             "takes the old one's name and place once whole\n"
             "(and checked, with --verify); what a killed\n"
             "replace leaves is finished or undone when the\n"
             "memory is next read"),
     RunPut},
    {"rm", 0, "rm MEMORY FILE...", SD_TEXT("delete player files"), RunRemove},
    {"mv", 0, "mv MEMORY FILE NEWNAME", SD_TEXT("rename a player file"), RunRename},
    {"up", 0, "up MEMORY FILE", SD_TEXT("move a file one place up"), RunUp},
    {"down", 0, "down MEMORY FILE", SD_TEXT("move a file one place down"), RunDown},
    {"format", kOptYes | kOptLow, "format MEMORY",
     SD_TEXT("delete every file of a memory (asks first)"), RunFormat},
    {"font", kOptForce | kOptVerify | kOptOutput | kOptTarget,
     "font get [-o FILE | -t DIR | DIR] | font put FILE | font erase", SD_TEXT("the LCD font"),
     RunFont},
    {"font get", kOptForce | kOptVerify | kOptOutput | kOptTarget,
     "font get [-o FILE | -t DIR | DIR]",
     SD_TEXT("copy the player's font to the PC: into the\n"
             "current folder, DIR or the folder of -t under\n"
             "its name, or into the file of -o"),
     RunFont},
    {"font put", kOptForce | kOptVerify, "font put FILE",
     SD_TEXT("store a font file on the player"), RunFont},
    {"font erase", 0, "font erase", SD_TEXT("erase the player's font"), RunFont},
    {"raw", kOptForce, "raw MEMORY FIRST COUNT OUT.dat",
     SD_TEXT("save COUNT raw blocks of 16384 bytes from\nFIRST"), RunRaw},
    {"backup", kOptForce | kOptVerify, "backup DIR",
     SD_TEXT("save both memories and the font, with a\nmanifest (always verified)"), RunBackup},
    {"restore", kOptForce | kOptVerify, "restore DIR",
     SD_TEXT("put a backup back and check it (always\nverified)"), RunRestore},
    {"sync", kOptJson | kOptVerify | kOptDelete | kOptDryRun | kOptChecksum, "sync DIR MEMORY",
     SD_TEXT("make a memory hold the files of DIR, in\ntheir order"), RunSync},
};

const OptionSpec& SpecOf(Option bit) {
    for (const OptionSpec& spec : kOptions)
        if (spec.bit == bit) return spec;
    return kOptions[0];
}

// The option's long spelling, "--name".
std::string Spelled(const OptionSpec& spec) {
    return std::string("--") + spec.longName;
}

void SetOption(Options& options, Option bit, const std::string& argument) {
    switch (bit) {
    case kOptHelp: options.help = true; break;
    case kOptVersion: options.version = true; break;
    case kOptJson: options.json = true; break;
    case kOptQuiet: options.quiet = true; break;
    case kOptForce: options.force = true; break;
    case kOptYes: options.yes = true; break;
    case kOptVerify: options.verify = true; break;
    case kOptConvert: options.convert = true; break;
    case kOptLow: options.low = true; break;
    case kOptDelete: options.remove = true; break;
    case kOptDryRun: options.dryRun = true; break;
    case kOptChecksum: options.checksum = true; break;
    case kOptOutput: options.output = argument; break;
    case kOptTarget: options.targetDir = argument; break;
    }
}

int Refuse(const Message& message, const std::string& command = "") {
    Say(message);
    std::fputs(Formatted("Try 'kdplayer %s--help'.\n", command.empty() ? command : command + " ")
                   .shown.c_str(),
               stderr);
    return kExitUsage;
}

// The long option a word names: its exact name, else the one option whose
// name it begins. Null after saying why when none or several fit.
const OptionSpec* FindLong(const std::string& name, const std::string& typed) {
    std::vector<const OptionSpec*> fits;
    for (const OptionSpec& spec : kOptions) {
        if (name == spec.longName) return &spec;
        if (!name.empty() && std::strncmp(spec.longName, name.c_str(), name.size()) == 0)
            fits.push_back(&spec);
    }
    if (fits.size() == 1) return fits[0];
    if (fits.empty()) {
        Refuse(Formatted("unknown option '%s'", typed));
        return nullptr;
    }
    std::string list;
    for (const OptionSpec* spec : fits) {
        if (!list.empty()) list += ", ";
        list += Spelled(*spec);
    }
    Refuse(Formatted("option '%s' is ambiguous: it may be %s", typed, list));
    return nullptr;
}

// "  -x, --name=ARG   what it does", one line of a usage text.
std::string OptionLine(const OptionSpec& spec) {
    std::string line = spec.shortName ? std::string("  -") + spec.shortName + ", " : "      ";
    line += "--";
    line += spec.longName;
    if (spec.argument) {
        line += '=';
        line += spec.argument;
    }
    line.resize(std::max<size_t>(line.size() + 2, 30), ' ');
    return line + strings::Tr(spec.help) + "\n";
}

struct Given {
    Option bit;
    std::string typed;
};

} // namespace

const Command* FindCommand(const std::string& name) {
    for (const Command& command : kCommands)
        if (name == command.name) return &command;
    return nullptr;
}

std::string UsageText() {
    std::string text =
        strings::Tr("Usage:\n"
                    "  kdplayer [OPTION]... COMMAND [ARGUMENT]...\n"
                    "  kdplayer COMMAND --help\n"
                    "Copies files to and from the attached KD5200 player and services it.\n"
                    "\n"
                    "Commands:\n");
    for (const Command& command : kCommands) {
        if (std::strncmp(command.name, "font ", 5) == 0) continue;
        std::string line = std::string("  ") + command.usage;
        const char* summary = strings::Tr(command.summary);
        // Summaries in a column of their own, from the 33rd.
        const std::string indent(32, ' ');
        if (line.size() < indent.size()) {
            line.resize(indent.size(), ' ');
        } else {
            line += "\n";
            line += indent;
        }
        for (const char* c = summary; *c; ++c) {
            line += *c;
            if (*c == '\n') line += indent;
        }
        text += line + "\n";
    }
    text +=
        strings::Tr("\n"
                    "MEMORY is internal (0) or external (1); FILE on the player is an entry\n"
                    "number or a name. Each command takes only its own options (COMMAND --help);\n"
                    "-q, -h and -V go with every command. A long option may be shortened while\n"
                    "it fits only one.\n"
                    "\n"
                    "Options:\n");
    for (const OptionSpec& spec : kOptions) {
        text += OptionLine(spec);
    }
    text += strings::Tr("\n"
                        "Exit status: 0 done, 1 failed, 2 bad arguments, 3 no player or memory,\n"
                        "4 file not found, 5 the player changed meanwhile, 6 stopped part-way.\n");
    return text;
}

std::string CommandUsageText(const Command& command) {
    std::string text = Formatted("Usage: kdplayer %s\n", command.usage).shown +
                       strings::Tr(command.summary) + strings::Tr("\n\nOptions:\n");
    for (const OptionSpec& spec : kOptions) {
        if (!((command.options | kEveryCommand) & spec.bit)) continue;
        text += OptionLine(spec);
    }
    return text;
}

std::string VersionText() {
    return std::string("kdplayer (Songdock) ") + KDPLAYER_VERSION + "\n";
}

int ParseOptions(int argc, char** argv, Options& options) {
    std::vector<Given> given;
    std::vector<std::string> words;
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsEnd || arg.size() < 2 || arg[0] != '-') {
            words.push_back(arg); // "-" alone is a word: standard output
            continue;
        }
        if (arg == "--") {
            optionsEnd = true;
            continue;
        }
        if (arg[1] == '-') {
            const size_t equals = arg.find('=');
            const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos
                                                                               : equals - 2);
            const OptionSpec* spec = FindLong(name, arg.substr(0, equals));
            if (!spec) return kExitUsage;
            std::string argument;
            if (spec->argument) {
                if (equals != std::string::npos) {
                    argument = arg.substr(equals + 1);
                } else if (i + 1 < argc) {
                    argument = argv[++i];
                } else {
                    return Refuse(
                        Formatted("option '--%s' needs %s", spec->longName, spec->argument));
                }
            } else if (equals != std::string::npos) {
                return Refuse(Formatted("option '--%s' takes no value", spec->longName));
            }
            if (spec->argument && argument.empty())
                return Refuse(Formatted("option '--%s' needs %s", spec->longName, spec->argument));
            given.push_back({spec->bit, std::string("--") + spec->longName});
            SetOption(options, spec->bit, argument);
            continue;
        }
        // One or more short options: "-fy", "-o FILE", "-oFILE".
        for (size_t at = 1; at < arg.size(); ++at) {
            const OptionSpec* spec = nullptr;
            for (const OptionSpec& candidate : kOptions)
                if (candidate.shortName == arg[at]) spec = &candidate;
            if (!spec) return Refuse(Formatted("unknown option '%s'", std::string("-") + arg[at]));
            std::string argument;
            if (spec->argument) {
                if (at + 1 < arg.size()) argument = arg.substr(at + 1);
                else if (i + 1 < argc) argument = argv[++i];
                if (argument.empty())
                    return Refuse(Formatted("option '%s' needs %s", std::string("-") + arg[at],
                                            spec->argument));
                at = arg.size();
            }
            given.push_back({spec->bit, std::string("-") + spec->shortName});
            SetOption(options, spec->bit, argument);
        }
    }
    if (!words.empty()) {
        options.command = words.front();
        options.words.assign(words.begin() + 1, words.end());
    }
    if (options.command.empty()) return kExitOk; // --help, --version or no command
    const Command* command = EntryFor(options.command, options.words);
    if (!command) {
        if (options.help) return Refuse(Formatted("unknown command '%s'", options.command));
        return kExitOk; // the command line's handler says so
    }
    if (options.help) return kExitOk;
    for (const Given& option : given) {
        if ((command->options | kEveryCommand) & option.bit) continue;
        const OptionSpec& spec = SpecOf(option.bit);
        std::string named = "'" + option.typed + "'";
        if (option.typed != Spelled(spec)) named += " (" + Spelled(spec) + ")";
        return Refuse(Formatted("%s does not take the option %s", command->name, named),
                      command->name);
    }
    return kExitOk;
}

const Command* EntryFor(const std::string& command, const std::vector<std::string>& words) {
    if (command.find(' ') != std::string::npos) return nullptr;
    if (command == "font" && !words.empty())
        if (const Command* sub = FindCommand("font " + words[0])) return sub;
    return FindCommand(command);
}

} // namespace kdplayer
