#include "tools/kdplayer/options.h"

#include <getopt.h>

#include <cstdio>

#ifndef KDPLAYER_VERSION
#define KDPLAYER_VERSION "0"
#endif

namespace kdplayer {

namespace {

enum LongOnly { kVerify = 256, kConvert, kLow, kDelete, kChecksum };

const option kLongOptions[] = {
    {"help", no_argument, nullptr, 'h'},     {"version", no_argument, nullptr, 'V'},
    {"json", no_argument, nullptr, 'j'},     {"quiet", no_argument, nullptr, 'q'},
    {"force", no_argument, nullptr, 'f'},    {"yes", no_argument, nullptr, 'y'},
    {"dry-run", no_argument, nullptr, 'n'},  {"checksum", no_argument, nullptr, 'c'},
    {"verify", no_argument, nullptr, kVerify}, {"convert", no_argument, nullptr, kConvert},
    {"low", no_argument, nullptr, kLow},     {"delete", no_argument, nullptr, kDelete},
    {nullptr, 0, nullptr, 0},
};

} // namespace

const char* UsageText() {
    return "Usage:\n"
           "  kdplayer [OPTION]... COMMAND [ARGUMENT]...\n"
           "Copies files to and from the attached KD5200 player and services it.\n"
           "\n"
           "Commands:\n"
           "  info                          the player, its memories and its font\n"
           "  ls [internal|external]        number, short name, long name and size of each file\n"
           "  get MEMORY FILE... [DEST]     copy player files to the PC ('-': standard output)\n"
           "  put MEMORY FILE...            copy PC files onto a memory\n"
           "  rm MEMORY FILE...             delete player files\n"
           "  mv MEMORY FILE NEWNAME        rename a player file\n"
           "  up MEMORY FILE, down MEMORY FILE\n"
           "                                move a file one place up or down\n"
           "  format MEMORY                 delete every file of a memory (asks first)\n"
           "  font get [DEST] | font put FILE | font erase\n"
           "                                the LCD font\n"
           "  raw MEMORY FIRST COUNT OUT.dat\n"
           "                                save COUNT raw blocks of 16384 bytes from FIRST\n"
           "  backup DIR                    save both memories and the font, with a manifest\n"
           "  restore DIR                   put a backup back and check it\n"
           "  sync DIR MEMORY               make a memory hold the files of DIR, in their order\n"
           "\n"
           "MEMORY is internal (0) or external (1); FILE on the player is an entry\n"
           "number or a name.\n"
           "\n"
           "Options:\n"
           "  -j, --json       print info, ls and sync as JSON\n"
           "  -q, --quiet      no progress bar\n"
           "  -f, --force      replace a file that exists where a copy goes\n"
           "  -y, --yes        format without asking\n"
           "      --verify     read every copy back and compare it\n"
           "      --convert    get: turn QKA and QDX recordings into WAV\n"
           "      --low        format: low-level format\n"
           "      --delete     sync: delete player files that DIR does not hold\n"
           "  -n, --dry-run    sync: say what would be done, change nothing\n"
           "  -c, --checksum   sync: compare contents, not only names and sizes\n"
           "  -h, --help       show this text\n"
           "  -V, --version    show the version\n"
           "\n"
           "Exit status: 0 done, 1 failed, 2 bad arguments, 3 no player or memory,\n"
           "4 file not found, 5 the player changed meanwhile, 6 stopped part-way.\n";
}

std::string VersionText() {
    return std::string("kdplayer (Songdock) ") + KDPLAYER_VERSION + "\n";
}

bool ParseOptions(int argc, char** argv, Options& options) {
    opterr = 0;
    optind = 1;
    for (;;) {
        const int previous = optind;
        const int c = getopt_long(argc, argv, ":hVjqfync", kLongOptions, nullptr);
        if (c == -1) break;
        switch (c) {
        case 'h': options.help = true; break;
        case 'V': options.version = true; break;
        case 'j': options.json = true; break;
        case 'q': options.quiet = true; break;
        case 'f': options.force = true; break;
        case 'y': options.yes = true; break;
        case 'n': options.dryRun = true; break;
        case 'c': options.checksum = true; break;
        case kVerify: options.verify = true; break;
        case kConvert: options.convert = true; break;
        case kLow: options.low = true; break;
        case kDelete: options.remove = true; break;
        default: {
            const char* word = previous < argc ? argv[previous] : "";
            if (optopt && optopt < 256)
                std::fprintf(stderr, "kdplayer: unknown option '-%c'\n", optopt);
            else
                std::fprintf(stderr, "kdplayer: unknown option '%s'\n", word);
            std::fputs("Try 'kdplayer --help'.\n", stderr);
            return false;
        }
        }
    }
    if (optind < argc) options.command = argv[optind++];
    for (; optind < argc; ++optind)
        options.words.emplace_back(argv[optind]);
    return true;
}

} // namespace kdplayer
