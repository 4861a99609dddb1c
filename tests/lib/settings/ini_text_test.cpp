// The settings file's INI text against the toolkit's own INI reader and
// writer, which wrote the settings of earlier versions: each reads what the
// other wrote, value for value, and a write keeps the rest of the file.
#include "lib/settings/ini_text.h"

#include <gtest/gtest.h>
#include <wx/fileconf.h>
#include <wx/log.h>
#include <wx/sstream.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Values = std::vector<std::pair<std::string, std::string>>; // key, value

const Values kTricky = {
    {"Plain", "/home/u/fw/boot code.hex"},
    {"Leading", "  two blanks first"},
    {"Trailing", "blanks after  "},
    {"Quoted", "\"quoted\" and a \"quote\" inside"},
    {"Escapes", "back\\slash, tab\there, new\nline, cr\rend"},
    {"Dollar", "$HOME/${USER}/%TEMP%"},
    {"Korean", "\xEC\x9D\x8C\xEC\x95\x85 \xED\x8F\xB4\xEB\x8D\x94"},
    {"Empty", ""},
    {"Equals", "a=b = c;not a comment #nor this"},
};

std::unique_ptr<wxFileConfig> WxOver(const std::string& text) {
    wxStringInputStream input(wxString::FromUTF8(text));
    auto config = std::make_unique<wxFileConfig>(input, wxConvUTF8);
    config->SetExpandEnvVars(false);
    return config;
}

std::string WxText(wxFileConfig& config) {
    wxStringOutputStream output(nullptr, wxConvUTF8);
    EXPECT_TRUE(config.Save(output, wxConvUTF8));
    return output.GetString().ToStdString(wxConvUTF8);
}

TEST(IniText, ReadsWhatTheToolkitWroteAndTheToolkitReadsWhatItWrites) {
    wxLogNull quiet;
    for (const char* group : {"", "Songdock"}) {
        SCOPED_TRACE(group);
        const wxString prefix = *group ? wxString("/") + group + "/" : wxString("/");
        // The toolkit writes; this reads.
        auto wx = WxOver("");
        for (const auto& [key, value] : kTricky)
            wx->Write(prefix + key, wxString::FromUTF8(value));
        const settings::IniText ours(WxText(*wx));
        for (const auto& [key, value] : kTricky)
            EXPECT_EQ(ours.Read(group, key), value) << key;

        // This writes; the toolkit reads.
        settings::IniText written("");
        for (const auto& [key, value] : kTricky)
            written.Write(group, key, value);
        auto back = WxOver(written.Text());
        for (const auto& [key, value] : kTricky) {
            wxString read;
            ASSERT_TRUE(back->Read(prefix + key, &read)) << key;
            EXPECT_EQ(read.ToStdString(wxConvUTF8), value) << key;
        }
        // And both write the same text.
        EXPECT_EQ(written.Text(), WxText(*wx));
    }
}

TEST(IniText, AWriteKeepsTheRestOfTheFileAsItWas) {
    const std::string file = "; written by hand\n"
                             "WindowState = 3\n"
                             "[KDS520]\n"
                             "  TIMEOUT_RECV=1000   \n"
                             "\n"
                             "# the codec\n"
                             "[Songdock]\n"
                             "Old\\ Name=kept\n"
                             "ROMSelect=1\n"
                             "ROMSelect=2\n"
                             "; last words\n";
    settings::IniText ini(file);
    EXPECT_EQ(ini.Read("", "WindowState"), "3");
    EXPECT_EQ(ini.Read("KDS520", "TIMEOUT_RECV"), "1000   ");
    EXPECT_EQ(ini.Read("Songdock", "Old Name"), "kept");
    EXPECT_EQ(ini.Read("Songdock", "ROMSelect"), "2"); // the later line holds a key given twice
    EXPECT_FALSE(ini.Read("Songdock", "WindowState"));
    EXPECT_FALSE(ini.Read("Nowhere", "ROMSelect"));

    ini.Write("", "WindowState", "3");           // unchanged: the line stays as written
    ini.Write("KDS520", "TIMEOUT_SEND", "2000");  // a new key goes after its group's last
    ini.Write("Songdock", "ROMSelect", "0");      // the line that holds it changes
    ini.Write("QDX", "Convert", "1");             // a new group follows the last one
    ini.Write("", "WindowLeft", "10");            // before the first group
    // As the toolkit's writer has it (which does not keep empty lines).
    EXPECT_EQ(ini.Text(), "; written by hand\n"
                          "WindowState = 3\n"
                          "WindowLeft=10\n"
                          "[KDS520]\n"
                          "  TIMEOUT_RECV=1000   \n"
                          "TIMEOUT_SEND=2000\n"
                          "# the codec\n"
                          "[Songdock]\n"
                          "Old\\ Name=kept\n"
                          "ROMSelect=1\n"
                          "ROMSelect=0\n"
                          "[QDX]\n"
                          "Convert=1\n"
                          "; last words\n");
    // The toolkit reads the result as this does.
    wxLogNull quiet;
    auto wx = WxOver(ini.Text());
    long number = 0;
    EXPECT_TRUE(wx->Read("/QDX/Convert", &number));
    EXPECT_EQ(number, 1);
    EXPECT_TRUE(wx->Read("/Songdock/ROMSelect", &number));
    EXPECT_EQ(number, 0);
    EXPECT_TRUE(wx->Read("/WindowLeft", &number));
    EXPECT_EQ(number, 10);
}

} // namespace
