// The slug rule and the file-name part check shared by the preset save.
#include "storage/preset_names.h"

#include <string_view>

namespace tarn {
namespace {

// The characters no file-name part of a preset may hold on any system a preset folder is shared with.
constexpr std::string_view kReserved = "/\\:*?\"<>|";

}  // namespace

std::string presetSlug(const std::string& text) {
    std::string slug;
    slug.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || c == ' ' || kReserved.find(c) != std::string_view::npos) {
            slug.push_back('-');
        } else if (c >= 'A' && c <= 'Z') {
            slug.push_back(static_cast<char>(c - 'A' + 'a'));
        } else {
            slug.push_back(c);
        }
    }
    return slug;
}

bool canNameFile(const std::string& text) {
    if (text.empty() || text == "." || text == "..") return false;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || kReserved.find(c) != std::string_view::npos) return false;
    }
    return true;
}

bool checkFileNamePart(IssueList& issues, const std::string& pointer, const std::string& what,
                       const std::string& text) {
    if (canNameFile(text)) return false;
    addError(issues, "preset-unsaveable", pointer, "The " + what + " \"" + text + "\" cannot name a file");
    return true;
}

}  // namespace tarn
