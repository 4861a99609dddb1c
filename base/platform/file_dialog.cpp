#include "base/platform/file_dialog.h"

#include "base/platform/modal_depth.h"

#include <cctype>
#include <sstream>
#include <vector>

namespace platform {

namespace {

std::optional<std::string> CancelAll(const FileDialogRequest&) {
    return std::nullopt;
}

FileDialogHandler& Handler() {
    static FileDialogHandler handler = CancelAll;
    return handler;
}

// "*.hex" -> "*.[hH][eE][xX]"; the file chooser matches case-sensitively.
std::string AnyCase(const std::string& pattern) {
    std::string out;
    for (char c : pattern) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalpha(u) && u < 0x80) {
            out += '[';
            out += static_cast<char>(std::tolower(u));
            out += static_cast<char>(std::toupper(u));
            out += ']';
        } else {
            out += c;
        }
    }
    return out;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator) parts.push_back("");
    return parts;
}

} // namespace

FileDialogHandler SetFileDialogHandler(FileDialogHandler handler) {
    FileDialogHandler old = Handler();
    Handler() = handler ? std::move(handler) : FileDialogHandler(CancelAll);
    return old;
}

std::optional<std::string> ShowOpenFileDialog(void* owner, const std::string& title,
                                              const std::string& filter,
                                              const std::string& initialPath, unsigned options) {
    const ModalScope open;
    const QuestionScope asking;
    return Handler()(FileDialogRequest{false, owner, title, filter, initialPath, options});
}

std::optional<std::string> ShowSaveFileDialog(void* owner, const std::string& title,
                                              const std::string& filter,
                                              const std::string& initialPath, unsigned options) {
    const ModalScope open;
    const QuestionScope asking;
    return Handler()(FileDialogRequest{true, owner, title, filter, initialPath, options});
}

std::string FilterToWildcard(const std::string& filter) {
    const std::vector<std::string> lines = Split(filter, '\n');
    std::string wildcard;
    for (size_t i = 0; i + 1 < lines.size(); i += 2) {
        const std::string& description = lines[i];
        const std::string& patterns = lines[i + 1];
        if (description.empty() || patterns.empty()) break; // the closing empty line
        std::string converted;
        for (const std::string& p : Split(patterns, ';')) {
            if (p.empty()) continue;
            std::vector<std::string> forms;
            if (p == "*.*" || p == "*")
                forms = {"*"};
            else if (const std::string any = AnyCase(p); any != p)
                forms = {p, any}; // the literal first: a save dialog takes its extension
            else
                forms = {p};
            for (const std::string& f : forms) {
                if (!converted.empty()) converted += ';';
                converted += f;
            }
        }
        if (!wildcard.empty()) wildcard += '|';
        wildcard += description + '|' + converted;
    }
    return wildcard;
}

} // namespace platform
