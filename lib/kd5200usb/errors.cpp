#include "lib/kd5200usb/errors.h"

#include "base/platform/error_text.h"

#include <cerrno>

namespace kd5200 {

namespace {

const char* KnownMessage(int32_t code) {
    switch (code) {
    case KD5200_ERR_NONE:
        return "No error";
    case KD5200_ERR_NOT_CONNECTED:
        return "The player is not connected";
    case KD5200_ERR_DIRECTORY:
        return "The player's directory cannot be read";
    case KD5200_ERR_FILE_NOT_FOUND:
        return "The file does not exist";
    case KD5200_ERR_NO_MEMORY:
        return "Out of memory";
    case KD5200_ERR_NO_CAPACITY:
        return "The player's memory is not present";
    case KD5200_ERR_CANCELLED:
        return "Stopped by the user";
    case KD5200_ERR_NOT_ATTACHED:
        return "The player is unplugged";
    case KD5200_ERR_MEMORY_FULL:
        return "Not enough free space in the player's memory";
    case KD5200_ERR_DIRECTORY_FULL:
        return "The player's memory already holds 512 files";
    case KD5200_ERR_NO_ENTRY:
        return "No such file on the player";
    case KD5200_ERR_BAD_NAME:
        return "The file name is not valid on the player";
    case KD5200_ERR_NAME_EXISTS:
        return "A file of that name is already on the player";
    case KD5200_ERR_FILE_READ:
        return "The file cannot be read";
    case KD5200_ERR_FILE_WRITE:
        return "The file cannot be written";
    case KD5200_ERR_TIMEOUT:
        return "The player did not answer in time";
    case KD5200_ERR_BAD_IMAGE:
        return "The image file is empty or not valid";
    case KD5200_ERR_NO_FONT:
        return "The player holds no LCD font";
    case KD5200_ERR_RANGE:
        return "The block range lies outside the player's memory";
    case KD5200_ERR_BAD_ARGUMENT:
        return "Invalid argument";
    case KD5200_ERR_BAD_HANDLE:
        return "Invalid device handle";
    case KD5200_ERR_CONVERSION:
        return "The voice recording cannot be converted";
    case KD5200_ERR_STORAGE:
        return "The player's storage failed";
    case KD5200_ERR_BUSY:
        return "The player is busy with another program";
    case KD5200_ERR_FILE_TOO_LARGE:
        return "The file is too large for the player";
    case KD5200_ERR_IMAGE_TOO_LARGE:
        return "The image is larger than the player's code memory (16 MiB)";
    case KD5200_ERR_OUTPUT_IN_PLAYER:
        return "The file lies inside the player's own storage";
    case KD5200_ERR_REPLUGGED:
        return "The player was unplugged since it was opened";
    case KD5200_ERR_NOT_REGULAR:
        return "The file is not a regular file";
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
    return message + ": " + (text.empty() ? "system error " + std::to_string(systemError) : text);
}

} // namespace

const char* ErrorMessage(int32_t code) {
    const char* message = KnownMessage(code);
    return message ? message : "Unknown error";
}

std::string ErrorText(int32_t code, int32_t systemError) {
    return WithSystemText(ErrorMessage(code), code, systemError);
}

std::string ErrorLine(int32_t code, int32_t systemError, const std::string& subject) {
    const char* message = KnownMessage(code);
    std::string line = "KD5200: ";
    if (!subject.empty()) line += subject + ": ";
    line += WithSystemText(message ? message : "Unknown error " + std::to_string(code), code,
                           systemError);
    return line;
}

} // namespace kd5200
