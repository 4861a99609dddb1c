#include "views/desktop/share_listing.h"

#include <cerrno>

namespace desktop {

int ListShareFolder(const std::function<int()>& list, const std::function<int()>& connect) {
    const int error = list();
    if (error != EACCES) return error;
    const int connected = connect();
    if (connected == 0) return list();
    return connected == ENOTSUP ? error : connected;
}

} // namespace desktop
