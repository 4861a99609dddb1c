#include "base/platform/trash.h"

#include <gio/gio.h>

#include <cerrno>
#include <memory>

namespace platform {

namespace {

struct UnrefObject {
    void operator()(void* object) const { g_object_unref(object); }
};
template <class T> using GPtr = std::unique_ptr<T, UnrefObject>;

GPtr<GFile> FileAt(const std::string& path) {
    return GPtr<GFile>(g_file_new_for_path(path.c_str()));
}

int ErrnoOf(const GError* error) {
    if (!error || error->domain != G_IO_ERROR) return EIO;
    switch (error->code) {
    case G_IO_ERROR_NOT_FOUND:
        return ENOENT;
    case G_IO_ERROR_PERMISSION_DENIED:
        return EACCES;
    case G_IO_ERROR_IS_DIRECTORY:
        return EISDIR;
    case G_IO_ERROR_NOT_DIRECTORY:
        return ENOTDIR;
    case G_IO_ERROR_NO_SPACE:
        return ENOSPC;
    case G_IO_ERROR_READ_ONLY:
        return EROFS;
    case G_IO_ERROR_BUSY:
        return EBUSY;
    case G_IO_ERROR_NOT_SUPPORTED:
        return ENOTSUP;
    default:
        return EIO;
    }
}

} // namespace

bool CanMoveToTrash(const std::string& path) {
    const GPtr<GFile> file = FileAt(path);
    GPtr<GFileInfo> info(g_file_query_info(file.get(), G_FILE_ATTRIBUTE_ACCESS_CAN_TRASH,
                                           G_FILE_QUERY_INFO_NOFOLLOW_SYMLINKS, nullptr, nullptr));
    return info && g_file_info_get_attribute_boolean(info.get(), G_FILE_ATTRIBUTE_ACCESS_CAN_TRASH);
}

int MoveToTrash(const std::string& path) {
    const GPtr<GFile> file = FileAt(path);
    GError* error = nullptr;
    if (g_file_trash(file.get(), nullptr, &error)) return 0;
    const int code = ErrnoOf(error);
    g_error_free(error);
    return code;
}

} // namespace platform
