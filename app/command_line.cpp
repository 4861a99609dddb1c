#include "app/command_line.h"

#include <array>
#include <string_view>

#ifndef SONGDOCK_VERSION
#define SONGDOCK_VERSION "?"
#endif

namespace app {

namespace {

// The options GTK and GDK take from a program's command line, and whether
// each takes a value ("--display :1" or "--display=:1").
struct ToolkitOption {
    std::string_view name;
    bool hasValue;
};
constexpr std::array<ToolkitOption, 9> kToolkitOptions{{
    {"--display", true},
    {"--class", true},
    {"--name", true},
    {"--gtk-module", true},
    {"--gtk-debug", true},
    {"--gtk-no-debug", true},
    {"--gdk-debug", true},
    {"--gdk-no-debug", true},
    {"--g-fatal-warnings", false},
}};

// The toolkit option that arg is, or null; valueFollows is set when its
// value is the next argument.
const ToolkitOption* FindToolkitOption(std::string_view arg, bool& valueFollows) {
    for (const ToolkitOption& option : kToolkitOptions) {
        if (arg == option.name) {
            valueFollows = option.hasValue;
            return &option;
        }
        if (option.hasValue && arg.size() > option.name.size() && arg.starts_with(option.name) &&
            arg[option.name.size()] == '=') {
            valueFollows = false;
            return &option;
        }
    }
    return nullptr;
}

void PrintHelp(std::FILE* out) {
    std::fputs("Usage: songdock [OPTION]...\n"
               "Move files between the PC and a KD5200 portable player, in a window.\n"
               "\n"
               "      --help     display this help and exit\n"
               "      --version  output version information and exit\n"
               "\n"
               "The toolkit's standard options, such as --display=DISPLAY, are accepted.\n",
               out);
}

void PrintVersion(std::FILE* out) {
    std::fputs("songdock (Songdock) " SONGDOCK_VERSION "\n"
               "Copyright (c) Zentrovia. All rights reserved.\n",
               out);
}

int Refuse(std::FILE* err, const char* what, std::string_view arg) {
    std::fprintf(err, "songdock: %s '%.*s'\nTry 'songdock --help' for more information.\n", what,
                 static_cast<int>(arg.size()), arg.data());
    return kUsageError;
}

} // namespace

int HandleCommandLine(int argc, char** argv, std::FILE* out, std::FILE* err) {
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsEnd || arg.empty() || arg[0] != '-' || arg == "-")
            return Refuse(err, "extra operand", arg);
        if (arg == "--") {
            optionsEnd = true;
        } else if (arg == "--help") {
            PrintHelp(out);
            return 0;
        } else if (arg == "--version") {
            PrintVersion(out);
            return 0;
        } else if (bool valueFollows = false; FindToolkitOption(arg, valueFollows)) {
            if (valueFollows) ++i;
        } else if (arg.starts_with("--")) {
            return Refuse(err, "unrecognized option", arg);
        } else {
            return Refuse(err, "invalid option --", arg.substr(1, 1));
        }
    }
    return -1;
}

} // namespace app
