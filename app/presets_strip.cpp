// The presets strip: the current preset as the header's document, stepping, browsing, loading and
// saving user presets through a small name-and-category popup.
#include "app/editor.h"

#include "ui/button.h"
#include "ui/imgui_compat.h"
#include "ui/list_browser.h"
#include "ui/picker.h"
#include "ui/popup.h"
#include "ui/text_field.h"
#include "ui/ui_context.h"

#include <imgui.h>

#include <array>

namespace tarn {
namespace {

const std::vector<std::string>& presetCategories() {
    static const std::vector<std::string> categories = {"Sub", "Reese", "Pluck", "Acid", "Growl", "Other"};
    return categories;
}

// The header's document actions, as the header numbers them.
enum : std::uint32_t { kNew = 0, kSave = 1, kSaveAs = 2, kPrevious = 5, kNext = 6, kBrowse = 7 };

}  // namespace

void Editor::initPresetsStrip(std::uint32_t action) {
    const std::size_t count = presets.entries.size();
    if (count == 0) return;
    const PresetEntry* current = currentPreset();
    const bool factory = current == nullptr || current->factory;
    switch (action) {
        case kNew:
            loadPreset(presets.find("Init").value_or(0));
            break;
        case kSave:
            if (!factory)
                savePreset(current->name, current->category);
            else
                openSavePopup("");
            break;
        case kSaveAs:
            openSavePopup(factory ? std::string() : current->name);
            break;
        case kPrevious:
            loadPreset((presetIndex % count + count - 1) % count);
            break;
        case kNext:
            loadPreset((presetIndex + 1) % count);
            break;
        case kBrowse: {
            const std::string name = current != nullptr ? current->name : std::string();
            presets.rescan();
            presetIndex = presets.find(name).value_or(0);
            ui::openPopup("presets");
            break;
        }
        default:
            break;
    }
}

void Editor::openSavePopup(const std::string& name) {
    presetName = name;
    presetCategory = 0;
    if (const PresetEntry* current = currentPreset()) {
        const std::vector<std::string>& categories = presetCategories();
        for (std::size_t i = 0; i < categories.size(); ++i) {
            if (categories[i] == current->category) presetCategory = static_cast<std::uint32_t>(i);
        }
    }
    ui::openPopup("savePreset");
}

void Editor::loadPreset(std::uint64_t index) {
    std::optional<Patch> loaded;
    std::string message;
    presets.load(index, loaded, message);
    if (!loaded) {
        status = message;
        statusKind = 2;
        return;
    }
    patch = *loaded;
    baselinePatch = *loaded;
    presetIndex = index;
    status = "Loaded " + presets.entries[index].name;
    statusKind = 0;
}

void Editor::savePreset(const std::string& name, const std::string& category) {
    const Patch saved = patch;
    std::string message;
    const std::optional<std::size_t> index = presets.save(name, category, saved, message);
    if (!index) {
        status = message;
        statusKind = 2;
        return;
    }
    presetIndex = *index;
    baselinePatch = saved;
    // The name as saved: the store leaves out control characters the name may have had.
    status = "Saved " + presets.entries[*index].name;
    statusKind = 0;
}

void Editor::drawPresets(ui::Rect documentArea) {
    std::vector<std::string> names;
    std::vector<std::string> categories;
    names.reserve(presets.entries.size());
    categories.reserve(presets.entries.size());
    for (const PresetEntry& entry : presets.entries) {
        names.push_back(entry.name);
        categories.push_back(entry.category);
    }
    ui::BrowserStyle browserStyle;
    browserStyle.maxColumns = 3;
    browserStyle.width = 620.0f;
    browserStyle.maxHeight = 480.0f;
    if (const std::optional<int> chosen =
            ui::browser("presets", documentArea, names, categories, static_cast<int>(presetIndex), browserStyle)) {
        loadPreset(static_cast<std::uint64_t>(*chosen));
    }

    const float s = ui::scale();
    if (!ui::beginAnchoredPopup("savePreset", documentArea, ImVec2(300.0f * s, 0.0f))) return;
    const float w = 280.0f * s;
    const float row = 24.0f * s;
    const float gap = 8.0f * s;
    const ImVec2 at = ImGui::GetCursorScreenPos();
    // The name is what the popup asks for: typing goes there from the moment it opens.
    if (ImGui::IsWindowAppearing()) ui::focusTextField("presetName");
    ui::textField("presetName", ui::Rect{at.x, at.y, w, row}, presetName, "Name");
    // Enter saves whether the name field has the keyboard (it lets go of it on Enter) or the user
    // has just picked a category; not while the category list is open over the popup.
    const bool enterHere = ui::compat::isEnterPressed() && ImGui::IsWindowFocused();
    const bool entered = enterHere && (ImGui::IsItemDeactivated() || !ImGui::IsAnyItemActive());

    const std::vector<std::string>& allCategories = presetCategories();
    int category = static_cast<int>(presetCategory);
    ui::PickerStyle pickerStyle;
    pickerStyle.placeholder = "Choose...";
    pickerStyle.emptyText = "Nothing to choose";
    const float secondRow = at.y + row + gap;
    if (ui::picker("presetCategory", ui::Rect{at.x, secondRow, 0.6f * w, row}, allCategories, &category, pickerStyle))
        presetCategory = static_cast<std::uint32_t>(category);

    ui::ButtonStyle saveStyle;
    saveStyle.kind = ui::ButtonKind::accent;
    const bool pressed =
        ui::button("presetSave", ui::Rect{at.x + 0.65f * w, secondRow, 0.35f * w, row}, "Save", saveStyle);
    if (pressed || entered) {
        const std::size_t chosen = presetCategory < allCategories.size() ? presetCategory : 0;
        savePreset(presetName, allCategories[chosen]);
        ImGui::CloseCurrentPopup();
    }
    ImGui::SetCursorScreenPos(at);
    ImGui::Dummy(ImVec2(w, 2.0f * row + gap));
    ui::endAnchoredPopup();
}

}  // namespace tarn
