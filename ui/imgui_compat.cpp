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

bool inFixedRanges(unsigned int c) {
    for (const ImWchar* r = glyphRanges(); r[0] != 0; r += 2) {
        if (c >= r[0] && c <= r[1]) return true;
    }
    return false;
}

// Consecutive characters as Dear ImGui's inclusive ranges, appended to `ranges` (not terminated).
void appendRanges(std::vector<ImWchar>& ranges, const std::vector<ImWchar>& sorted) {
    for (size_t i = 0; i < sorted.size(); ++i) {
        if (i > 0 && sorted[i] == sorted[i - 1] + 1) {
            ranges.back() = sorted[i];
        } else {
            ranges.push_back(sorted[i]);
            ranges.push_back(sorted[i]);
        }
    }
}

void rebuildRanges(FontFamily& family, size_t familyCount) {
    family.ranges.assign(1 + familyCount, {});
    std::vector<ImWchar>& own = family.ranges[0];
    for (const ImWchar* r = glyphRanges(); r[0] != 0; ++r) own.push_back(*r);
    appendRanges(own, family.own);
    own.push_back(0);
    for (size_t source = 0; source < familyCount; ++source) {
        std::vector<ImWchar> chars;
        for (const auto& [from, c] : family.borrowed) {
            if (static_cast<size_t>(from) == source) chars.push_back(c);
        }
        if (chars.empty()) continue;
        appendRanges(family.ranges[1 + source], chars);
        family.ranges[1 + source].push_back(0);
    }
}

// Looks up one block of characters for a family, once: what its own font holds beyond the fixed
// ranges, and what it lacks that another family's font holds (the first in family order). The block
// is taken whole so that a script's text costs one atlas build, not one per new letter.
void askBlock(CompatState& state, int familyIndex, unsigned int block) {
    FontFamily& family = state.families[static_cast<size_t>(familyIndex)];
    if (family.blocksAsked.test(block)) return;
    family.blocksAsked.set(block);
    std::vector<stbtt_fontinfo> infos(state.families.size());
    std::vector<bool> usable(state.families.size(), false);
    for (size_t f = 0; f < state.families.size(); ++f) {
        const std::span<const uint8_t> data = state.families[f].data;
        const int offset = data.empty() ? -1 : stbtt_GetFontOffsetForIndex(data.data(), 0);
        usable[f] = offset >= 0 && stbtt_InitFont(&infos[f], data.data(), offset) != 0;
    }
    if (!usable[static_cast<size_t>(familyIndex)]) return;
    std::vector<ImWchar> own;
    std::vector<std::pair<int, ImWchar>> borrowed;
    for (unsigned int c = std::max(block * glyphBlockSize, 0x20u); c < (block + 1) * glyphBlockSize; ++c) {
        const bool fixed = inFixedRanges(c);
        if (stbtt_FindGlyphIndex(&infos[static_cast<size_t>(familyIndex)], static_cast<int>(c)) != 0) {
            if (!fixed) own.push_back(static_cast<ImWchar>(c));
            continue;
        }
        for (size_t f = 0; f < state.families.size(); ++f) {
            if (usable[f] && stbtt_FindGlyphIndex(&infos[f], static_cast<int>(c)) != 0) {
                borrowed.emplace_back(static_cast<int>(f), static_cast<ImWchar>(c));
                break;
            }
        }
    }
    const size_t added = own.size() + borrowed.size();
    double perGlyph = 0.0;
    for (const BakedFace& face : state.faces) {
        if (face.family == familyIndex) perGlyph += static_cast<double>(face.pixelSize) * face.pixelSize;
    }
    const double cost = perGlyph * static_cast<double>(added);
    // Past the bound the block's characters draw as U+FFFD: the atlas does not grow without end.
    if (added == 0 || state.addedTexels + cost > maxAddedTexels) return;
    state.addedTexels += cost;
    family.own.insert(family.own.end(), own.begin(), own.end());
    std::sort(family.own.begin(), family.own.end());
    family.borrowed.insert(family.borrowed.end(), borrowed.begin(), borrowed.end());
    std::sort(family.borrowed.begin(), family.borrowed.end());
    rebuildRanges(family, state.families.size());
    state.atlasDirty = true;
}

}  // namespace

void installHooks(ImGuiContext* context, CompatState& state) {
    ImGuiContextHook hook;
    hook.Type = ImGuiContextHookType_NewFramePost;
    hook.Callback = updateHover;
    hook.UserData = &state;
    ImGui::AddContextHook(context, &hook);
    // Dear ImGui drops the characters typed for a frame when the frame ends, and with them goes what
    // their U+FFFD stood for.
    ImGuiContextHook endFrame;
    endFrame.Type = ImGuiContextHookType_EndFramePost;
    endFrame.Callback = [](ImGuiContext*, ImGuiContextHook* h) {
        StandIns& standIns = static_cast<CompatState*>(h->UserData)->standIns;
        standIns.typed.clear();
        standIns.typedTaken = 0;
    };
    endFrame.UserData = &state;
    ImGui::AddContextHook(context, &endFrame);
}

const ImWchar* glyphRanges() {
    static const ImWchar ranges[] = {
        0x0020, 0x00FF,  // Basic Latin and Latin-1 Supplement
        0x0100, 0x017F,  // Latin Extended-A
        0x2000, 0x206F,  // General Punctuation (U+2026 horizontal ellipsis)
        0x2190, 0x21FF,  // Arrows
        0x2212, 0x2212,  // minus sign
        0xFFFD, 0xFFFD,  // replacement character: the glyph of any character no font holds
        0,
    };
    return ranges;
}

void setFontFamilies(CompatState& state, std::span<const std::span<const uint8_t>> data) {
    const bool same = std::equal(data.begin(), data.end(), state.families.begin(), state.families.end(),
                                 [](std::span<const uint8_t> d, const FontFamily& f) {
                                     return d.data() == f.data.data() && d.size() == f.data.size();
                                 });
    if (same) return;
    state.families.assign(data.size(), {});
    for (size_t f = 0; f < data.size(); ++f) state.families[f].data = data[f];
    forgetAskedGlyphs(state);
}

void forgetAskedGlyphs(CompatState& state) {
    for (FontFamily& family : state.families) family = FontFamily{family.data, {}, {}, {}, {}};
    state.addedTexels = 0.0;
    state.atlasDirty = true;
    // Every face needs U+FFFD from the start: it is what a character no font holds draws as.
    for (size_t f = 0; f < state.families.size(); ++f) askBlock(state, static_cast<int>(f), 0xFFFDu / glyphBlockSize);
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
    const FontFamily* known = family >= 0 && static_cast<size_t>(family) < state.families.size()
                                  ? &state.families[static_cast<size_t>(family)]
                                  : nullptr;
    const bool extended = known != nullptr && !known->ranges.empty();
    ImFont* font = atlas->AddFontFromMemoryTTF(bytes, static_cast<int>(data.size()), pixelSize, &config,
                                               extended ? known->ranges[0].data() : glyphRanges());
    if (font == nullptr) return nullptr;
    state.faces.push_back({family, pixelSize, font});
    // Characters this font lacks come from the fonts that hold them, merged into the same face.
    for (size_t source = 0; extended && source < state.families.size(); ++source) {
        const std::vector<ImWchar>& borrowed = known->ranges[1 + source];
        if (borrowed.empty()) continue;
        ImFontConfig merge = config;
        merge.MergeMode = true;
        const std::span<const uint8_t> from = state.families[source].data;
        atlas->AddFontFromMemoryTTF(const_cast<uint8_t*>(from.data()), static_cast<int>(from.size()), pixelSize, &merge,
                                    borrowed.data());
    }
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
    // Added characters grow the atlas a little at a time: rounding its height up to a power of two
    // could double it for one more block.
    atlas->Flags |= ImFontAtlasFlags_NoPowerOfTwoHeight;
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

void wantGlyphs(ImFont* face, std::string_view text) {
    // Most text is ASCII, which every face holds: only a byte past it costs a look.
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) return;
    CompatState& state = currentState();
    const BakedFace* known = findFace(state, face);
    if (known == nullptr || known->family < 0 || static_cast<size_t>(known->family) >= state.families.size()) return;
    const FontFamily& family = state.families[static_cast<size_t>(known->family)];
    const char* end = text.data() + text.size();
    for (const char* p = text.data(); p < end;) {
        unsigned int c = 0;
        p += std::max(ImTextCharFromUtf8(&c, p, end), 1);
        const bool privateUse = c >= privateUseFirst && c <= privateUseLast;
        if (c < 0x80 || c >= 0x10000 || privateUse || face->FindGlyphNoFallback(static_cast<ImWchar>(c)) != nullptr)
            continue;
        if (!family.blocksAsked.test(c / glyphBlockSize)) askBlock(state, known->family, c / glyphBlockSize);
    }
}

void addText(ImDrawList* list, ImFont* font, float pixelSize, ImVec2 pos, ImU32 colour, const char* begin,
             const char* end) {
    ImFont* face = faceFor(font, pixelSize);
    if (end == nullptr) end = begin + std::strlen(begin);
    wantGlyphs(face, std::string_view(begin, static_cast<size_t>(end - begin)));
    list->AddText(face, pixelSize, pos, colour, begin, end);
}

ImVec2 calcTextSize(ImFont* font, float pixelSize, const char* begin, const char* end, float wrapWidth) {
    ImFont* face = faceFor(font, pixelSize);
    if (end == nullptr) end = begin + std::strlen(begin);
    wantGlyphs(face, std::string_view(begin, static_cast<size_t>(end - begin)));
    return face->CalcTextSizeA(pixelSize, FLT_MAX, wrapWidth, begin, end);
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
// index the platform layer writes into io.KeysDown: the SDL2 backend's scancode numbering, which the
// host fills by the letter a key types under the layout, not by where the key sits.
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

void setMouseButton(int button, bool down, std::optional<double> pressGap) {
    ImGuiIO& io = ImGui::GetIO();
    if (button < 0 || button >= IM_ARRAYSIZE(io.MouseDown)) return;
    io.MouseDown[button] = down;
    // NewFrame advances the time by the step, then compares it with the last click's time.
    if (down && pressGap) io.MouseClickedTime[button] = GImGui->Time + io.DeltaTime - *pressGap;
}

void hideMouseButton(int button) {
    ImGuiIO& io = ImGui::GetIO();
    if (button < 0 || button >= IM_ARRAYSIZE(io.MouseDown)) return;
    // The press's duration stays counted: the next frame takes the button, still down, as held on.
    io.MouseDown[button] = false;
    io.MouseClicked[button] = false;
    io.MouseDoubleClicked[button] = false;
    io.MouseClickedCount[button] = 0;
    io.MouseReleased[button] = false;
}

void activateInputNow(ImGuiID id) {
    ImGuiContext& g = *GImGui;
    g.NavActivateInputId = id;
    g.NavActivateFlags = ImGuiActivateFlags_PreferInput;
}

bool isEnterPressed() { return isKeyPressed(Key::Enter, false) || isKeyPressed(Key::KeypadEnter, false); }

void addCallback(ImDrawList* list, ImDrawCallback callback, void* data) { list->AddCallback(callback, data); }

ImDrawCallback resetRenderStateCallback() { return ImDrawCallback_ResetRenderState; }

}  // namespace tarn::ui::compat
