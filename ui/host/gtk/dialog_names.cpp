// File names and patterns as the file dialog offers and completes them.
#include "ui/host/gtk/dialog_names.h"

#include <cctype>

namespace tarn::ui {

std::string caseInsensitiveGlob(std::string_view extension) {
    std::string glob = "*.";
    for (const char c : extension) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (std::isalpha(u)) {
            glob += '[';
            glob += static_cast<char>(std::tolower(u));
            glob += static_cast<char>(std::toupper(u));
            glob += ']';
        } else {
            glob += c;
        }
    }
    return glob;
}

std::string withDefaultExtension(const std::string& path, const FileDialogOptions& options) {
    if (options.kind != FileDialogKind::Save || options.filters.empty()) return path;
    const std::vector<std::string>& extensions = options.filters.front().extensions;
    if (extensions.empty() || extensions.front().empty()) return path;
    const size_t nameStart = path.find_last_of('/') + 1;  // 0 when there is no slash
    const size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && dot > nameStart) return path;
    return path + "." + extensions.front();
}

}  // namespace tarn::ui
