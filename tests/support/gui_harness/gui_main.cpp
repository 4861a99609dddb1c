// main() of every window test: starts wxWidgets with a real application
// object on the X display, turns toolkit assertions into test failures and
// runs the tests on the GUI thread.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/apptrait.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/utils.h>

#include "base/platform/file_lock.h"

namespace {

class TestApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_str(), line) << "wxWidgets assertion in " << func.utf8_string() << ": "
                                          << cond.utf8_string() << " " << msg.utf8_string();
}

// The tests of one display share its pointer and keyboard focus, so test
// programs on the same display run one at a time.
std::string DisplayLockPath() {
    std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "none";
    for (char& c : display)
        if (c == '/' || c == ':') c = '_';
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/songdock-gui-tests" + display + ".lock";
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests needs no display.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    platform::FileLock displayLock(DisplayLockPath());
    // Files the tests delete go to a trash of their own, never the user's.
    const std::filesystem::path data =
        std::filesystem::temp_directory_path() / ("sd-test-data-" + std::to_string(::getpid()));
    std::filesystem::create_directories(data);
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    delete wxLog::SetActiveTarget(new wxLogStderr);
    // Connecting to a busy virtual display now and then fails; try again.
    bool started = false;
    for (int attempt = 0; attempt < 5 && !started; ++attempt) {
        if (attempt > 0) wxMilliSleep(300);
        wxApp::SetInstance(new TestApp);
        started = wxEntryStart(argc, argv);
    }
    if (!started) {
        std::fprintf(stderr, "cannot start wxWidgets (is there an X display?)\n");
        return 2;
    }
    if (!wxTheApp->CallOnInit()) {
        wxEntryCleanup();
        return 2;
    }
    wxSetAssertHandler(FailOnAssert);
    // Tests pump events themselves; an active loop lets them do so.
    int result;
    {
        wxEventLoopBase* loop = wxTheApp->GetTraits()->CreateEventLoop();
        wxEventLoopBase::SetActive(loop);
        result = RUN_ALL_TESTS();
        wxEventLoopBase::SetActive(nullptr);
        delete loop;
    }
    wxTheApp->OnExit();
    wxEntryCleanup();
    std::error_code ignored;
    std::filesystem::remove_all(data, ignored);
    return result;
}
