// The list browser: a popup for choosing one entry of a long named list, with search, category pills,
// entries grouped by category in balanced columns, and keyboard navigation.
#pragma once

#include "ui/view.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarn::ui {

struct BrowserStyle {
    bool showSearch = true;
    // A second text per entry that the search also matches (a description); may be shorter than the list.
    std::span<const std::string> secondTexts;
    int32_t maxColumns = 3;
    float width = 620.0f;      // popup width, logical px
    float maxHeight = 480.0f;  // largest body height, logical px
};

// Kept per browser in the UI context's state store under the browser's id.
struct BrowserState {
    int32_t category = 0;  // 0 "All", k the k-th category
    std::string search;
    int32_t highlight = -1;  // entry index, -1 none
    bool justOpened = true;  // set while the popup is closed: the next opening starts afresh
};

struct BrowserCategory {
    std::string_view name;
    std::vector<int32_t> entries;
};

// The popup `id`, opened by the caller with openPopup, anchored on `anchor`. categories[i] names entry
// i's category; entries beyond the list or with an empty text go under "Other". `current` is marked
// (-1 none). Returns the chosen entry in the frame it is chosen.
std::optional<int> browser(const char* id, const Rect& anchor, std::span<const std::string> names,
                           std::span<const std::string> categories, int current, const BrowserStyle& style);

// The categories of the entries, in order of first appearance.
std::vector<BrowserCategory> groupByCategory(std::span<const std::string> names,
                                             std::span<const std::string> categories);

// Start indices of the rows when items of these sizes are laid out in rows of at most `limit` (an item
// larger than the limit stands alone). Empty input gives [0].
std::vector<int> wrapRows(std::span<const float> sizes, float limit);
// The wrap into at most maxRows rows whose longest row is shortest (to within 24 bisections).
std::vector<int> balanceRows(std::span<const float> sizes, int maxRows);

// ASCII a-z to capitals and back, byte by byte; other bytes (UTF-8 included) unchanged.
std::string asciiUpper(std::string_view text);
std::string asciiLower(std::string_view text);

}  // namespace tarn::ui
