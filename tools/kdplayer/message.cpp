#include "tools/kdplayer/message.h"

#include <cstdlib>
#include <vector>

namespace kdplayer {

namespace {

std::string Substituted(const char* format, const std::vector<const std::string*>& arguments) {
    std::string out;
    size_t next = 0;
    for (const char* c = format; *c; ++c) {
        if (*c != '%') {
            out += *c;
            continue;
        }
        if (c[1] == '%') {
            out += '%';
            ++c;
            continue;
        }
        size_t index = next;
        const char* spec = c + 1;
        char* end = nullptr;
        const long position = std::strtol(spec, &end, 10);
        if (end != spec && *end == '$' && position > 0) {
            index = static_cast<size_t>(position - 1);
            spec = end + 1;
        } else {
            ++next;
        }
        if (*spec != 's' || index >= arguments.size()) {
            out += *c; // not a directive of ours: kept as written
            continue;
        }
        out += *arguments[index];
        c = spec;
    }
    return out;
}

} // namespace

Message operator+(const Message& a, const Message& b) {
    return {a.english + b.english, a.shown + b.shown};
}

Message Fill(const char* format, std::initializer_list<Message> arguments) {
    std::vector<const std::string*> english, shown;
    for (const Message& argument : arguments) {
        english.push_back(&argument.english);
        shown.push_back(&argument.shown);
    }
    return {Substituted(format, english), Substituted(strings::Tr(format), shown)};
}

Message TableText(int id) {
    return {strings::English(id), strings::Text(id)};
}

} // namespace kdplayer
