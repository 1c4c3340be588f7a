// The one place that knows the toolkit runs on Dear ImGui 1.86 while it is written for 1.92:
// fonts at any size, images in the font atlas, hover delays, renamed colours and draw callbacks.
//
// Everything else in the toolkit calls these functions where 1.92 has an API that 1.86 lacks, and
// otherwise uses Dear ImGui directly. The rules of 1.86 that shape this layer:
// - No font sizes on demand: every face is baked into the atlas at a pixel size. The UI context bakes
//   the text roles' sizes at the display scale; a push at another size uses the nearest larger face,
//   scaled down (never up: a size larger than every face is baked before the next frame).
// - The atlas may only be built between frames, and a build re-packs everything: images are kept here
//   with their pixels and written again after every build, and the UI context counts builds in a
//   generation number that the host reads to re-upload the texture.
// - No glyphs on demand: every face bakes a fixed set of ranges. Text drawn or measured through this
//   layer asks for the characters its faces lack; the block of 128 characters around each is baked
//   into the family's faces before the next frame, from the family's own font or, for what it lacks,
//   from another loaded font. A character no loaded font holds draws as U+FFFD.
// - No hover delays or stationary test: they are emulated with 1.92's timing.
// - Text fields hold 16-bit characters: anything past U+FFFF becomes U+FFFD, and the field's count of
//   UTF-8 bytes, taken from the text it was given, then disagrees with its characters (the text it
//   writes back gains a byte and a NUL). Text fields are given their text with every such character
//   standing in as a private-use character, and take typed and pasted text the same way.
// - No input queue: the mouse buttons are read once a frame, and a double click is timed by the frames
//   that saw its presses. The platform layer hands the buttons over a change at a time, with the time
//   between presses as the events had it.
#pragma once

#include <imgui.h>

#include <bitset>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tarn::ui::compat {

// Colour entries renamed after 1.86.
inline constexpr ImGuiCol ColTabSelected = ImGuiCol_TabActive;
inline constexpr ImGuiCol ColNavCursor = ImGuiCol_NavHighlight;

// Hover flags of 1.92 that 1.86 lacks, placed above 1.86's own bits. Only isItemHovered knows them.
inline constexpr ImGuiHoveredFlags HoveredStationary = 1 << 24;
inline constexpr ImGuiHoveredFlags HoveredDelayShort = 1 << 25;
inline constexpr ImGuiHoveredFlags HoveredDelayNormal = 1 << 26;
inline constexpr ImGuiHoveredFlags HoveredNoSharedDelay = 1 << 27;
inline constexpr ImGuiHoveredFlags HoveredForTooltip = 1 << 28;  // the style's tooltip flags

// The style fields of 1.92 that 1.86's ImGuiStyle lacks, with 1.92's defaults.
struct StyleExtras {
    float hoverStationaryDelay = 0.15f;  // seconds without moving before a stationary hover counts
    float hoverDelayShort = 0.15f;       // seconds
    float hoverDelayNormal = 0.40f;      // seconds
    ImGuiHoveredFlags hoverFlagsForTooltipMouse =
        HoveredStationary | HoveredDelayShort | ImGuiHoveredFlags_AllowWhenDisabled;
    float fontScaleDpi = 1.0f;  // font sizes given to pushFont are multiplied by this
    float fontSizeBase = 12.0f;
};

// 1.92's hover-delay bookkeeping, advanced at the start of every frame.
struct HoverState {
    float mouseStationaryTimer = 0.0f;
    ImGuiID delayId = 0;
    ImGuiID delayIdPreviousFrame = 0;
    ImGuiID unlockedStationaryId = 0;
    float delayTimer = 0.0f;
    float delayClearTimer = 0.0f;
};

// One font baked at one pixel size. `family` is the font index of the text roles.
struct BakedFace {
    int family = 0;
    float pixelSize = 0.0f;
    ImFont* font = nullptr;
};

// An image kept for the atlas: RGBA pixels, and the custom rectangle of the latest build (-1 while
// not placed). A refused image is never placed and holds no pixels.
struct AtlasImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
    int rectId = -1;
    bool refused = false;
};

// One font family's file and the characters it bakes beyond the fixed ranges, looked up 128 at a time.
// 1.86 decodes text to 16-bit characters (anything past U+FFFF becomes U+FFFD): the blocks span those.
inline constexpr int glyphBlockSize = 128;
inline constexpr int glyphBlockCount = 0x10000 / glyphBlockSize;
struct FontFamily {
    std::span<const uint8_t> data;
    std::bitset<glyphBlockCount> blocksAsked;       // blocks already looked up for this family
    std::vector<ImWchar> own;                       // held by this family's font, sorted
    std::vector<std::pair<int, ImWchar>> borrowed;  // (family whose font holds it, character), sorted
    // Built from the above for the atlas: [0] this font's ranges, [1 + f] those borrowed from family f.
    std::vector<std::vector<ImWchar>> ranges;
};

// Atlas area the added characters may take, in texels, each character counted as the square of the
// pixel size of every face it is baked into (somewhat more than it takes). Blocks past it draw as
// U+FFFD, so the atlas stays well inside the texture sizes GL drivers take at every UI scale.
inline constexpr double maxAddedTexels = 2048.0 * 4096.0;

// The private-use characters that stand in, inside text fields, for characters 1.86 cannot hold:
// those past U+FFFF, and the private-use ones the text itself holds (which would otherwise read as
// stand-ins). U+E000 + i stands for held[i]; once given, a stand-in keeps its character for the
// context's life, so a text reads the same in every frame. Past the last private-use character new
// ones stand in as U+FFFD.
inline constexpr char32_t privateUseFirst = 0xE000;  // the private use area of the 16-bit plane
inline constexpr char32_t privateUseLast = 0xF8FF;
struct StandIns {
    std::vector<char32_t> held;
    std::unordered_map<char32_t, char16_t> standInFor;
    // 1.86 drops typed private-use characters before a text field's character filter sees them, so a
    // typed stand-in is queued as U+FFFD and the filter puts back what each typed U+FFFD of this
    // frame stands for, in order.
    std::vector<char16_t> typed;
    size_t typedTaken = 0;
    // While a text field runs: the platform's clipboard handlers, and the pasted text as the field reads it.
    const char* (*outerGetClipboard)(void*) = nullptr;
    void (*outerSetClipboard)(void*, const char*) = nullptr;
    void* outerClipboardData = nullptr;
    std::string pasted;
};

// Everything this layer keeps per UI context.
struct CompatState {
    std::vector<BakedFace> faces;
    std::vector<FontFamily> families;               // index = family
    double addedTexels = 0.0;                       // spent of maxAddedTexels
    std::vector<std::pair<int, float>> extraSizes;  // faces asked for beyond the baked ones
    std::vector<AtlasImage> images;                 // index = image handle, stable across builds
    std::vector<float> fontSizeStack;               // pixel sizes of the open pushFont calls
    StyleExtras extras;
    HoverState hover;
    StandIns standIns;
    uint64_t atlasGeneration = 0;
    bool atlasDirty = false;
};

// Widest image the atlas takes, and the atlas texture's width.
inline constexpr int atlasWidth = 2048;

// Registers the per-frame hover update, and the end of each frame's typed stand-ins, on a Dear ImGui
// context; `state` outlives the context.
void installHooks(ImGuiContext* context, CompatState& state);

// Glyph ranges baked into every face: Latin-1, Latin Extended-A, general punctuation (with U+2026),
// arrows, the minus sign and the replacement character U+FFFD.
const ImWchar* glyphRanges();

// Names the font file of every family, by family index; a face's missing characters are looked for in
// them. Characters asked for earlier are kept while the files stay the same.
void setFontFamilies(CompatState& state, std::span<const std::span<const uint8_t>> data);

// Forgets the characters asked for (at a new display scale the faces change size, and with them what the
// added characters cost); text asks again in its first frame.
void forgetAskedGlyphs(CompatState& state);

// Adds one face of an embedded font at a pixel size (2x horizontal oversampling), with the characters
// its family was asked for; null when the atlas refuses the data. The data is not copied and must
// outlive the atlas.
ImFont* bakeFace(ImFontAtlas* atlas, CompatState& state, int family, std::span<const uint8_t> data, const char* name,
                 float pixelSize);

// Keeps an image for the atlas and returns its handle; it is placed by the next atlas build.
int addImage(CompatState& state, int width, int height, std::vector<uint8_t> rgba);

// Adds a custom rectangle for every kept image, builds the atlas and writes the images' pixels.
struct AtlasBuild {
    bool built = false;         // false: a font could not be rasterised
    std::vector<int> unplaced;  // handles of the images that found no place (rectId -1)
};
AtlasBuild buildAtlas(ImFontAtlas* atlas, CompatState& state);

// Texture coordinates of a placed custom rectangle; false for -1 or an unplaced one.
bool customRectUv(int rectId, ImVec2& uv0, ImVec2& uv1);

// The font atlas texture of the current context.
ImTextureID atlasTexture();

// As 1.92's ImGui::PushFont(font, size): `size` is multiplied by the style's font dpi scale (the
// display scale); the text is set at exactly that pixel size from the best baked face.
void pushFont(ImFont* font, float size);
void popFont();

// The baked face of `font`'s family that draws `pixelSize` crisply: the smallest at or above it.
ImFont* faceFor(ImFont* font, float pixelSize);

// Asks for the characters of UTF-8 `text` that `face` lacks: those a loaded font holds are baked into
// the face's family before the next frame (this frame draws U+FFFD in their place). For text that
// Dear ImGui's own widgets draw in the current font; addText and calcTextSize ask by themselves.
// Private-use characters are never baked: they mean something only by agreement (Inter's own are its
// alternate letter forms), and in text fields they stand in for other characters, drawn as U+FFFD.
void wantGlyphs(ImFont* face, std::string_view text);

// Text at a pixel size in a font family, from its best face (as 1.92's AddText with a size).
void addText(ImDrawList* list, ImFont* font, float pixelSize, ImVec2 pos, ImU32 colour, const char* begin,
             const char* end = nullptr);
ImVec2 calcTextSize(ImFont* font, float pixelSize, const char* begin, const char* end = nullptr,
                    float wrapWidth = 0.0f);

// ImGui::IsItemHovered with 1.92's delay, stationary and tooltip flags.
bool isItemHovered(ImGuiHoveredFlags flags = 0);

// Keys by the names the toolkit uses. 1.86 knows keys only as indices into io.KeysDown, found through
// io.KeyMap for the few keys it names (its keypad Enter is spelled KeyPadEnter).
enum class Key { Enter, KeypadEnter, Escape, UpArrow, DownArrow, Space };
// The key went down this frame (or repeats while held, with `repeat`); false for a key the platform
// layer did not map.
bool isKeyPressed(Key key, bool repeat = true);
// Enter or keypad Enter went down this frame.
bool isEnterPressed();

// The modifiers held, for the frame about to start. 1.86 keeps them in io.KeyCtrl, KeyShift, KeyAlt and
// KeySuper, which its SDL2 backend sets from SDL's current state rather than from the key event it
// handles; the platform layer sets them from the event after the backend has had it.
struct KeyModifiers {
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
    bool super = false;
};
void setKeyModifiers(const KeyModifiers& held);

// A mouse button for the frame about to start, set between frames. 1.86 tells a double click by the
// time between the frames that saw its presses: a slow frame parts one, and presses handed over one a
// frame after a slow frame join. `pressGap`, given when the button goes down in this frame, is the time
// in seconds since its previous press as the events had it, and is what the double-click time is
// measured against. Call once io.DeltaTime holds the coming frame's step.
void setMouseButton(int button, bool down, std::optional<double> pressGap);

// The mouse button reads as up for the rest of the frame: no item sees it go down, held, released or
// double-clicked. Call before any item, in the frames from its press to its release. 1.92 gives the
// press an owner instead; 1.86 has none.
void hideMouseButton(int button);

// The application-wide key chords, in the order the key commands try them.
enum class Chord { CtrlZ, CtrlShiftZ, CtrlC, CtrlV, CtrlS, CtrlO, Delete };
// The chord's key went down this frame while exactly the chord's modifiers are held. Reported once
// per press: a held chord does not repeat, since a repeated Save or Open is never wanted.
bool isChordPressed(Chord chord);

// The item `id`, submitted later in this frame, takes the keyboard in this very frame, as a text
// field does when tabbed into (its text selected). 1.86's SetKeyboardFocusHere gets there two frames
// later, and what is typed in between would be lost.
void activateInputNow(ImGuiID id);

// ImGui::InputText, or InputTextWithHint when `hint` is given, over UTF-8 text of any characters: the
// field shows characters 1.86 cannot hold as U+FFFD and gives them back unchanged. Control characters
// (C0, DEL, C1) are neither shown nor given back: a one-line field has no use for them, and 1.86
// compares the text it holds with the one it is given in every frame, so what cannot come out must
// not go in. A pasted tab or line break becomes a space, one for each run of them. True when the
// field changed the text; only then is `text` rewritten.
bool inputText(const char* label, const char* hint, std::string& text);

// Text typed on the keyboard (SDL's text input), as io.AddInputCharactersUTF8 adds it but with every
// character reaching the text field whole, whatever its plane. Typed control characters are left out.
void addTypedText(std::string_view utf8);

// Draw callbacks: 1.86's AddCallback takes the callback and one user-data pointer.
void addCallback(ImDrawList* list, ImDrawCallback callback, void* data = nullptr);
// The renderer's reset-render-state callback (a constant in 1.86, read from the platform IO in 1.92).
ImDrawCallback resetRenderStateCallback();

}  // namespace tarn::ui::compat
