// The UI context's life (construction, atlas builds, style, destruction) and the UI scale.
#include "ui/ui_context.h"

#include "ui/popup.h"
#include "ui/theme.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace tarn::ui {

UiContext::UiContext(const UiResources& resources) : resources_(resources) {
    flashTimers.reserve(8);
    flashTimers.max_load_factor(1.0f);
    states.reserve(8);
    states.max_load_factor(1.0f);

    ImGuiContext* previous = ImGui::GetCurrentContext();
    imgui = ImGui::CreateContext(nullptr);
    ImGui::SetCurrentContext(imgui);
    try {
        ImGuiIO& io = ImGui::GetIO();
        io.UserData = this;
        io.IniFilename = nullptr;  // no settings file
        io.LogFilename = nullptr;  // no log file
        compat::installHooks(imgui, compat);
        installPopupHooks(imgui);
        themeImageHandles_ = loadThemeImages(compat, resources_.skinPng);
        rebuildAtlas();
        rebuildStyle();
    } catch (...) {
        // Members built so far are released by the compiler; the Dear ImGui context is ours to destroy.
        ImGui::DestroyContext(imgui);
        imgui = nullptr;
        ImGui::SetCurrentContext(previous);
        throw;
    }
    if (previous != nullptr) ImGui::SetCurrentContext(previous);
}

UiContext::~UiContext() {
    if (imgui == nullptr) return;
    ImGuiContext* previous = ImGui::GetCurrentContext();
    ImGui::DestroyContext(imgui);  // leaves no context current when it was the current one
    if (previous != nullptr && previous != imgui) ImGui::SetCurrentContext(previous);
}

UiContext& UiContext::current() {
    if (ImGui::GetCurrentContext() == nullptr || ImGui::GetIO().UserData == nullptr) {
        throw std::logic_error("tarn-ui: no UI context is current");
    }
    return *static_cast<UiContext*>(ImGui::GetIO().UserData);
}

void UiContext::rebuildAtlas() {
    ImFontAtlas* atlas = ImGui::GetIO().Fonts;
    atlas->Clear();
    compat.faces.clear();
    fonts = loadFonts(atlas, compat, displayScale, resources_);
    const compat::AtlasBuild build = compat::buildAtlas(atlas, compat);
    if (!build.built) throw std::runtime_error("tarn-ui: embedded font failed to load: the font atlas did not build");
    for (int handle : build.unplaced) {
        compat::AtlasImage& image = compat.images[static_cast<size_t>(handle)];
        if (handle == themeImageHandles_.skin || handle == themeImageHandles_.shadow) {
            throw std::runtime_error("tarn-ui: no room in the font atlas for the theme images");
        }
        // Every other image is a picture: refused for good, reported once.
        std::fprintf(stderr, "tarn-ui: no room in the atlas for a %d x %d PNG\n", image.width, image.height);
        image.refused = true;
        image.rgba = {};
    }
    themeImages.skin = compat.images[static_cast<size_t>(themeImageHandles_.skin)].rectId;
    themeImages.shadow = compat.images[static_cast<size_t>(themeImageHandles_.shadow)].rectId;
    // 1.92 sets text at FontSizeBase x FontScaleDpi when no font is pushed: regular at 12 px x scale.
    ImGui::GetIO().FontDefault = fonts[0];
    ++compat.atlasGeneration;
}

bool UiContext::refreshAtlas() {
    ContextScope scope(*this);
    if (!compat.atlasDirty || ImGui::GetIO().Fonts->Locked) return false;
    rebuildAtlas();
    return true;
}

void UiContext::rebuildStyle() {
    ContextScope scope(*this);
    ImGuiStyle& style = ImGui::GetStyle();
    style = ImGuiStyle();  // 1.86's defaults, dark colours included
    compat.extras = compat::StyleExtras();
    applyTheme(style, compat.extras);
    style.ScaleAllSizes(displayScale);
    compat.extras.fontScaleDpi = displayScale;
    compat.extras.fontSizeBase = 12.0f;
}

float UiContext::flashAmount(ImGuiID id, float duration) {
    auto found = flashTimers.find(id);
    if (found == flashTimers.end()) return 0.0f;
    const double elapsed = ImGui::GetTime() - found->second;
    if (elapsed >= 0.0 && elapsed < static_cast<double>(duration)) {
        const float k = 1.0f - static_cast<float>(elapsed) / duration;
        return k * k;
    }
    flashTimers.erase(found);
    return 0.0f;
}

ContextScope::ContextScope(const UiContext& ui) : previous_(ImGui::GetCurrentContext()) {
    ImGui::SetCurrentContext(ui.imgui);
}

ContextScope::~ContextScope() { ImGui::SetCurrentContext(previous_); }

void setDisplayScale(UiContext& ui, float scale) {
    if (!std::isfinite(scale) || scale <= 0.0f) {
        throw std::invalid_argument("tarn-ui: display scale must be positive");
    }
    ContextScope scope(ui);
    if (scale != ui.displayScale) {
        // Faces asked for at the old scale are not needed at the new one.
        ui.compat.extraSizes.clear();
        compat::forgetAskedGlyphs(ui.compat);
        ui.compat.atlasDirty = true;
    }
    ui.displayScale = scale;
    ui.rebuildStyle();
    // 1.86 aborts on an atlas build inside a frame: then the fonts follow before the next frame.
    ui.refreshAtlas();
}

float scale() {
    const UiContext& ui = UiContext::current();
    float s = ui.displayScale;
    for (float factor : ui.scaleStack) s *= factor;
    return s;
}

void pushScale(float factor) { UiContext::current().scaleStack.push_back(factor); }

void popScale() {
    std::vector<float>& stack = UiContext::current().scaleStack;
    if (!stack.empty()) stack.pop_back();
}

}  // namespace tarn::ui
