#include "app/command_line.h"
#include "app/songdock_app.h"

#include <cstdio>

wxIMPLEMENT_APP_NO_MAIN(CSongdockApp);

int main(int argc, char** argv) {
    if (const int status = app::HandleCommandLine(argc, argv, stdout, stderr); status >= 0)
        return status;
    return wxEntry(argc, argv);
}
