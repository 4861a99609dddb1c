#pragma once
// The checks of the Wine test programs: each failure is printed and counted,
// and the program's exit status says whether any failed.

#include <cstdio>
#include <string>

namespace wine_check {

inline int failures = 0;

inline void Check(bool ok, const std::string& what) {
    if (!ok) {
        std::fprintf(stderr, "FAILED: %s\n", what.c_str());
        ++failures;
    }
}

inline int Status() {
    return failures == 0 ? 0 : 1;
}

} // namespace wine_check
