// The list browser: grouping, filtering, pills, balanced columns, rows and keyboard navigation.
#include "ui/list_browser.h"

#include "ui/draw.h"
#include "ui/imgui_compat.h"
#include "ui/interact.h"
#include "ui/placement.h"
#include "ui/popup.h"
#include "ui/text.h"
#include "ui/text_field.h"
#include "ui/theme.h"
#include "ui/ui_context.h"

#include <imgui.h>

#include <algorithm>
#include <numeric>

namespace tarn::ui {
namespace {

constexpr std::string_view kOther = "Other";
constexpr float kPadding = 10.0f;      // the popup's padding
constexpr float kSearchHeight = 24.0f;
constexpr float kGap = 8.0f;
constexpr float kPillHeight = 20.0f;
constexpr float kPillRowStep = 24.0f;
constexpr float kPillPad = 12.0f;
constexpr float kPillSpacing = 4.0f;
constexpr float kHeadingHeight = 24.0f;
constexpr float kRowHeight = 22.0f;
constexpr float kCategoryGap = 8.0f;
constexpr float kColumnGap = 12.0f;
constexpr float kMarkWidth = 10.0f;
constexpr float kRowInset = 8.0f;
constexpr uint32_t kAccent = 0xFF8DC63F;

bool contains(std::string_view haystackLower, std::string_view needleLower) {
    return haystackLower.find(needleLower) != std::string_view::npos;
}

// Draws the pills and returns the y just below the last row; a click selects a category.
float drawPills(ImDrawList* list, const std::vector<BrowserCategory>& categories, float left, float top,
                float width, BrowserState& state) {
    const float s = scale();
    const float right = left + width;
    float x = left;
    float y = top;
    for (size_t k = 0; k <= categories.size(); ++k) {
        const std::string_view name = k == 0 ? std::string_view("All") : categories[k - 1].name;
        const float w = measureText(name, 1).x + 2.0f * kPillPad * s;
        if (x > left && x + w > right) {
            x = left;
            y += kPillRowStep * s;
        }
        const Rect pill{x, y, w, kPillHeight * s};
        ImGui::PushID(static_cast<int>(k));
        const Interaction i = interact("pill", rectangleHotspot(pill));
        ImGui::PopID();
        if (i.clicked && i.hovered) {
            state.category = static_cast<int32_t>(k);
            state.highlight = -1;
        }
        const bool selected = state.category == static_cast<int32_t>(k);
        const float rounding = kPillHeight * 0.5f;
        fillRoundRect(list, pill, selected ? 0xFF3E5827 : i.hovered ? 0xFF2F4121 : 0xFF25371A, rounding);
        strokeRoundRect(list, pill, selected ? 0xFF5A8A1A : 0xFF2A3720, rounding, 1.0f);
        drawText(list, pill, name, 1, selected ? 0xFFF0EED8 : 0xFF8A8870, 1);
        x += w + kPillSpacing * s;
    }
    return y + kPillHeight * s;
}

}  // namespace

std::string asciiUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 'a' && b <= 'z') c = static_cast<char>(b - 'a' + 'A');
    }
    return out;
}

std::string asciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 'A' && b <= 'Z') c = static_cast<char>(b - 'A' + 'a');
    }
    return out;
}

std::vector<int> wrapRows(std::span<const float> sizes, float limit) {
    std::vector<int> starts{0};
    float acc = 0.0f;
    for (size_t i = 0; i < sizes.size(); ++i) {
        if (acc > 0.0f && acc + sizes[i] > limit) {
            starts.push_back(static_cast<int>(i));
            acc = 0.0f;
        }
        acc += sizes[i];
    }
    return starts;
}

std::vector<int> balanceRows(std::span<const float> sizes, int maxRows) {
    float lo = 0.0f;
    for (float size : sizes) lo = std::max(lo, size);
    float hi = std::accumulate(sizes.begin(), sizes.end(), 0.0f);
    for (int step = 0; step < 24; ++step) {
        const float mid = (lo + hi) * 0.5f;
        if (static_cast<int>(wrapRows(sizes, mid).size()) > maxRows) {
            lo = mid;
        } else {
            hi = mid;
        }
    }
    return wrapRows(sizes, hi);
}

std::vector<BrowserCategory> groupByCategory(std::span<const std::string> names,
                                             std::span<const std::string> categories) {
    std::vector<BrowserCategory> groups;
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string_view name =
            i < categories.size() && !categories[i].empty() ? std::string_view(categories[i]) : kOther;
        auto found = std::find_if(groups.begin(), groups.end(), [&](const BrowserCategory& c) { return c.name == name; });
        if (found == groups.end()) {
            groups.push_back(BrowserCategory{name, {}});
            found = groups.end() - 1;
        }
        found->entries.push_back(static_cast<int32_t>(i));
    }
    return groups;
}

std::optional<int> browser(const char* id, const Rect& anchor, std::span<const std::string> names,
                           std::span<const std::string> categories, int current, const BrowserStyle& style) {
    BrowserState& state = *widgetState<BrowserState>(ImGui::GetID(id));
    const float s = scale();
    if (!beginAnchoredPopup(id, anchor, ImVec2(style.width * s, 0.0f))) {
        state.justOpened = true;
        return std::nullopt;
    }
    ImGui::PushID(id);
    if (state.justOpened) {
        state.search.clear();
        state.category = 0;
        state.highlight = current;
    }

    const std::vector<BrowserCategory> groups = groupByCategory(names, categories);
    state.category = std::clamp(state.category, 0, static_cast<int32_t>(groups.size()));

    ImDrawList* list = ImGui::GetWindowDrawList();
    const ImVec2 origin = ImGui::GetCursorScreenPos();
    const float contentWidth = std::max(style.width * s - 2.0f * kPadding * s, 0.0f);
    float y = origin.y;
    if (style.showSearch) {
        if (state.justOpened) ImGui::SetKeyboardFocusHere();
        if (textField("search", Rect{origin.x, y, contentWidth, kSearchHeight * s}, state.search, "Search")) {
            state.highlight = -1;
        }
        y += kSearchHeight * s + kGap * s;
    }
    y = drawPills(list, groups, origin.x, y, contentWidth, state);
    const float lineY = y + kGap * s;
    list->AddLine(ImVec2(origin.x, lineY), ImVec2(origin.x + contentWidth, lineY), toImColor(0xFF2A3520), s);
    const float bodyTop = lineY + kGap * s;

    // Visible entries per category, in entry order; empty categories are dropped.
    const std::string needle = asciiLower(state.search);
    std::vector<BrowserCategory> shown;
    for (size_t k = 0; k < groups.size(); ++k) {
        if (state.category != 0 && state.category != static_cast<int32_t>(k + 1)) continue;
        BrowserCategory visible{groups[k].name, {}};
        for (int32_t entry : groups[k].entries) {
            const auto e = static_cast<size_t>(entry);
            const bool match = needle.empty() || contains(asciiLower(names[e]), needle) ||
                               (e < style.secondTexts.size() && contains(asciiLower(style.secondTexts[e]), needle));
            if (match) visible.entries.push_back(entry);
        }
        if (!visible.entries.empty()) shown.push_back(std::move(visible));
    }
    std::vector<int32_t> order;
    for (const BrowserCategory& c : shown) order.insert(order.end(), c.entries.begin(), c.entries.end());

    // Keyboard: a highlight that is not among the visible entries counts as none.
    std::optional<int> chosen;
    const auto at = std::find(order.begin(), order.end(), state.highlight);
    const bool highlighted = at != order.end();
    bool moved = false;
    if (!order.empty()) {
        if (compat::isKeyPressed(compat::Key::DownArrow)) {
            state.highlight = highlighted ? *std::min(at + 1, order.end() - 1) : order.front();
            moved = true;
        } else if (compat::isKeyPressed(compat::Key::UpArrow)) {
            state.highlight = highlighted ? *(at == order.begin() ? at : at - 1) : order.front();
            moved = true;
        }
        if (compat::isEnterPressed()) {
            const bool shownNow = std::find(order.begin(), order.end(), state.highlight) != order.end();
            chosen = shownNow ? state.highlight : order.front();
        }
    }

    // Categories balanced into columns by height.
    std::vector<float> heights;
    for (const BrowserCategory& c : shown)
        heights.push_back((kHeadingHeight + kRowHeight * static_cast<float>(c.entries.size()) + kCategoryGap) * s);
    std::vector<int> starts;
    float tallest = kRowHeight * s;
    if (!shown.empty()) {
        starts = balanceRows(heights, std::max(1, std::min(style.maxColumns, static_cast<int32_t>(shown.size()))));
        tallest = 0.0f;
        for (size_t c = 0; c < starts.size(); ++c) {
            const size_t end = c + 1 < starts.size() ? static_cast<size_t>(starts[c + 1]) : shown.size();
            tallest = std::max(tallest, std::accumulate(heights.begin() + starts[c], heights.begin() + static_cast<long>(end), 0.0f));
        }
    }
    const float bodyHeight = std::min(tallest, style.maxHeight * s);
    const ChildRegion body = beginScrollRegion("body", Rect{origin.x, bodyTop, contentWidth, bodyHeight}, tallest);
    if (body.open) {
        ImDrawList* bodyList = ImGui::GetWindowDrawList();
        const Rect& area = body.content;
        if (shown.empty()) {
            drawText(bodyList, Rect{area.x, area.y, area.w, kRowHeight * s}, "Nothing matches", 2, 0xFF8A8870, 0);
        }
        const auto columns = static_cast<float>(starts.size());
        const float columnWidth =
            columns > 0 ? std::max((area.w - (columns - 1.0f) * kColumnGap * s) / columns, 0.0f) : 0.0f;
        const ImVec2 viewTop = ImGui::GetWindowPos();
        const float viewHeight = ImGui::GetWindowHeight();
        for (size_t c = 0; c < starts.size(); ++c) {
            const float cx = area.x + static_cast<float>(c) * (columnWidth + kColumnGap * s);
            float cy = area.y;
            const size_t end = c + 1 < starts.size() ? static_cast<size_t>(starts[c + 1]) : shown.size();
            for (size_t k = static_cast<size_t>(starts[c]); k < end; ++k) {
                drawText(bodyList, Rect{cx + 4.0f * s, cy, std::max(columnWidth - 4.0f * s, 0.0f), kHeadingHeight * s},
                         asciiUpper(shown[k].name), 0, kAccent, 0);
                cy += kHeadingHeight * s;
                for (int32_t entry : shown[k].entries) {
                    const Rect row{cx, cy, columnWidth, kRowHeight * s};
                    ImGui::PushID(entry);
                    const Interaction i = interact("row", rectangleHotspot(row));
                    ImGui::PopID();
                    if (i.clicked && i.hovered) chosen = entry;
                    if (i.hovered || entry == state.highlight) fillRoundRect(bodyList, row, 0xFF2F4121, 4.0f);
                    const float inset = kRowInset * s;
                    const float mark = kMarkWidth * s;
                    const Rect text{row.x + inset + mark, row.y, std::max(row.w - 2.0f * inset - mark, 0.0f), row.h};
                    const bool isCurrent = entry == current;
                    if (isCurrent) fillCircle(bodyList, ImVec2(row.x + inset + mark * 0.5f, row.y + row.h * 0.5f), 3.0f * s, kAccent);
                    drawText(bodyList, text, names[static_cast<size_t>(entry)], 2, isCurrent ? kAccent : 0xFFF0EED8, 0);
                    // Keyboard moves bring the highlighted row into view.
                    if (moved && entry == state.highlight && (row.y < viewTop.y || row.y + row.h > viewTop.y + viewHeight)) {
                        ImGui::SetScrollFromPosY(row.y + row.h * 0.5f - viewTop.y, 0.5f);
                    }
                    cy += kRowHeight * s;
                }
                cy += kCategoryGap * s;
            }
        }
    }
    endScrollRegion(body);
    ImGui::SetCursorScreenPos(ImVec2(origin.x, bodyTop + bodyHeight));
    ImGui::Dummy(ImVec2(contentWidth, 0.0f));

    // Closing here also marks the next opening as fresh: a caller may reopen the popup in the very next
    // frame, before the browser could find it closed.
    const bool closing = chosen || compat::isKeyPressed(compat::Key::Escape, false);
    if (closing) ImGui::CloseCurrentPopup();
    state.justOpened = closing;
    ImGui::PopID();
    endAnchoredPopup();
    return chosen;
}

}  // namespace tarn::ui
