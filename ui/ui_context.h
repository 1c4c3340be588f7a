// The UI context: one Dear ImGui context with the fonts, theme images, display scale, scale stack and
// everything else the toolkit keeps between frames; every toolkit function finds it as the current one.
#pragma once

#include "ui/drop_state.h"
#include "ui/file_dialog.h"
#include "ui/fonts.h"
#include "ui/imgui_compat.h"
#include "ui/theme_images.h"

#include <imgui.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <typeinfo>
#include <unordered_map>
#include <vector>

namespace tarn::ui {

// 64-bit FNV-1a over a 32-bit key's four bytes, least significant first.
struct Fnv1aKeyHash {
    size_t operator()(uint32_t key) const noexcept {
        uint64_t h = 0xcbf29ce484222325ull;
        for (int i = 0; i < 4; ++i) {
            h ^= (key >> (8 * i)) & 0xFFu;
            h *= 0x100000001b3ull;
        }
        return static_cast<size_t>(h);
    }
};

// A four-character tag read as a big-endian number: stateTag("PICT") == 0x50494354.
constexpr uint32_t stateTag(const char (&tag)[5]) {
    return (static_cast<uint32_t>(static_cast<unsigned char>(tag[0])) << 24) |
           (static_cast<uint32_t>(static_cast<unsigned char>(tag[1])) << 16) |
           (static_cast<uint32_t>(static_cast<unsigned char>(tag[2])) << 8) |
           static_cast<uint32_t>(static_cast<unsigned char>(tag[3]));
}

// One feature's state object and the type it was stored as.
struct TypedState {
    const std::type_info* type = nullptr;
    std::shared_ptr<void> object;
};

using StateStore = std::unordered_map<uint32_t, TypedState, Fnv1aKeyHash>;
using FlashTimers = std::unordered_map<ImGuiID, double, Fnv1aKeyHash>;

// The number entry popup's state (one entry open at a time).
struct NumberEntryState {
    ImGuiID id = 0;  // the parameter being entered, 0 none
    ImVec2 position{0.0f, 0.0f};
    std::array<char, 64> text{};
    uint32_t frames = 0;
};

class UiContext {
public:
    // Creates and sets up its own Dear ImGui context, leaving the previously current one current
    // (the new one when there was none). Throws on a font or theme image that cannot be loaded; then no
    // Dear ImGui context is left behind and the previous one is current again.
    UiContext() : UiContext(embeddedResources()) {}
    // Built from other font and skin data (the data must outlive the context).
    explicit UiContext(const UiResources& resources);
    ~UiContext();
    UiContext(const UiContext&) = delete;
    UiContext& operator=(const UiContext&) = delete;

    // The context whose Dear ImGui context is current. Throws std::logic_error when no Dear ImGui context
    // is current or the current one belongs to no UI context.
    static UiContext& current();

    // Replaces the style with the defaults, applies the theme and scales it by the display scale.
    void rebuildStyle();

    // Between frames: rebuilds the font atlas when something asked for it (a display scale change made
    // inside a frame, a new picture, a font size larger than every baked face). Returns true when it
    // rebuilt; the host then uploads the texture again (see atlasGeneration).
    bool refreshAtlas();
    // Counts atlas builds; a host re-uploads the font texture whenever this changes.
    uint64_t atlasGeneration() const { return compat.atlasGeneration; }

    // How strongly a flash started for `id` shows now: (1 - elapsed / duration)^2 while running, else 0
    // (and the finished entry is removed).
    float flashAmount(ImGuiID id, float duration);

    ImGuiContext* imgui = nullptr;
    Fonts fonts;
    ThemeImageIds themeImages;  // custom rectangles of the latest atlas build
    float displayScale = 1.0f;
    std::vector<float> scaleStack;
    NumberEntryState numberEntry;
    DropState drop;
    std::optional<FileDialogRequest> pendingDialog;
    bool dialogRunning = false;
    std::map<ImGuiID, FileDialogResult> dialogResults;
    // Opens a path or address with the system's default handler; set by the window host, empty
    // offscreen. The toolkit reaches it only through openWithSystem.
    std::function<bool(const std::string&)> systemOpener;
    // Queued by drawLightGlow around the glow; the host's hook switches the renderer to additive blending.
    ImDrawCallback lightHook = nullptr;
    FlashTimers flashTimers;
    StateStore states;
    // The 1.86 layer's own state: baked faces, atlas images, hover timing.
    compat::CompatState compat;

private:
    void rebuildAtlas();
    UiResources resources_;
    ThemeImageIds themeImageHandles_;
};

// Makes a UI context's Dear ImGui context current for the scope's life, then restores the previous one
// (also when an exception leaves the scope).
class ContextScope {
public:
    explicit ContextScope(const UiContext& ui);
    ~ContextScope();
    ContextScope(const ContextScope&) = delete;
    ContextScope& operator=(const ContextScope&) = delete;

private:
    ImGuiContext* previous_;
};

// Sets the display scale (finite and > 0, else std::invalid_argument
// "tarn-ui: display scale must be positive" and nothing changes) and rebuilds the style; the fonts are
// baked again at the new scale now, or before the next frame when called inside one.
void setDisplayScale(UiContext& ui, float scale);

// The current UI scale: the display scale times every pushed factor.
float scale();
void pushScale(float factor);
// Removes the last pushed factor; popping an empty stack is a caller error and is ignored.
void popScale();

// The state object of type T stored under `key` in the current context, made (value-initialised) when
// absent or when another type is stored there, which is then released.
template <class T>
std::shared_ptr<T> contextState(uint32_t key) {
    StateStore& store = UiContext::current().states;
    auto found = store.find(key);
    if (found != store.end() && found->second.type != nullptr && *found->second.type == typeid(T)) {
        return std::static_pointer_cast<T>(found->second.object);
    }
    auto object = std::make_shared<T>();
    store[key] = TypedState{&typeid(T), object};
    return object;
}

// contextState keyed by a widget's ImGui id.
template <class T>
std::shared_ptr<T> widgetState(ImGuiID id) {
    return contextState<T>(id);
}

}  // namespace tarn::ui
