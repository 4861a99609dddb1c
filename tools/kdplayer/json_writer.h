#pragma once
// A small JSON writer for kdplayer's --json output: objects and arrays
// written in order, compactly, one document per line.
#include <cstdint>
#include <string>
#include <vector>

namespace kdplayer {

class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    // The key of the next value inside an object.
    JsonWriter& Key(const std::string& key);
    JsonWriter& String(const std::string& text);
    JsonWriter& Number(int64_t value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();
    const std::string& Text() const { return out_; }

private:
    void Separate();

    std::string out_;
    std::vector<bool> first_; // per open container: no member written yet
    bool afterKey_ = false;
};

// text as a JSON string literal. PC names are bytes: valid UTF-8 goes
// through unchanged, and each byte of an invalid sequence becomes the
// character of the same number (U+0080 to U+00FF), so output is always
// valid. Player names come as text already, with their bytes beside them.
std::string JsonQuote(const std::string& text);

// Bytes as lower-case hexadecimal, two digits each: a player name exactly,
// whatever its code page makes of it.
std::string HexBytes(const std::string& bytes);

// Prints the document on standard output, one line, and notes that a
// document was printed.
void PrintJson(const JsonWriter& json);
bool JsonPrinted();

// The object of a failure: {"message": what was said (joined by "; "), or a
// text for the status when nothing was, "exit_code": status}.
void ErrorJson(JsonWriter& json, const std::vector<std::string>& messages, int status);

} // namespace kdplayer
