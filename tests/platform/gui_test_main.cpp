// Entry point of the window-side tests: a minimal wxApp around the tests.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

#include <cstdio>
#include <cstring>

namespace {

class TestApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

} // namespace

// Caches that the desktop libraries keep until the process ends are not
// leaks of ours; the leak checker of sanitizer builds skips them. Full
// stacks are needed to see through the libraries' frames.
extern "C" const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:libdbus-1.so\n"
           "leak:libatk-bridge-2.0.so\n"
           "leak:g_content_type_guess\n";
}

int main(int argc, char** argv) {
    // Listing the tests needs no display.
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        listing = listing || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    ::testing::InitGoogleTest(&argc, argv);
    if (listing) return RUN_ALL_TESTS();

    wxApp::SetInstance(new TestApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "cannot initialise the window toolkit (no display?)\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    const int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
