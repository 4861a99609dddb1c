#include "lib/kd5200usb/errors.h"

#include "base/platform/error_text.h"
#include "lib/kd5200usb/catalogue.h"

#include <cerrno>

namespace kd5200 {

namespace {

const char* KnownMessage(int32_t code) {
    switch (code) {
    case KD5200_ERR_NONE:
        return KD5200_TEXT("No error");
    case KD5200_ERR_NOT_CONNECTED:
        return KD5200_TEXT("The player is not connected");
    case KD5200_ERR_DIRECTORY:
        return KD5200_TEXT("The player's directory cannot be read");
    case KD5200_ERR_FILE_NOT_FOUND:
        return KD5200_TEXT("The file does not exist");
    case KD5200_ERR_NO_MEMORY:
        return KD5200_TEXT("Out of memory");
    case KD5200_ERR_NO_CAPACITY:
        return KD5200_TEXT("The player's memory is not present");
    case KD5200_ERR_CANCELLED:
        return KD5200_TEXT("Stopped by the user");
    case KD5200_ERR_NOT_ATTACHED:
        return KD5200_TEXT("The player is unplugged");
    case KD5200_ERR_MEMORY_FULL:
        return KD5200_TEXT("Not enough free space in the player's memory");
    case KD5200_ERR_DIRECTORY_FULL:
        return KD5200_TEXT("The player's memory already holds 512 files");
    case KD5200_ERR_NO_ENTRY:
        return KD5200_TEXT("No such file on the player");
    case KD5200_ERR_BAD_NAME:
        return KD5200_TEXT("The file name is not valid on the player");
    case KD5200_ERR_NAME_EXISTS:
        return KD5200_TEXT("A file of that name is already on the player; delete or rename that file "
                           "first");
    case KD5200_ERR_FILE_READ:
        return KD5200_TEXT("The file cannot be read");
    case KD5200_ERR_FILE_WRITE:
        return KD5200_TEXT("The file cannot be written");
    case KD5200_ERR_TIMEOUT:
        return KD5200_TEXT("The player did not answer in time");
    case KD5200_ERR_BAD_IMAGE:
        return KD5200_TEXT("The image file is empty or not valid");
    case KD5200_ERR_NO_FONT:
        return KD5200_TEXT("The player holds no LCD font");
    case KD5200_ERR_RANGE:
        return KD5200_TEXT("The block range lies outside the player's memory");
    case KD5200_ERR_BAD_ARGUMENT:
        return KD5200_TEXT("Invalid argument");
    case KD5200_ERR_BAD_HANDLE:
        return KD5200_TEXT("Invalid device handle");
    case KD5200_ERR_CONVERSION:
        return KD5200_TEXT("The voice recording cannot be converted");
    case KD5200_ERR_STORAGE:
        return KD5200_TEXT("The player's storage failed");
    case KD5200_ERR_BUSY:
        return KD5200_TEXT("The player is busy with another program");
    case KD5200_ERR_FILE_TOO_LARGE:
        return KD5200_TEXT("The file is too large for the player");
    case KD5200_ERR_IMAGE_TOO_LARGE:
        return KD5200_TEXT("The image is larger than the player's code memory (16 MiB)");
    case KD5200_ERR_OUTPUT_IN_PLAYER:
        return KD5200_TEXT("The file lies inside the player's own storage");
    case KD5200_ERR_REPLUGGED:
        return KD5200_TEXT("The player was unplugged since it was opened");
    case KD5200_ERR_NOT_REGULAR:
        return KD5200_TEXT("The file is not a regular file");
    default:
        return nullptr;
    }
}

// The message, followed by the system's text unless that says the same
// ("The file does not exist: No such file or directory" says it twice).
std::string WithSystemText(std::string message, int32_t code, int32_t systemError) {
    if (systemError == 0 || (code == KD5200_ERR_FILE_NOT_FOUND && systemError == ENOENT))
        return message;
    const std::string text = platform::SystemErrorText(systemError);
    return message + ": " + (text.empty() ? Translated(KD5200_TEXT("system error")) + std::string(" ") +
                                                   std::to_string(systemError) : text);
}

} // namespace

const char* ErrorMessage(int32_t code) {
    const char* message = KnownMessage(code);
    return Translated(message ? message : KD5200_TEXT("Unknown error"));
}

std::string ErrorText(int32_t code, int32_t systemError) {
    return WithSystemText(ErrorMessage(code), code, systemError);
}

std::string ErrorLine(int32_t code, int32_t systemError, const std::string& subject) {
    const char* message = KnownMessage(code);
    std::string line = "KD5200: ";
    if (!subject.empty()) line += subject + ": ";
    line += WithSystemText(message ? std::string(Translated(message))
                                   : Translated(KD5200_TEXT("Unknown error")) + std::string(" ") +
                                         std::to_string(code),
                           code, systemError);
    return line;
}

} // namespace kd5200
