#include "base/platform/gui/shell_info.h"
#include "base/resources/strings.h"

#include <gio/gio.h>
#include <gtk/gtk.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wx/image.h>

#include <algorithm>
#include <cctype>

namespace platform {

namespace {

constexpr const char* kFolderKey = "/folder";
constexpr const char* kExecutableKey = "/executable";

// Copies a pixbuf into a bitmap, keeping its alpha channel.
wxBitmap BitmapFromPixbuf(GdkPixbuf* pixbuf) {
    const int width = gdk_pixbuf_get_width(pixbuf);
    const int height = gdk_pixbuf_get_height(pixbuf);
    const int channels = gdk_pixbuf_get_n_channels(pixbuf);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    const bool alpha = gdk_pixbuf_get_has_alpha(pixbuf) && channels == 4;
    if (gdk_pixbuf_get_bits_per_sample(pixbuf) != 8 || channels < 3) return wxBitmap();
    const guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
    wxImage image(width, height, false);
    if (alpha) image.InitAlpha();
    for (int y = 0; y < height; ++y) {
        const guchar* row = pixels + static_cast<ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            const guchar* p = row + x * channels;
            image.SetRGB(x, y, p[0], p[1], p[2]);
            if (alpha) image.SetAlpha(x, y, p[3]);
        }
    }
    return wxBitmap(image);
}

// The theme's icon for the first name of a content type's icon that any
// theme has. GTK 3 would rather take a later, generic name from the user's
// theme than an earlier, specific one from the fallback theme (hicolor),
// where applications such as this kit install the icons of their kinds.
GtkIconInfo* LookupNameByName(GtkIconTheme* theme, GIcon* icon, int size) {
    if (!G_IS_THEMED_ICON(icon))
        return gtk_icon_theme_lookup_by_gicon(theme, icon, size, GTK_ICON_LOOKUP_FORCE_SIZE);
    for (const gchar* const* name = g_themed_icon_get_names(G_THEMED_ICON(icon)); *name; ++name)
        if (GtkIconInfo* info =
                gtk_icon_theme_lookup_icon(theme, *name, size, GTK_ICON_LOOKUP_FORCE_SIZE))
            return info;
    return nullptr;
}

// Loads an icon of the theme at the size, or an invalid bitmap.
wxBitmap LoadThemeIcon(GIcon* icon, const char* fallbackName, int size) {
    GtkIconTheme* theme = gtk_icon_theme_get_default();
    if (!theme) return wxBitmap();
    GtkIconInfo* info = icon ? LookupNameByName(theme, icon, size) : nullptr;
    if (!info)
        info = gtk_icon_theme_lookup_icon(theme, fallbackName, size, GTK_ICON_LOOKUP_FORCE_SIZE);
    if (!info) return wxBitmap();
    GError* error = nullptr;
    GdkPixbuf* pixbuf = gtk_icon_info_load_icon(info, &error);
    g_object_unref(info);
    if (!pixbuf) {
        if (error) g_error_free(error);
        return wxBitmap();
    }
    wxBitmap bitmap = BitmapFromPixbuf(pixbuf);
    g_object_unref(pixbuf);
    if (bitmap.IsOk() && (bitmap.GetWidth() != size || bitmap.GetHeight() != size))
        bitmap = wxBitmap(bitmap.ConvertToImage().Rescale(size, size, wxIMAGE_QUALITY_HIGH));
    return bitmap;
}

std::string LastName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

std::string ShellKindKey(const std::string& path, bool isDirectory) {
    if (isDirectory) return kFolderKey;
    const std::string name = LastName(path);
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == name.size()) {
        // Only a full path names a file here; a bare name (a file on the
        // player) is judged by its name alone.
        struct stat st {};
        if (!path.starts_with('/')) return "";
        if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 0111))
            return kExecutableKey;
        return "";
    }
    std::string ext = name.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

const GioShellInfo::Kind& GioShellInfo::Lookup(const std::string& path, bool isDirectory) {
    const std::string key = ShellKindKey(path, isDirectory);
    if (auto it = types_.find(key); it != types_.end()) return it->second;
    Kind kind;
    if (key == kFolderKey) {
        kind.contentType = "inode/directory";
    } else if (key == kExecutableKey) {
        kind.contentType = "application/x-executable";
    } else {
        const std::string sample = "file" + key;
        gchar* type = g_content_type_guess(sample.c_str(), nullptr, 0, nullptr);
        kind.contentType = type ? type : "application/octet-stream";
        g_free(type);
    }
    // Where the desktop knows no more than "unknown", the extension tells
    // more: the type is named after it ("QKA File").
    if (!g_content_type_is_unknown(kind.contentType.c_str())) {
        if (gchar* description = g_content_type_get_description(kind.contentType.c_str())) {
            kind.typeName = description;
            g_free(description);
        }
    }
    if (kind.typeName.empty()) kind.typeName = ExtensionTypeName(key);
    return types_.emplace(key, std::move(kind)).first->second;
}

std::string GioShellInfo::TypeName(const std::string& path, bool isDirectory) {
    return Lookup(path, isDirectory).typeName;
}

wxBitmap GioShellInfo::Icon(const std::string& path, bool isDirectory, int size) {
    const Kind& kind = Lookup(path, isDirectory);
    const auto key = std::make_pair(kind.contentType, size);
    if (auto it = icons_.find(key); it != icons_.end()) return it->second;
    GIcon* icon = g_content_type_get_icon(kind.contentType.c_str());
    const char* fallback = isDirectory ? "folder" : "text-x-generic";
    wxBitmap bitmap = LoadThemeIcon(icon, fallback, size);
    if (icon) g_object_unref(icon);
    icons_.emplace(key, bitmap);
    return bitmap;
}

std::unique_ptr<ShellInfo> NewSystemShellInfo() {
    return std::make_unique<GioShellInfo>();
}

} // namespace platform
