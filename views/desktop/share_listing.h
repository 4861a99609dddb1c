#pragma once
// Listing a network share's folder, with the one question a share may need:
// the person's name and password for it.
#include <functional>

namespace desktop {

// Lists a share's folder with list(). When the share refuses access, asks
// connect() once (the system's connection dialog) and, once connected, lists
// again. Returns 0; ECANCELED when the person cancelled the dialog (nothing
// to report); else the errno value to report: the connection's own failure,
// or the listing's where the system has no dialog (connect() gives ENOTSUP).
int ListShareFolder(const std::function<int()>& list, const std::function<int()>& connect);

} // namespace desktop
