#include "base/platform/locale_format.h"

#include <algorithm>

#include <clocale>
#include <ctime>
#include <langinfo.h>
#include <locale.h>

namespace platform {

namespace {

// The user's LC_TIME locale, made once from the environment without
// touching the process-wide locale.
locale_t UserTimeLocale() {
    static const locale_t locale = [] {
        locale_t l = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
        return l ? l : newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
    }();
    return locale;
}

} // namespace

std::string TimeFormatWithoutSeconds(const std::string& timeFormat, const std::string& amPmFormat) {
    std::string format = timeFormat;
    for (int round = 0; round < 3; ++round) {
        std::string expanded;
        bool changed = false;
        for (size_t i = 0; i < format.size(); ++i) {
            if (format[i] == '%' && i + 1 < format.size()) {
                const char c = format[i + 1];
                if (c == 'T') {
                    expanded += "%H:%M:%S";
                    ++i;
                    changed = true;
                    continue;
                }
                if (c == 'r') {
                    expanded += amPmFormat;
                    ++i;
                    changed = true;
                    continue;
                }
                if (c == 'X') {
                    expanded += timeFormat;
                    ++i;
                    changed = true;
                    continue;
                }
                expanded += format[i];
                expanded += c;
                ++i;
                continue;
            }
            expanded += format[i];
        }
        format = expanded;
        if (!changed) break;
    }
    std::string out;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size()) {
            const char c = format[i + 1];
            // Seconds, with the separator written just before them.
            if (c == 'S' || (c == 'E' && i + 2 < format.size() && format[i + 2] == 'S')) {
                // (An ASCII separator; a unit such as "分" belongs to the minutes.)
                while (!out.empty() && out.back() != 'M' && out.back() != ' ' &&
                       static_cast<unsigned char>(out.back()) < 0x80 &&
                       !(out.size() >= 2 && out[out.size() - 2] == '%'))
                    out.pop_back();
                i += c == 'S' ? 1 : 2;
                // A unit written after the seconds ("초", "秒") goes with them.
                while (i + 1 < format.size() && format[i + 1] != ' ' && format[i + 1] != '%')
                    ++i;
                while (!out.empty() && out.back() == ' ')
                    out.pop_back();
                continue;
            }
            out += format[i];
            out += c;
            ++i;
            continue;
        }
        out += format[i];
    }
    // Nothing usable left (an exotic locale): hours and minutes.
    if (out.find("%M") == std::string::npos && out.find("%OM") == std::string::npos) out = "%H:%M";
    return out;
}

std::string FormatFileTime(std::int64_t utcSeconds) {
    const std::time_t t = static_cast<std::time_t>(utcSeconds);
    std::tm tm{};
    // File times are stored in UTC; users read them in their own time zone.
    tzset();
    if (!localtime_r(&t, &tm)) return "";
    const locale_t locale = UserTimeLocale();
    const std::string date = nl_langinfo_l(D_FMT, locale);
    // A date written with words after its numbers ("2026년 12월 09일 08시
    // 17분") is too wide for a list's column: such locales get the numeric
    // form their file managers show.
    const bool words = std::any_of(date.begin(), date.end(),
                                   [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    const std::string format =
        words ? std::string("%Y-%m-%d %H:%M")
              : date + " " +
                    TimeFormatWithoutSeconds(nl_langinfo_l(T_FMT, locale),
                                             nl_langinfo_l(T_FMT_AMPM, locale));
    char buffer[128];
    const size_t n = strftime_l(buffer, sizeof buffer, format.c_str(), &tm, locale);
    return std::string(buffer, n);
}

} // namespace platform
