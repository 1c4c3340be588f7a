// The slug rule and the file-name part check shared by the preset save.
#include "storage/preset_names.h"

#include "engine/file_names.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace tarn {
namespace {

// The characters no file-name part of a preset may hold on any system a preset folder is shared with.
constexpr std::string_view kReserved = "/\\:*?\"<>|";

// Unicode's white space beyond the ASCII space and the controls, in UTF-8.
constexpr std::string_view kWideSpaces[] = {"\u00A0", "\u1680", "\u2000", "\u2001", "\u2002", "\u2003",
                                            "\u2004", "\u2005", "\u2006", "\u2007", "\u2008", "\u2009",
                                            "\u200A", "\u2028", "\u2029", "\u202F", "\u205F", "\u3000"};

}  // namespace

std::string withoutControlCharacters(const std::string& text) {
    std::string kept;
    kept.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7F) continue;
        // U+0080..U+009F: 0xC2 then 0x80..0x9F.
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
            ++i;
            continue;
        }
        kept.push_back(text[i]);
    }
    return kept;
}

bool isBlank(const std::string& text) {
    std::string_view rest = text;
    while (!rest.empty()) {
        if (rest.front() == ' ') {
            rest.remove_prefix(1);
            continue;
        }
        const auto space = std::find_if(std::begin(kWideSpaces), std::end(kWideSpaces),
                                        [&](std::string_view s) { return rest.starts_with(s); });
        if (space == std::end(kWideSpaces)) return false;
        rest.remove_prefix(space->size());
    }
    return true;
}

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

std::size_t presetIdRoom(std::size_t nameLimit) {
    constexpr std::size_t kExtensionAndTemporary = 9;  // ".json" ".tmp"
    return nameLimit > kExtensionAndTemporary ? nameLimit - kExtensionAndTemporary : 0;
}

std::string presetId(const std::string& name, std::size_t room, const PresetIdHolder& holderOf) {
    const std::string slug = presetSlug(name);
    // A cut id is at least room - 3 bytes long (a character is cut off whole, four bytes at the
    // most), so a shorter slug is never held by one and the folder need not be asked.
    const auto takenFromAnother = [&](const std::string& id, bool onlyByACutName) {
        if (onlyByACutName && id.size() + 3 < room) return false;
        const std::optional<std::string> holder = holderOf(id);
        return holder && *holder != name && (!onlyByACutName || presetSlug(*holder).size() > room);
    };
    if (slug.size() <= room && !takenFromAnother(slug, true)) return slug;
    for (unsigned n = 1;; ++n) {
        std::string suffix;
        if (n > 1) suffix.append("-").append(std::to_string(n));
        if (suffix.size() >= room) return cutAtCharacter(slug, room);
        std::string id = cutAtCharacter(slug, room - suffix.size()) + suffix;
        if (!takenFromAnother(id, false)) return id;
    }
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
