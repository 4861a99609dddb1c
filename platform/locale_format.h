#pragma once
// Number and date texts for the file list.
#include <cstdint>
#include <string>

namespace platform {

// The number with "," between groups of three digits ("1,465").
std::string FormatGroupedNumber(std::uint64_t value);

// A file time (seconds since 1970, UTC) as the user locale's short date, one
// blank and the time without seconds. The time is shown as stored, without
// conversion to local time. The locale comes from LC_ALL, LC_TIME or LANG.
std::string FormatFileTime(std::int64_t utcSeconds);

} // namespace platform
