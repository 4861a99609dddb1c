// Run under Wine with LANG=ko_KR.UTF-8 (ANSI code page 949): player names in
// the system's code page through the Win32 conversions, PC paths as a library
// of the ANSI functions takes them, and device library functions found by
// their plain and their stdcall-decorated names.
#include "base/platform/ansi_path.h"
#include "base/platform/code_page.h"
#include "base/platform/shared_library.h"
#include "base/platform/wide_text.h"
#include "wine_check.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using wine_check::Check;

void CodePages() {
    Check(platform::CodePageFromEnvironment() == "CP949", "the ANSI code page is the system's (949)");
    _putenv("KD5200_CODEPAGE=cp1252");
    Check(platform::PlayerCodePageFromEnvironment() == "cp1252", "KD5200_CODEPAGE overrides it");
    _putenv("KD5200_CODEPAGE=CP99999");
    Check(platform::PlayerCodePageFromEnvironment() == "CP949", "an unknown KD5200_CODEPAGE is ignored");
    _putenv("KD5200_CODEPAGE=");

    const platform::CodePage korean("CP949");
    std::string bytes;
    Check(korean.Encode("\xEB\x85\xB8\xEB\x9E\x98.mp3", bytes) &&
              bytes == "\xB3\xEB\xB7\xA1.mp3",
          "노래.mp3 is B3 EB B7 A1 2E 6D 70 33");
    Check(korean.Decode(bytes) == "\xEB\x85\xB8\xEB\x9E\x98.mp3", "and reads back");

    platform::Unencodable failure;
    Check(!korean.Encode("a\xF0\x9F\x8E\xB5.mp3", bytes, &failure) && failure.codePoint == 0x1F3B5 &&
              failure.character == "\xF0\x9F\x8E\xB5" && bytes.empty(),
          "a name with U+1F3B5 is refused, naming the character");
    Check(!korean.Encode("\xE6\x97\xA5\xC3\xA9", bytes, &failure) && failure.codePoint == 0xE9,
          "no best fit: e-acute is refused in 949, not written as e");

    std::string name;
    Check(!korean.PcName("\xB3\xEB%\xFF", name) && name == "\xEB\x85\xB8%25%FF",
          "bytes that do not decode are written %HH");
    const auto lengths = korean.CharacterLengths("\xB3\xEB" "A\xB7");
    Check(lengths.size() == 3 && lengths[0] == 2 && lengths[1] == 1 && lengths[2] == 1,
          "characters are one or two bytes; a lone lead byte is one");

    const platform::CodePage western("CP1252");
    Check(western.Encode("caf\xC3\xA9", bytes) && bytes == "caf\xE9", "CP1252 writes e-acute");
    Check(!western.Encode("\xEB\x85\xB8", bytes, &failure) && failure.codePoint == 0xB178,
          "CP1252 refuses Hangul");
    Check(!platform::CodePageKnown("CP0") && !platform::CodePageKnown("949x") &&
              platform::CodePageKnown("windows-1250"),
          "code page names");
}

void Libraries(const std::string& folder) {
    std::string error;
    void* library = platform::OpenLibrary(folder + "\\stdcall_exports.dll", error);
    Check(library != nullptr, "the test library loads by a path with backslashes");
    if (!library) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return;
    }
    using One = int (*)(int);
    using Two = int (*)(int, int);
    auto twice = reinterpret_cast<One>(platform::LibraryFunction(library, "Twice"));
    auto thrice = reinterpret_cast<Two>(platform::LibraryFunction(library, "Thrice"));
    auto plain = reinterpret_cast<One>(platform::LibraryFunction(library, "Plain"));
    Check(twice && twice(21) == 42, "\"_Twice@4\" is found as Twice");
    Check(thrice && thrice(2, 1) == 7, "\"Thrice@8\" is found as Thrice");
    Check(plain && plain(1) == 2, "a plain name is found");
    Check(!platform::LibraryFunction(library, "Twic") && !platform::LibraryFunction(library, "_Twice") &&
              !platform::LibraryFunction(library, "TwiceMor"),
          "a name is found whole only");
    platform::CloseLibrary(library);

    Check(!platform::OpenLibrary(folder + "\\missing.dll", error) &&
              error.find("missing.dll") != std::string::npos,
          "a missing library is named in the error");
}

bool Present(const std::string& path) {
    return GetFileAttributesW(platform::WideText(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakeFile(const std::string& path) {
    CloseHandle(CreateFileW(platform::WideText(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool Ascii(const char* bytes) {
    for (; *bytes; ++bytes)
        if (static_cast<unsigned char>(*bytes) >= 0x80) return false;
    return true;
}

void AnsiPaths(const std::string& folder) {
    using platform::AnsiPath;
    using platform::AnsiUse;
    const std::string korean = folder + "\\\xEB\x85\xB8\xEB\x9E\x98.mp3"; // 노래.mp3
    MakeFile(korean);
    const AnsiPath plain(korean, AnsiUse::kReadNamed);
    Check(plain.Ok() && std::string(plain.Bytes()).ends_with("\\\xB3\xEB\xB7\xA1.mp3") &&
              plain.Text() == korean,
          "a path code page 949 holds crosses in it");

    // A folder named with characters outside 949: U+1F3B5 and U+1E9E.
    const std::string odd = folder + "\\\xF0\x9F\x8E\xB5 \xE1\xBA\x9E";
    CreateDirectoryW(platform::WideText(odd).c_str(), nullptr);
    MakeFile(odd + "\\a.bin");
    const AnsiPath reading(odd + "\\a.bin", AnsiUse::kRead);
    Check(reading.Ok() && Ascii(reading.Bytes()) && Present(platform::TextFromAnsiPath(reading.Bytes())),
          "a file in such a folder goes by its short name, which opens it");
    const AnsiPath named(odd + "\\a.bin", AnsiUse::kReadNamed);
    Check(named.Ok() && std::string(named.Bytes()).ends_with("\\a.bin"),
          "a file whose name matters keeps it behind its folder's short name");
    Check(!AnsiPath(odd + "\\\xE1\xBA\x9E.bin", AnsiUse::kReadNamed).Ok(),
          "a name that cannot cross is refused where it matters");

    const std::string wanted = odd + "\\\xE1\xBA\x9E.bin";
    {
        AnsiPath writing(wanted, AnsiUse::kWrite);
        Check(writing.Ok() && Ascii(writing.Bytes()), "a file to be written there gets a name 949 holds");
        MakeFile(writing.Text());
        Check(writing.Finish() == 0 && Present(wanted) && !Present(writing.Text()),
              "and is renamed to the name asked for");
    }
    const std::string other = odd + "\\\xF0\x9F\x8E\xB5.bin";
    std::string left;
    {
        const AnsiPath failed(other, AnsiUse::kWrite);
        MakeFile(left = failed.Text());
    }
    Check(!Present(left) && !Present(other), "what a failed write left under the temporary name goes");
    Check(!AnsiPath(folder + "\\missing \xF0\x9F\x8E\xB5\\x.bin", AnsiUse::kWrite).Ok(),
          "a folder that has no short name either is refused");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: platform_text_test FOLDER-OF-TEST-LIBRARY\n");
        return 2;
    }
    CodePages();
    Libraries(argv[1]);
    AnsiPaths(argv[1]);
    return wine_check::Status();
}
