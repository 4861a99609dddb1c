#pragma once
// Number and date texts for the file list.
#include <cstdint>
#include <string>

namespace platform {

// The number with "," between groups of three digits ("1,465").
std::string FormatGroupedNumber(std::uint64_t value);

// A file time (seconds since 1970, UTC) as the user locale's short date, one
// blank and the time without seconds, in the local time zone (TZ). The
// locale comes from LC_ALL, LC_TIME or LANG.
std::string FormatFileTime(std::int64_t utcSeconds);

// A strftime time format without its seconds: the composite conversions
// %T, %r (amPmFormat) and %X (timeFormat itself) are expanded first, then
// each seconds conversion goes with the separator before it.
std::string TimeFormatWithoutSeconds(const std::string& timeFormat, const std::string& amPmFormat);

} // namespace platform
