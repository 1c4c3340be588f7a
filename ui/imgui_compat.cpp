// Dear ImGui 1.86 underneath the 1.92 behaviour the toolkit expects: baked font faces, atlas images,
// emulated hover delays and draw callbacks.
#include "ui/imgui_compat.h"

#include "ui/ui_context.h"

#include <imgui_internal.h>
#include <stb_truetype.h>

#include <algorithm>
#include <cmath>
#include <cfloat>
#include <cstdio>
#include <cstring>

namespace tarn::ui::compat {

namespace {

// Faces baked on demand above the role sizes are few and of bounded size (a 128 px face of the
// baked ranges already takes several megabytes of atlas), so a large or animated scale cannot grow the
// atlas without end; past these limits the largest face is scaled up instead.
constexpr size_t maxExtraSizes = 4;
constexpr float maxBakedPixels = 128.0f;

// 1.92's per-frame hover update (its NewFrame), run right after 1.86's NewFrame.
void updateHover(ImGuiContext* context, ImGuiContextHook* hook) {
    auto& state = *static_cast<CompatState*>(hook->UserData);
    HoverState& h = state.hover;
    const ImGuiIO& io = context->IO;
    const float dt = io.DeltaTime;
    constexpr float stationaryThresholdPx = 2.0f;
    const bool stationary = ImLengthSqr(io.MouseDelta) <= stationaryThresholdPx * stationaryThresholdPx;
    h.mouseStationaryTimer = stationary ? h.mouseStationaryTimer + dt : 0.0f;

    // Once the mouse has rested on an item it stays unlocked there while it moves over that item.
    if (h.delayId != 0 && h.mouseStationaryTimer >= state.extras.hoverStationaryDelay) {
        h.unlockedStationaryId = h.delayId;
    } else if (h.delayId == 0) {
        h.unlockedStationaryId = 0;
    }

    h.delayIdPreviousFrame = h.delayId;
    if (h.delayId != 0) {
        h.delayTimer += dt;
        h.delayClearTimer = 0.0f;
        h.delayId = 0;
    } else if (h.delayTimer > 0.0f) {
        // A short grace period lets the pointer cross the gap between two items without losing the delay.
        h.delayClearTimer += dt;
        if (h.delayClearTimer >= std::max(0.25f, dt * 2.0f)) h.delayTimer = h.delayClearTimer = 0.0f;
    }
}

CompatState& currentState() { return UiContext::current().compat; }

BakedFace* findFace(CompatState& state, const ImFont* font) {
    for (BakedFace& face : state.faces) {
        if (face.font == font) return &face;
    }
    return nullptr;
}

// Sets the current text size exactly, whatever size the face was baked at. 1.86 derives the window
// font size from FontBaseSize whenever the current window changes, so that is the field to set.
void applyFontSize(float pixelSize) {
    ImGuiContext& g = *GImGui;
    g.FontBaseSize = std::max(1.0f, pixelSize);
    g.FontSize = g.CurrentWindow != nullptr ? g.CurrentWindow->CalcFontSize() : 0.0f;
    g.DrawListSharedData.FontSize = g.FontSize;
}

}  // namespace

void installHooks(ImGuiContext* context, CompatState& state) {
    ImGuiContextHook hook;
    hook.Type = ImGuiContextHookType_NewFramePost;
    hook.Callback = updateHover;
    hook.UserData = &state;
    ImGui::AddContextHook(context, &hook);
}

const ImWchar* glyphRanges() {
    static const ImWchar ranges[] = {
        0x0020, 0x00FF,  // Basic Latin and Latin-1 Supplement
        0x0100, 0x017F,  // Latin Extended-A
        0x2000, 0x206F,  // General Punctuation (U+2026 horizontal ellipsis)
        0x2190, 0x21FF,  // Arrows
        0x2212, 0x2212,  // minus sign
        0,
    };
    return ranges;
}

ImFont* bakeFace(ImFontAtlas* atlas, CompatState& state, int family, std::span<const uint8_t> data, const char* name,
                 float pixelSize) {
    if (data.empty() || !(pixelSize > 0.0f)) return nullptr;
    // 1.86 only parses the data when the atlas is built, and asserts there on a bad font: check it here.
    stbtt_fontinfo info;
    const int offset = stbtt_GetFontOffsetForIndex(data.data(), 0);
    if (offset < 0 || stbtt_InitFont(&info, data.data(), offset) == 0) return nullptr;
    ImFontConfig config;
    config.FontDataOwnedByAtlas = false;  // the data lives in the program image
    config.OversampleH = 2;
    config.OversampleV = 1;
    std::snprintf(config.Name, sizeof(config.Name), "%s", name);
    // stb_truetype only reads the data; the atlas API takes it as non-const.
    void* bytes = const_cast<uint8_t*>(data.data());
    ImFont* font = atlas->AddFontFromMemoryTTF(bytes, static_cast<int>(data.size()), pixelSize, &config, glyphRanges());
    if (font != nullptr) state.faces.push_back({family, pixelSize, font});
    return font;
}

int addImage(CompatState& state, int width, int height, std::vector<uint8_t> rgba) {
    AtlasImage image;
    image.width = width;
    image.height = height;
    image.rgba = std::move(rgba);
    state.images.push_back(std::move(image));
    state.atlasDirty = true;
    return static_cast<int>(state.images.size()) - 1;
}

AtlasBuild buildAtlas(ImFontAtlas* atlas, CompatState& state) {
    AtlasBuild result;
    std::vector<int>& unplaced = result.unplaced;
    for (AtlasImage& image : state.images) {
        image.rectId = -1;
        if (!image.refused) image.rectId = atlas->AddCustomRectRegular(image.width, image.height);
    }
    atlas->TexDesiredWidth = atlasWidth;
    result.built = atlas->Build();
    unsigned char* pixels = nullptr;
    int texWidth = 0;
    int texHeight = 0;
    if (result.built) atlas->GetTexDataAsRGBA32(&pixels, &texWidth, &texHeight);
    atlas->TexPixelsUseColors = true;
    for (size_t handle = 0; handle < state.images.size(); ++handle) {
        AtlasImage& image = state.images[handle];
        if (image.refused) continue;
        const ImFontAtlasCustomRect* rect = image.rectId >= 0 ? atlas->GetCustomRectByIndex(image.rectId) : nullptr;
        if (rect == nullptr || !rect->IsPacked() || pixels == nullptr) {
            image.rectId = -1;
            unplaced.push_back(static_cast<int>(handle));
            continue;
        }
        const size_t rowBytes = static_cast<size_t>(image.width) * 4;
        for (int row = 0; row < image.height; ++row) {
            unsigned char* dst = pixels + (static_cast<size_t>(rect->Y + row) * texWidth + rect->X) * 4;
            std::memcpy(dst, image.rgba.data() + rowBytes * static_cast<size_t>(row), rowBytes);
        }
    }
    state.atlasDirty = false;
    return result;
}

bool customRectUv(int rectId, ImVec2& uv0, ImVec2& uv1) {
    ImFontAtlas* atlas = ImGui::GetIO().Fonts;
    if (rectId < 0 || rectId >= atlas->CustomRects.Size || atlas->TexWidth <= 0) return false;
    const ImFontAtlasCustomRect* rect = atlas->GetCustomRectByIndex(rectId);
    if (!rect->IsPacked()) return false;
    atlas->CalcCustomRectUV(rect, &uv0, &uv1);
    return true;
}

ImTextureID atlasTexture() { return ImGui::GetIO().Fonts->TexID; }

ImFont* faceFor(ImFont* font, float pixelSize) {
    CompatState& state = currentState();
    if (font == nullptr) font = ImGui::GetIO().FontDefault;
    const BakedFace* known = findFace(state, font);
    if (known == nullptr) return font;  // a font this layer did not bake: used as it is
    const int family = known->family;
    ImFont* best = nullptr;
    float bestSize = 0.0f;
    ImFont* largest = font;
    float largestSize = 0.0f;
    for (const BakedFace& face : state.faces) {
        if (face.family != family) continue;
        if (face.pixelSize > largestSize) {
            largest = face.font;
            largestSize = face.pixelSize;
        }
        // A hundredth of a pixel absorbs float noise in size x scale products.
        if (face.pixelSize >= pixelSize - 0.01f && (best == nullptr || face.pixelSize < bestSize)) {
            best = face.font;
            bestSize = face.pixelSize;
        }
    }
    if (best != nullptr) return best;
    // Larger than every face: scaled up for now, and baked at this size before the next frame.
    const float wanted = std::ceil(pixelSize);
    if (wanted <= maxBakedPixels && state.extraSizes.size() < maxExtraSizes) {
        const auto entry = std::make_pair(family, wanted);
        if (std::find(state.extraSizes.begin(), state.extraSizes.end(), entry) == state.extraSizes.end()) {
            state.extraSizes.push_back(entry);
            state.atlasDirty = true;
        }
    }
    return largest;
}

void pushFont(ImFont* font, float size) {
    CompatState& state = currentState();
    const float pixelSize = std::max(1.0f, size * state.extras.fontScaleDpi);
    ImGui::PushFont(faceFor(font, pixelSize));
    state.fontSizeStack.push_back(pixelSize);
    applyFontSize(pixelSize);
}

void popFont() {
    CompatState& state = currentState();
    ImGui::PopFont();  // 1.86 restores the outer face at its baked size ...
    if (!state.fontSizeStack.empty()) state.fontSizeStack.pop_back();
    // ... so the outer push's exact size is applied again.
    if (!state.fontSizeStack.empty()) applyFontSize(state.fontSizeStack.back());
}

void addText(ImDrawList* list, ImFont* font, float pixelSize, ImVec2 pos, ImU32 colour, const char* begin,
             const char* end) {
    list->AddText(faceFor(font, pixelSize), pixelSize, pos, colour, begin, end);
}

ImVec2 calcTextSize(ImFont* font, float pixelSize, const char* begin, const char* end, float wrapWidth) {
    return faceFor(font, pixelSize)->CalcTextSizeA(pixelSize, FLT_MAX, wrapWidth, begin, end);
}

bool isItemHovered(ImGuiHoveredFlags flags) {
    CompatState& state = currentState();
    if ((flags & HoveredForTooltip) != 0) flags = (flags & ~HoveredForTooltip) | state.extras.hoverFlagsForTooltipMouse;
    constexpr ImGuiHoveredFlags emulated =
        HoveredStationary | HoveredDelayShort | HoveredDelayNormal | HoveredNoSharedDelay;
    if (!ImGui::IsItemHovered(flags & ~emulated)) return false;
    if ((flags & (HoveredStationary | HoveredDelayShort | HoveredDelayNormal)) == 0) return true;

    ImGuiContext& g = *GImGui;
    HoverState& h = state.hover;
    const ImGuiID id =
        g.LastItemData.ID != 0 ? g.LastItemData.ID : g.CurrentWindow->GetIDFromRectangle(g.LastItemData.Rect);
    if ((flags & HoveredNoSharedDelay) != 0 && h.delayIdPreviousFrame != id) h.delayTimer = 0.0f;
    h.delayId = id;
    if ((flags & HoveredStationary) != 0 && h.unlockedStationaryId != id) {
        if (h.mouseStationaryTimer < state.extras.hoverStationaryDelay) return false;
        h.unlockedStationaryId = id;
    }
    const float delay = (flags & HoveredDelayNormal) != 0  ? state.extras.hoverDelayNormal
                        : (flags & HoveredDelayShort) != 0 ? state.extras.hoverDelayShort
                                                           : 0.0f;
    return h.delayTimer >= delay;
}

namespace {

bool isIndexPressed(int index, bool repeat) {
    if (index < 0 || index >= IM_ARRAYSIZE(ImGui::GetIO().KeysDown)) return false;
    return ImGui::IsKeyPressed(index, repeat);
}

// A chord's key: a key 1.86 names (found through io.KeyMap), or, for letters it does not name, the
// index the platform layer writes into io.KeysDown. The SDL2 backend writes SDL scancodes there, so
// those letters follow the key's physical place (the US layout's S and O), not the layout's letter.
struct ChordKey {
    ImGuiKey named;  // ImGuiKey_COUNT: use `index`
    int index;
    ImGuiKeyModFlags mods;  // exactly these are held
};

constexpr int kScancodeS = 22;
constexpr int kScancodeO = 18;

constexpr ChordKey kChords[] = {
    {ImGuiKey_Z, -1, ImGuiKeyModFlags_Ctrl},
    {ImGuiKey_Z, -1, ImGuiKeyModFlags_Ctrl | ImGuiKeyModFlags_Shift},
    {ImGuiKey_C, -1, ImGuiKeyModFlags_Ctrl},
    {ImGuiKey_V, -1, ImGuiKeyModFlags_Ctrl},
    {ImGuiKey_COUNT, kScancodeS, ImGuiKeyModFlags_Ctrl},
    {ImGuiKey_COUNT, kScancodeO, ImGuiKeyModFlags_Ctrl},
    {ImGuiKey_Delete, -1, ImGuiKeyModFlags_None},
};

}  // namespace

bool isKeyPressed(Key key, bool repeat) {
    static constexpr ImGuiKey table[] = {ImGuiKey_Enter,     ImGuiKey_KeyPadEnter, ImGuiKey_Escape,
                                         ImGuiKey_UpArrow,   ImGuiKey_DownArrow,   ImGuiKey_Space};
    return isIndexPressed(ImGui::GetKeyIndex(table[static_cast<int>(key)]), repeat);
}

bool isChordPressed(Chord chord) {
    const ChordKey& c = kChords[static_cast<int>(chord)];
    constexpr ImGuiKeyModFlags all =
        ImGuiKeyModFlags_Ctrl | ImGuiKeyModFlags_Shift | ImGuiKeyModFlags_Alt | ImGuiKeyModFlags_Super;
    if ((ImGui::GetIO().KeyMods & all) != c.mods) return false;
    const int index = c.named == ImGuiKey_COUNT ? c.index : ImGui::GetKeyIndex(c.named);
    return isIndexPressed(index, false);
}

void setKeyModifiers(const KeyModifiers& held) {
    ImGuiIO& io = ImGui::GetIO();
    io.KeyCtrl = held.ctrl;
    io.KeyShift = held.shift;
    io.KeyAlt = held.alt;
    io.KeySuper = held.super;
}

bool isEnterPressed() { return isKeyPressed(Key::Enter, false) || isKeyPressed(Key::KeypadEnter, false); }

void addCallback(ImDrawList* list, ImDrawCallback callback, void* data) { list->AddCallback(callback, data); }

ImDrawCallback resetRenderStateCallback() { return ImDrawCallback_ResetRenderState; }

}  // namespace tarn::ui::compat
