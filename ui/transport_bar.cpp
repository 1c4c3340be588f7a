// The transport bar: its size, what a narrow bar leaves out, its cells cut from the left, each control,
// Space, and the position text.
#include "ui/transport_bar.h"

#include "ui/bar.h"
#include "ui/button.h"
#include "ui/drag_field.h"
#include "ui/draw.h"
#include "ui/icons.h"
#include "ui/imgui_compat.h"
#include "ui/interact.h"
#include "ui/key_commands.h"
#include "ui/placement.h"
#include "ui/text.h"
#include "ui/theme.h"
#include "ui/ui_context.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarn::ui {
namespace {

// Logical px.
constexpr float kFramedButton = 36.0f;
constexpr float kLooseButton = 32.0f;
constexpr float kDragWidth = 92.0f;
constexpr float kPositionWidth = 104.0f;
constexpr uint32_t kRecordRed = 0xFFC84830;

// Beyond this many quarter notes (about 60,000 years at 500 BPM) the position reads as this many:
// keeps the arithmetic exact to far below a sixteenth and every count far inside a 64-bit integer.
constexpr double kMaxPosition = 1e12;

int buttonCount(const TransportOptions& o) { return 1 + int{o.showRewind} + int{o.showRecord} + int{o.showLoop}; }

// Widths of the fields shown, in order, in logical px.
std::vector<float> fieldWidths(const TransportOptions& o) {
    std::vector<float> widths;
    if (o.tempoMode != 2) widths.push_back(kDragWidth);
    if (o.swing != nullptr) widths.push_back(kDragWidth);
    if (o.showPosition) widths.push_back(kPositionWidth);
    return widths;
}

long long clampedCount(double value, double most) { return static_cast<long long>(std::clamp(value, 0.0, most)); }

}  // namespace

std::string transportPositionText(const TransportState& state) {
    const double beat = 4.0 / std::max(state.beatUnit, 1);
    const double bar = static_cast<double>(std::max(state.beatsPerBar, 1)) * beat;
    const double position = std::isfinite(state.position) ? state.position : 0.0;
    const double p = std::clamp(position, 0.0, kMaxPosition) + 1e-9;
    const double bars = std::floor(p / bar);
    const double r = p - bars * bar;
    const double beats = std::floor(r / beat);
    const double sixteenths = std::floor((r - beats * beat) * 4.0);
    // Rounding may leave a count one step outside its bar or beat; it is held inside.
    return std::to_string(clampedCount(bars, 1e15) + 1) + "." +
           std::to_string(clampedCount(beats, std::max(state.beatsPerBar, 1) - 1.0) + 1) + "." +
           std::to_string(clampedCount(sixteenths, std::max(std::ceil(beat * 4.0) - 1.0, 0.0)) + 1);
}

ImVec2 transportBarSize(const TransportOptions& o) {
    const float s = scale();
    const auto n = static_cast<float>(buttonCount(o));
    const std::vector<float> fields = fieldWidths(o);
    float width = 0.0f;
    if (o.framed) {
        width = 2.0f * 3.0f + kFramedButton * n;
        for (float f : fields) width += f + 16.0f;
        return ImVec2(width * s, 32.0f * s);
    }
    width = kLooseButton * n + 4.0f * (n - 1.0f);
    for (size_t i = 0; i < fields.size(); ++i) width += fields[i] + (i == 0 ? 16.0f : 8.0f);
    return ImVec2(width * s, 36.0f * s);
}

std::optional<TransportOptions> transportBarFit(const TransportOptions& options, float width) {
    TransportOptions o = options;
    // A hair of slack, so that a rectangle made as wide as the fitted bar always holds it.
    const auto fits = [&] { return transportBarSize(o).x <= width + 0.001f; };
    // The fields from the right, then the buttons from the right; play goes last.
    const std::function<void()> drops[] = {[&] { o.showPosition = false; }, [&] { o.swing = nullptr; },
                                           [&] { o.tempoMode = 2; },        [&] { o.showLoop = false; },
                                           [&] { o.showRecord = false; },   [&] { o.showRewind = false; }};
    if (fits()) return o;
    for (const std::function<void()>& drop : drops) {
        drop();
        if (fits()) return o;
    }
    return std::nullopt;
}

TransportResult transportBar(const char* id, const Rect& r, const TransportState& state, Param& tempo,
                             const TransportOptions& options) {
    TransportResult result;
    ImGui::PushID(id);
    // Space plays whether or not the bar has room to show itself.
    if (options.spaceTogglesPlay && keyCommandsAllowed() && compat::isKeyPressed(compat::Key::Space, false)) {
        result.playToggled = true;
    }
    const auto mode = static_cast<uint32_t>(std::clamp(options.widthMode, 0, 3));
    const LayoutItem item = placeItem(r, SizeRule{mode, 0.0f}, transportBarSize(options), 0, 1);
    // Scaled to fit, the bar always fits; in any other width what does not fit is left out whole.
    const std::optional<TransportOptions> fitted =
        mode == SizeKind::natural ? std::optional(options) : transportBarFit(options, item.rect.w);
    if (!fitted) {
        endItem(item);
        ImGui::PopID();
        return result;
    }
    const TransportOptions& o = *fitted;
    Rect bar = item.rect;
    if (mode != SizeKind::natural && transportBarSize(options).x > item.rect.w) bar.w = transportBarSize(o).x;
    const float s = scale();
    ImDrawList* list = ImGui::GetWindowDrawList();
    const RectClip clip(r);

    const float inset = o.framed ? barPadding() : 0.0f;
    if (o.framed) barPanel(list, bar);
    CellCutter cells{bar.x + inset, bar.x + bar.w - inset, bar.y + inset, std::max(bar.h - 2.0f * inset, 0.0f)};

    const int buttons = buttonCount(o);
    int shown = 0;
    // One button: a flat bar button (framed) or an icon button (loose); true on a click.
    const auto control = [&](const char* name, const char* tip, bool active, uint32_t kind, const IconPainter& paint) {
        ++shown;
        if (o.framed) {
            const Rect cell = cells.take(kFramedButton * s);
            const BarButton b = barIconButton(name, cell, active, tip);
            paint(list, centredSquare(cell, 0.6f * std::min(cell.w, cell.h)), toImColor(barIconColour(b, active)));
            return b.clicked;
        }
        const Rect cell = cells.take(kLooseButton * s, (shown == buttons ? 16.0f : 4.0f) * s);
        const float side = std::min(cell.w, cell.h);
        ButtonStyle style;
        style.kind = kind;
        style.tooltip = tip;
        return iconButton(name, Rect{cell.x, cell.y + (cell.h - side) * 0.5f, side, side}, paint, active, style);
    };

    if (o.showRewind) result.rewind = control("rewind", "Back to the start", false, ButtonKind::normal, rewindIcon);
    if (control("play", state.playing ? "Stop (Space)" : "Play (Space)", state.playing, ButtonKind::normal,
                state.playing ? stopIcon : playIcon)) {
        result.playToggled = true;
    }
    if (o.showRecord) {
        const bool recording = state.recording;
        const IconPainter dot = [recording](ImDrawList* l, const Rect& box, ImU32 colour) {
            recordDot(l, box, recording ? toImColor(kRecordRed) : colour);
        };
        result.recordToggled = control("record", recording ? "Stop recording" : "Record", false,
                                       recording ? ButtonKind::danger : ButtonKind::normal, dot);
    }
    if (o.showLoop) result.loopToggled = control("loop", "Loop", state.looping, ButtonKind::normal, loopIcon);

    // Fields: framed, each after a divider cell; loose, each followed by a gap.
    const auto fieldCell = [&](float width) {
        if (o.framed) {
            const Rect divider = cells.take(16.0f * s);
            if (divider.w > 8.0f * s) {
                const float x = std::floor(divider.x + 8.0f * s);  // AddLine centres it on the pixel
                list->AddLine(ImVec2(x, divider.y + divider.h * 0.2f), ImVec2(x, divider.y + divider.h * 0.8f),
                              toImColor(barAccent()), 1.0f * s);
            }
            return cells.take(width * s);
        }
        return cells.take(width * s, 8.0f * s);
    };
    DragStyle drag;
    drag.large = true;
    drag.slim = o.framed;
    if (o.tempoMode != 2) {
        drag.caption = "BPM";
        drag.readOnly = o.tempoMode == 1;
        drag.tooltip = o.tempoTooltip != nullptr ? o.tempoTooltip : "";
        const DragResult t = dragField("tempo", fieldCell(kDragWidth), tempo, drag);
        result.tempoChanged = t.changed;
        result.tempoHovered = t.hovered;
        result.tempoHeld = t.held;
    }
    if (o.swing != nullptr) {
        drag.caption = "SWING";
        drag.readOnly = false;
        drag.tooltip = "";
        const DragResult w = dragField("swing", fieldCell(kDragWidth), *o.swing, drag);
        result.swingChanged = w.changed;
        result.swingHovered = w.hovered;
        result.swingHeld = w.held;
    }
    if (o.showPosition) {
        const Rect cell = fieldCell(kPositionWidth);
        const std::string text = transportPositionText(state);
        const uint32_t colour = state.playing ? palette::accent : palette::text;
        if (o.framed) {
            drawText(list, cell, text, 8, colour, 1);
        } else {
            const float w = std::min(kPositionWidth * s, cell.w);
            const float h = std::min(36.0f * s, cell.h);
            const Rect box{cell.x + (cell.w - w) * 0.5f, cell.y + (cell.h - h) * 0.5f, w, h};
            fillRoundRect(list, box, 0xFF202C19, 6.0f);
            strokeRoundRect(list, box, 0xFF2A3520, 6.0f, 1.0f);
            const float in = 4.0f * s;
            drawText(list,
                     Rect{box.x + in, box.y + in, std::max(box.w - 2.0f * in, 0.0f), std::max(box.h - 2.0f * in, 0.0f)},
                     text, 8, colour, 1);
            interact("position", rectangleHotspot(box, ImGuiMouseCursor_Arrow, "Position: bar, beat, sixteenth"));
        }
    }

    endItem(item);
    ImGui::PopID();
    return result;
}

}  // namespace tarn::ui
