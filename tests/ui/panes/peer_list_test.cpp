#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/panel.h>

#include "ui/panes/file_source.h"
#include "ui/panes/file_target.h"
#include "lib/lists/name_list.h"
#include "tests/support/gui_harness/gui_harness.h"

namespace {

struct StubTarget : HFileTarget {
    explicit StubTarget(wxWindow* w) : window(w) {}
    wxWindow* GetWindow() const override { return window; }
    bool Receive(HNameList&, bool) override { return false; }
    wxWindow* window;
};

struct StubSource : HFileSource {
    wxWindow* GetWindow() const override { return nullptr; }
    wxBitmap CreateDragImage(wxPoint*) override { return wxNullBitmap; }
    bool CollectSelection(HNameList&) override { return false; }
    bool SendTo(HFileTarget*) override { return false; }
};

class PeerListTest : public testing::Test {
protected:
    void SetUp() override {
        frame = new wxFrame(nullptr, wxID_ANY, "peers");
        left = new wxPanel(frame);
        leftChild = new wxPanel(left);
        right = new wxPanel(frame);
    }
    void TearDown() override { delete frame; }
    wxFrame* frame = nullptr;
    wxPanel* left = nullptr;
    wxPanel* leftChild = nullptr;
    wxPanel* right = nullptr;
    StubSource source;
};

} // namespace

// Which peer a drop lands on; the drag tests drop on real panes.
TEST_F(PeerListTest, FindsThePeerOfAWindowOrOfAnyOfItsAncestors) {
    StubTarget noWindow(nullptr), a(left), b(right), inner(leftChild);
    EXPECT_FALSE(source.AddPeer(nullptr));
    EXPECT_FALSE(source.AddPeer(&noWindow));
    EXPECT_TRUE(source.GetPeers().empty()) << "a target without a window is refused";
    EXPECT_FALSE(source.AddPeer(&a)) << "a new peer was not present before";
    EXPECT_TRUE(source.AddPeer(&a)) << "adding again reports it was present";
    source.AddPeer(&b);
    EXPECT_EQ(source.GetPeers(), (std::vector<HFileTarget*>{&a, &b}));
    EXPECT_EQ(source.FindPeer(left), &a);
    EXPECT_EQ(source.FindPeer(leftChild), &a);
    EXPECT_EQ(source.FindPeer(right), &b);
    EXPECT_EQ(source.FindPeer(frame), nullptr);
    EXPECT_EQ(source.FindPeer(nullptr), nullptr);

    // Peers are tried in their order: the outer window's peer comes first.
    source.AddPeer(&inner);
    EXPECT_EQ(source.FindPeer(leftChild), &a);
    source.RemovePeer(&a);
    EXPECT_EQ(source.FindPeer(leftChild), &inner);
    EXPECT_EQ(source.FindPeer(left), nullptr);
    source.RemoveAllPeers();
    EXPECT_EQ(source.FindPeer(right), nullptr);
}
