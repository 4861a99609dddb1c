// Number and date texts in the user's regional settings.
#include "base/platform/locale_format.h"

#include "base/platform/wide_text.h"

#include <windows.h>

namespace platform {

// The short date and the time without seconds, as Explorer shows them.
std::string FormatFileTime(std::int64_t utcSeconds) {
    // Seconds since 1970 as 100-nanosecond ticks since 1601.
    const ULONGLONG ticks = static_cast<ULONGLONG>(utcSeconds + 11644473600LL) * 10000000ULL;
    FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME universal{}, local{};
    if (utcSeconds < -11644473600LL || !FileTimeToSystemTime(&utc, &universal) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return "";
    wchar_t date[80] = {}, time[80] = {};
    if (!GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, date, 80,
                         nullptr) ||
        !GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, TIME_NOSECONDS, &local, nullptr, time, 80))
        return "";
    return Utf8Text(date) + " " + Utf8Text(time);
}

} // namespace platform
