#pragma once
// kdplayer's messages, each in two forms: English, for what scripts read
// (the --json error document), and in the person's language (the kit's
// catalogue), for the terminal.
#include "base/resources/strings.h"

#include <concepts>
#include <initializer_list>
#include <string>

namespace kdplayer {

struct Message {
    std::string english;
    std::string shown;

    Message() = default;
    // A text that is the same in every language: a name, a path, a number.
    Message(std::string text) : english(text), shown(std::move(text)) {}
    Message(const char* text) : Message(std::string(text)) {}
    Message(std::string englishText, std::string shownText)
        : english(std::move(englishText)), shown(std::move(shownText)) {}

    bool empty() const { return english.empty(); }
};

Message operator+(const Message& a, const Message& b);

// An argument of a message: numbers as decimal digits.
inline const Message& MessageArgument(const Message& text) {
    return text;
}
template <std::integral Number>
requires(!std::same_as<Number, char> && !std::same_as<Number, bool>) Message
    MessageArgument(Number number) {
    return Message(std::to_string(number));
}

// The English format with its arguments in place, in both forms; the
// format is marked for the catalogue and translated. "%s" takes the next
// argument, "%N$s" the Nth (a translation may reorder them), "%%" is "%".
Message Fill(const char* format, std::initializer_list<Message> arguments);

template <typename... Arguments>
Message Formatted(const char* format, const Arguments&... arguments) {
    return Fill(format, {Message(MessageArgument(arguments))...});
}

// A numbered string of the string table in both forms.
Message TableText(int id);

} // namespace kdplayer
