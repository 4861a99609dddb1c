// The desktop view in a stand-in frame, on folders the tests make, driven
// through the keyboard, the mouse and its commands.
#include "views/desktop/desktop_view.h"
#include "views/desktop/desktop_rows.h"
#include "views/desktop/filter_combo.h"
#include "views/desktop/folder_combo.h"
#include "views/desktop/folder_tree.h"
#include "lib/lists/name_list.h"
#include "base/platform/gui/shell_info.h"
#include "base/platform/launcher.h"
#include "base/platform/message_box.h"
#include "base/resources/ids.h"
#include "base/resources/strings.h"
#include "lib/settings/settings_store.h"
#include "tests/support/gui_harness/gui_harness.h"
#include "ui/controls/menu_builder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/dcscreen.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/stattext.h>
#include <wx/uiaction.h>

namespace fs = std::filesystem;

namespace {

void Touch(const fs::path& path, std::int64_t mtime = 0, const std::string& bytes = "x") {
    std::ofstream(path, std::ios::binary) << bytes;
    if (mtime) {
        const timespec times[2] = {{mtime, 0}, {mtime, 0}};
        ::utimensat(AT_FDCWD, path.c_str(), times, 0);
    }
}

class DesktopViewTest : public testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("desktop_view_" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "config");
        fs::create_directories(root_ / "home");
        setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
        setenv("HOME", (root_ / "home").c_str(), 1);
        setenv("LC_ALL", "C", 1);
        setenv("TZ", "America/New_York", 1);
        oldShell_ = platform::SetShellInfo(std::make_unique<platform::StubShellInfo>());
        auto launcher = std::make_unique<platform::RecordingLauncher>();
        launcher_ = launcher.get();
        oldLauncher_ = platform::SetLauncher(std::move(launcher));
        oldBox_ = platform::SetMessageBoxHandler(
            [this](void*, const std::string& text, const std::string& caption, unsigned) {
                boxes.push_back(caption.empty() ? text : caption + ": " + text);
                return answer;
            });
        settings::SetFileFilter("*.mp3");
        folder_ = root_ / "music";
        fs::create_directories(folder_);
    }
    void TearDown() override {
        if (frame_) frame_->Destroy();
        gui::Pump(20);
        platform::SetMessageBoxHandler(oldBox_);
        platform::SetLauncher(std::move(oldLauncher_));
        platform::SetShellInfo(std::move(oldShell_));
        unsetenv("TZ");
        fs::remove_all(root_);
    }

    // Creates the view in a frame, with last as the remembered folder, and
    // waits for the first listing.
    HDesktopView* Open(const fs::path& last) {
        settings::SetLastDirectoryFrozen(false);
        settings::SetLastDirectory(last.string());
        settings::SetLastDirectoryFrozen(true);
        frame_ = new wxFrame(nullptr, wxID_ANY, "desktop", wxPoint(40, 40), wxSize(560, 420));
        view_ = new HDesktopView();
        view_->Create(frame_, wxID_ANY);
        gui::ShowAndWait(frame_);
        gui::Pump(50);
        return view_;
    }
    std::vector<std::string> Column(int column) const {
        std::vector<std::string> out;
        for (const auto& row : gui::ListRows(*view_->GetList()))
            out.push_back(row[size_t(column)]);
        return out;
    }
    long RowNamed(const std::string& name) const {
        HFileListCtrl* list = view_->GetList();
        for (long r = 0; r < list->GetItemCount(); ++r)
            if (view_->RowAt(r).name == name) return r;
        return -1;
    }
    // Chooses a command from the context menu opened on the first selected row.
    bool ChooseFromContextMenu(int command) {
        HFileListCtrl* list = view_->GetList();
        return gui::ChooseFromContextMenu(view_,
                                          gui::RowScreenPoint(*list, list->GetFirstSelected()),
                                          controls::MenuItemId(command));
    }
    void Select(std::initializer_list<const char*> names) {
        view_->GetList()->ClearSelection();
        for (const char* name : names)
            view_->GetList()->SelectRow(RowNamed(name));
    }
    std::string CurrentPath() const {
        const HFolderNode* node = view_->GetFolderCombo()->GetCurrentNode();
        return node ? node->path : "(none)";
    }
    // The number of folder nodes in the tree.
    static int FolderNodes(const HFolderTree& tree, wxTreeItemId item = wxTreeItemId()) {
        if (!item.IsOk()) item = tree.GetRootItem();
        int count = tree.NodeOf(item)->kind == folder_kind::kFolder;
        wxTreeItemIdValue cookie;
        for (wxTreeItemId c = tree.GetFirstChild(item, cookie); c.IsOk();
             c = tree.GetNextChild(item, cookie))
            count += FolderNodes(tree, c);
        return count;
    }
    // Clicks at a point of the screen, not so soon after another click that
    // the two make a double click.
    static void Click(const wxPoint& at) {
        gui::MouseMove(at);
        gui::Pump(450);
        gui::MouseDown();
        gui::MouseUp();
        gui::Pump(80);
    }
    // Clicks a column header of the list.
    void ClickHeader(int column) {
        HFileListCtrl* list = view_->GetList();
        int x = 0;
        for (int c = 0; c < column; ++c)
            x += list->GetColumnWidth(c);
        Click(list->ClientToScreen(wxPoint(x + 20, 8)));
    }

    fs::path root_, folder_;
    wxFrame* frame_ = nullptr;
    HDesktopView* view_ = nullptr;
    platform::RecordingLauncher* launcher_ = nullptr;
    std::vector<std::string> boxes;
    int answer = platform::kIdYes;

private:
    std::unique_ptr<platform::ShellInfo> oldShell_;
    std::unique_ptr<platform::Launcher> oldLauncher_;
    platform::MessageBoxHandler oldBox_;
};

TEST_F(DesktopViewTest, FoldersFirstFilterSizesDatesAndSorts) {
    fs::create_directories(folder_ / "b_dir");
    fs::create_directories(folder_ / "a_dir");
    fs::create_directories(folder_ / ".hidden");
    Touch(folder_ / "Zed.mp3", 1136214245, std::string(1500000, 'z')); // 2006-01-02 15:04:05 UTC
    Touch(folder_ / "A.MP3", 1000000000, std::string(10, 'a'));
    Touch(folder_ / "c.txt");
    Touch(folder_ / ".dot.mp3");
    Touch(folder_ / "empty.mp3", 900000000, "");
    // Sizes past 4 GiB are shown as they are (sparse file).
    {
        const int fd = ::open((folder_ / "big.mp3").c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_EQ(::ftruncate(fd, (off_t(4) << 30) + 1), 0);
        ::close(fd);
    }
    Open(folder_);
    // Names sort without case first, also in the C locale.
    EXPECT_EQ(Column(0), (std::vector<std::string>{"a_dir", "b_dir", "A.MP3", "big.mp3",
                                                   "empty.mp3", "Zed.mp3"}));
    EXPECT_EQ(Column(1)[3], "4,194,305KB");
    EXPECT_EQ(Column(1)[4], "0KB");
    EXPECT_EQ(Column(1)[5], "1,465KB");
    EXPECT_EQ(Column(2)[5], "MP3 File");
    // The Date column is in the local time zone.
    EXPECT_EQ(Column(3)[5], "01/02/06 10:04");

    // Size ascending keeps the folders first; clicking it again reverses all.
    ClickHeader(1);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"a_dir", "b_dir", "empty.mp3", "A.MP3",
                                                   "Zed.mp3", "big.mp3"}));
    EXPECT_EQ(settings::GetSortKey(-1), 1);
    ClickHeader(1);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"big.mp3", "Zed.mp3", "A.MP3", "empty.mp3",
                                                   "b_dir", "a_dir"}));
    EXPECT_EQ(settings::GetSortAscendent(-1), 0);
    ClickHeader(3); // date, ascending
    EXPECT_EQ(Column(0)[2], "empty.mp3");
    EXPECT_EQ(Column(0)[3], "A.MP3");

    // All files: the filter applies to files only.
    settings::SetFileFilter("*.*");
    view_->ShowNode(nullptr);
    EXPECT_EQ(view_->GetList()->GetItemCount(), 7);
    EXPECT_NE(RowNamed("c.txt"), -1);
    EXPECT_EQ(RowNamed(".dot.mp3"), -1);
}

TEST_F(DesktopViewTest, DeleteAsksStopsAtAFailureAndReLists) {
    fs::create_directories(folder_ / "sub");
    for (const char* name : {"one.mp3", "two.mp3", "three.mp3", "four.mp3"})
        Touch(folder_ / name);
    Open(folder_);
    HFileListCtrl* list = view_->GetList();

    // The Delete key on one row names it, and the file goes to the Trash.
    Select({"one.mp3"});
    list->SetFocus();
    gui::Pump(20);
    gui::KeyPress(WXK_DELETE);
    gui::Pump(80);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Confirm file deleting: Would delete file one.mp3 ?");
    EXPECT_FALSE(fs::exists(folder_ / "one.mp3"));
    EXPECT_TRUE(fs::exists(fs::path(std::getenv("XDG_DATA_HOME")) / "Trash/files/one.mp3"));
    EXPECT_EQ(RowNamed("one.mp3"), -1);

    // Two rows, from the context menu's command: "No" keeps both.
    boxes.clear();
    answer = platform::kIdNo;
    Select({"two.mp3", "three.mp3"});
    EXPECT_TRUE(gui::RunUpdateUI(view_, ids::kDelete).enabled);
    ASSERT_TRUE(gui::ChooseFromContextMenu(view_, gui::RowScreenPoint(*list, RowNamed("two.mp3")),
                                           controls::MenuItemId(ids::kDelete)));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Confirm file deleting: Would you delete the selected file?");
    EXPECT_TRUE(fs::exists(folder_ / "two.mp3"));

    // A folder is refused with the system's text, and deleting stops there.
    boxes.clear();
    answer = platform::kIdYes;
    Select({"sub", "four.mp3"});
    EXPECT_FALSE(view_->DeleteSelection(true));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1], "sub: Is a directory");
    EXPECT_TRUE(fs::exists(folder_ / "four.mp3"));
    EXPECT_NE(RowNamed("four.mp3"), -1);
}

TEST_F(DesktopViewTest, DeleteWhereThereIsNoTrashSaysItIsPermanent) {
    // /dev/shm is a memory file system without a trash.
    const fs::path shm = fs::path("/dev/shm") / ("desktop_view_" + std::to_string(::getpid()));
    if (!fs::exists(shm.parent_path())) GTEST_SKIP() << "no /dev/shm";
    fs::remove_all(shm);
    fs::create_directories(shm);
    const std::string bad = "M\xfasica.mp3"; // not UTF-8
    Touch(shm / bad);
    Open(shm);
    Select({bad.c_str()});
    ASSERT_TRUE(ChooseFromContextMenu(ids::kDelete));
    // The box gets the name's bytes once; it shows them with one mark per bad byte.
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Confirm file deleting: Would delete file " + bad + " ?\n\n" +
                            text::kDeletePermanent);
    EXPECT_FALSE(fs::exists(shm / bad));
    fs::remove_all(shm);
}

TEST_F(DesktopViewTest, FolderChainUpMissingPartsAndArrowKeys) {
    fs::create_directories(folder_ / "a" / "b");
    Open(folder_ / "a" / "b");
    HFolderCombo* combo = view_->GetFolderCombo();
    HFolderTree* tree = combo->GetTree();
    EXPECT_EQ(CurrentPath(), (folder_ / "a" / "b").string());
    const size_t withChain = tree->GetCount();

    // Two clicks on Up remove both folder nodes and list the folder above.
    wxWindow* up = view_->FindWindow(ids::kUpButton);
    ASSERT_TRUE(up);
    for (int i = 0; i < 2; ++i)
        Click(gui::ScreenCenter(*up));
    EXPECT_EQ(CurrentPath(), folder_.string());
    EXPECT_EQ(tree->GetCount(), withChain - 2);
    EXPECT_EQ(Column(0), std::vector<std::string>{"a"});
    EXPECT_EQ(settings::GetLastDirectory(), folder_.string());

    // A path whose last part is gone stops at the deepest folder that exists.
    combo->GoToPath((folder_ / "a" / "gone").string());
    EXPECT_EQ(CurrentPath(), (folder_ / "a").string());

    // Arrow keys on the closed combo walk the visible nodes and list each.
    combo->SetFocus();
    gui::Pump(20);
    gui::KeyPress(WXK_UP);
    gui::Pump(50);
    EXPECT_EQ(CurrentPath(), folder_.string());
    EXPECT_EQ(Column(0), std::vector<std::string>{"a"});
    gui::KeyPress(WXK_DOWN);
    gui::Pump(50);
    EXPECT_EQ(CurrentPath(), (folder_ / "a").string());
    EXPECT_FALSE(combo->IsPopupShown());
}

TEST_F(DesktopViewTest, TreeOpensByClickAndAltDownChoosesByClickAndCloses) {
    fs::create_directories(folder_ / "a");
    Open(folder_ / "a");
    HFolderCombo* combo = view_->GetFolderCombo();
    HFolderTree* tree = combo->GetTree();

    // Alt+Down opens the tree; Escape closes it without a change.
    combo->SetFocus();
    gui::Pump(20);
    wxUIActionSimulator sim;
    sim.KeyDown(WXK_DOWN, wxMOD_ALT);
    sim.KeyUp(WXK_DOWN, wxMOD_ALT);
    gui::Pump(300);
    EXPECT_TRUE(combo->IsPopupShown());
    gui::KeyPress(WXK_ESCAPE);
    gui::Pump(200);
    EXPECT_FALSE(combo->IsPopupShown());
    EXPECT_EQ(CurrentPath(), (folder_ / "a").string());

    // In the open tree Up moves the highlight and Enter chooses it.
    sim.KeyDown(WXK_DOWN, wxMOD_ALT);
    sim.KeyUp(WXK_DOWN, wxMOD_ALT);
    gui::Pump(300);
    ASSERT_TRUE(combo->IsPopupShown());
    gui::KeyPress(WXK_UP);
    gui::Pump(100);
    EXPECT_EQ(CurrentPath(), (folder_ / "a").string());
    gui::KeyPress(WXK_RETURN);
    gui::Pump(200);
    EXPECT_FALSE(combo->IsPopupShown());
    EXPECT_EQ(CurrentPath(), folder_.string());
    EXPECT_EQ(Column(0), std::vector<std::string>{"a"});

    // A click on the field opens it; a click on the computer chooses it,
    // prunes the folder chain and lists the volumes.
    gui::MouseMove(gui::ScreenCenter(*combo));
    gui::Pump(450);
    gui::MouseDown();
    gui::MouseUp();
    gui::Pump(300);
    ASSERT_TRUE(combo->IsPopupShown());
    const wxTreeItemId computer = tree->FindKind(folder_kind::kComputer);
    wxRect rect;
    ASSERT_TRUE(tree->GetBoundingRect(computer, rect, true));
    gui::MouseGlide(gui::ScreenCenter(*combo),
                    tree->ClientToScreen(rect.GetPosition() + wxPoint(8, rect.height / 2)));
    gui::Pump(50);
    EXPECT_EQ(tree->GetSelection(), computer); // highlighted, not yet current
    EXPECT_EQ(CurrentPath(), folder_.string());
    const size_t nodes = tree->GetCount();
    gui::MouseDown();
    gui::MouseUp();
    gui::Pump(300);
    EXPECT_FALSE(combo->IsPopupShown());
    EXPECT_EQ(combo->GetCurrentNode()->kind, folder_kind::kComputer);
    EXPECT_GT(view_->GetList()->GetItemCount(), 0);
    EXPECT_EQ(view_->RowAt(0).kind, desktop::RowKind::Drive);
    // The whole folder chain below the volume went.
    EXPECT_EQ(FolderNodes(*tree), 0);
    EXPECT_LT(tree->GetCount(), nodes);
}

TEST_F(DesktopViewTest, NetworkPlacesChainUnderTheNetwork) {
    Open(folder_);
    HFolderCombo* combo = view_->GetFolderCombo();
    HFolderTree* tree = combo->GetTree();
    const int kinds[3] = {platform::net_display::kDomain, platform::net_display::kServer,
                          platform::net_display::kShare};
    const char* names[3] = {"work", "nas", "music"};
    for (int i = 0; i < 3; ++i) {
        platform::NetworkPlace r;
        r.display = kinds[i];
        r.remoteName = std::string("//") + names[i];
        r.localName = i == 2 ? folder_.string() : "";
        combo->InsertNetworkPlace(
            std::make_unique<HFolderNode>(names[i], r.localName, 0, 0, folder_kind::kFolder, r));
    }
    // network -> work -> nas -> music, and the share is listed and takes uploads.
    wxTreeItemId item = tree->GetCurrentItem();
    for (int i = 2; i >= 0; --i) {
        ASSERT_TRUE(item.IsOk());
        EXPECT_EQ(tree->NodeOf(item)->name, names[i]);
        item = tree->GetItemParent(item);
    }
    EXPECT_EQ(tree->NodeOf(item)->kind, folder_kind::kNetwork);
    EXPECT_EQ(view_->GetTargetFolder(), folder_.string());
    // Going up to the server lists no folder and takes no uploads.
    combo->GoUp();
    EXPECT_EQ(combo->GetCurrentNode()->name, "nas");
    EXPECT_FALSE(view_->CanReceive());
}

TEST_F(DesktopViewTest, AFolderThatCannotBeReadIsReportedAndLeftForItsParent) {
    fs::create_directories(folder_ / "vanishing");
    Touch(folder_ / "song.mp3");
    Open(folder_ / "vanishing");
    fs::remove(folder_ / "vanishing");
    view_->ShowNode(nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "vanishing: No such file or directory");
    EXPECT_EQ(CurrentPath(), folder_.string());
    EXPECT_EQ(Column(0), std::vector<std::string>{"song.mp3"});
}

TEST_F(DesktopViewTest, LastDirectoryRestoredAtStartAndFollowedAfterwards) {
    fs::create_directories(folder_ / "kept");
    fs::create_directories(folder_ / "elsewhere");
    const fs::path cwd = fs::current_path();
    fs::current_path(folder_ / "elsewhere");
    Open(folder_ / "kept");
    fs::current_path(cwd);
    // The start at the current directory did not replace the stored folder.
    EXPECT_EQ(CurrentPath(), (folder_ / "kept").string());
    EXPECT_EQ(settings::GetLastDirectory(), (folder_ / "kept").string());
    EXPECT_FALSE(settings::IsLastDirectoryFrozen());
    view_->GetFolderCombo()->GoToPath((folder_ / "elsewhere").string());
    EXPECT_EQ(settings::GetLastDirectory(), (folder_ / "elsewhere").string());
}

TEST_F(DesktopViewTest, OpeningRowsAndSelectingUploadedFiles) {
    fs::create_directories(folder_ / "inner");
    Touch(folder_ / "song.mp3");
    Touch(folder_ / "REC01.WAV");
    Touch(folder_ / "a_b.mp3");
    settings::SetFileFilter("*.*");
    Open(folder_);

    // Enter on a file opens it; on a folder goes into it.
    HFileListCtrl* list = view_->GetList();
    Select({"song.mp3"});
    list->FocusRow(RowNamed("song.mp3"));
    list->SetFocus();
    gui::Pump(20);
    gui::KeyPress(WXK_RETURN);
    gui::Pump(50);
    ASSERT_EQ(launcher_->opened.size(), 1u);
    EXPECT_EQ(launcher_->opened[0], (folder_ / "song.mp3").string());

    // Uploaded recordings and unsafe names arrive under the device layer's names.
    EXPECT_EQ(view_->GetTargetFolder(), folder_.string());
    HNameList uploaded;
    uploaded.Add("REC01.QKA", 0, 0);
    uploaded.Add("a/b.mp3", 1, 0);
    view_->Receive(uploaded, false);
    std::vector<std::string> selected;
    for (long r : gui::SelectedRows(*list))
        selected.push_back(view_->RowAt(r).name);
    EXPECT_EQ(selected, (std::vector<std::string>{"a_b.mp3", "REC01.WAV"}));

    // The selection travels as full paths.
    HNameList sent;
    view_->CollectSelection(sent);
    ASSERT_EQ(sent.GetCount(), 2u);
    EXPECT_EQ(sent.begin()->name, (folder_ / "a_b.mp3").string());

    Select({"inner"});
    list->FocusRow(RowNamed("inner"));
    gui::KeyPress(WXK_RETURN);
    gui::Pump(50);
    EXPECT_EQ(CurrentPath(), (folder_ / "inner").string());

    // The volume list takes no uploads.
    view_->GetFolderCombo()->GetTree()->MakeCurrent(
        view_->GetFolderCombo()->GetTree()->FindKind(folder_kind::kComputer), true);
    EXPECT_FALSE(view_->CanReceive());
    EXPECT_GT(list->GetItemCount(), 0);
    EXPECT_FALSE(gui::RunUpdateUI(view_, ids::kDelete).enabled);
}

TEST_F(DesktopViewTest, HomeOnceFolderPropertiesOffAndUnexaminableEntriesListed) {
    fs::create_directories(folder_ / "Rock");
    Touch(folder_ / "song.mp3");
    Open(folder_);
    // The desktop and documents folders are both the home folder: one node.
    HFolderTree* tree = view_->GetFolderCombo()->GetTree();
    EXPECT_FALSE(tree->FindKind(folder_kind::kDocuments).IsOk());
    EXPECT_EQ(tree->NodeOf(tree->FindKind(folder_kind::kDesktop))->path, (root_ / "home").string());

    // Properties is for files only.
    Select({"Rock"});
    EXPECT_FALSE(gui::RunUpdateUI(view_, ids::kProperties).enabled);
    Select({"song.mp3"});
    EXPECT_TRUE(gui::RunUpdateUI(view_, ids::kProperties).enabled);

    // A folder that may be read but not searched: its entries by name alone.
    fs::create_directories(folder_ / "locked");
    Touch(folder_ / "locked/hidden.mp3");
    fs::permissions(folder_ / "locked",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    struct stat st {};
    if (::stat((folder_ / "locked/hidden.mp3").c_str(), &st) != 0) {
        view_->GetFolderCombo()->GoToPath((folder_ / "locked").string());
        gui::Pump(50);
        EXPECT_EQ(Column(0), std::vector<std::string>{"hidden.mp3"});
        EXPECT_EQ(Column(1), std::vector<std::string>{""});
        EXPECT_EQ(Column(3), std::vector<std::string>{""});
    } else {
        // The system user examines every entry: the listing runs as nobody.
        const pid_t child = ::fork();
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
            std::vector<desktop::DesktopRow> rows;
            const int error = desktop::ListFolder((folder_ / "locked").string(), "*.*", rows);
            ::_exit(error == 0 && rows.size() == 1 && rows[0].name == "hidden.mp3" &&
                            !rows[0].examined && desktop::DateText(rows[0]).empty()
                        ? 0
                        : 1);
        }
        int status = -1;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 1) << status;
    }
    fs::permissions(folder_ / "locked", fs::perms::owner_all);
}

TEST_F(DesktopViewTest, PropertiesOfACutMp3) {
    if (std::system("ffmpeg -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no ffmpeg";
    const std::string whole = (root_ / "whole.mp3").string();
    ASSERT_EQ(std::system(("ffmpeg -hide_banner -loglevel error -y -f lavfi -i "
                           "sine=frequency=440:duration=4 -ac 2 -ar 44100 -c:a libmp3lame -q:a 3 "
                           "-metadata title=Tune '" +
                           whole + "'")
                              .c_str()),
              0);
    const auto size = fs::file_size(whole);
    fs::copy_file(whole, folder_ / "cut.mp3");
    fs::resize_file(folder_ / "cut.mp3", size / 2 + 3);
    Open(folder_);
    Select({"cut.mp3"});

    std::string sizeInfo, versionInfo;
    gui::OnModal properties([&](wxDialog& dialog) {
        if (auto* t = dynamic_cast<wxStaticText*>(dialog.FindWindow(ids::kSizeInfo)))
            sizeInfo = t->GetLabel().utf8_string();
        if (auto* t = dynamic_cast<wxStaticText*>(dialog.FindWindow(ids::kVersionInfo)))
            versionInfo = t->GetLabel().utf8_string();
        dialog.EndModal(wxID_OK);
    });
    ASSERT_TRUE(ChooseFromContextMenu(ids::kProperties));
    EXPECT_TRUE(gui::PumpUntil([&] { return properties.Answered(); }));
    EXPECT_NE(sizeInfo.find(" bytes ("), std::string::npos) << sizeInfo;
    EXPECT_NE(versionInfo.find("MPEG 1 Layer III"), std::string::npos) << versionInfo;
    EXPECT_NE(versionInfo.find("VBR"), std::string::npos) << versionInfo;
    EXPECT_NE(versionInfo.find("cut short"), std::string::npos) << versionInfo;
    EXPECT_NE(versionInfo.find("Title: Tune"), std::string::npos) << versionInfo;
}

// Choosing a filter is checked end to end by
// Songdock.FilterChangeRelistsBothSidesWithoutReadingThePlayer.
TEST_F(DesktopViewTest, FilterComboOffersTheTwoFiltersAndShowsTheStoredOne) {
    frame_ = new wxFrame(nullptr, wxID_ANY, "filter", wxPoint(40, 40), wxSize(400, 100));
    settings::SetFileFilter("*.MP3");
    auto* combo = new HFilterCombo();
    combo->Create(frame_, ids::kFilterCombo);
    gui::ShowAndWait(frame_);
    ASSERT_EQ(combo->GetCount(), 2u);
    EXPECT_EQ(combo->GetString(0), "Mp3 files(*.mp3) - MP3 File");
    EXPECT_EQ(combo->GetString(1), "All files(*.*)");
    EXPECT_EQ(combo->GetSelection(), 0);
}

} // namespace
