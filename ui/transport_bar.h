// The transport bar: rewind, play, record and loop buttons, tempo and swing fields and the position.
#pragma once

#include "ui/param.h"
#include "ui/view.h"

#include <imgui.h>

#include <cstdint>
#include <optional>
#include <string>

namespace tarn::ui {

struct TransportState {
    bool playing = false;
    bool recording = false;
    bool looping = false;
    double position = 0.0;    // quarter-note beats from the start
    int32_t beatsPerBar = 4;  // below 2 counts as 1
    int32_t beatUnit = 4;     // below 2 counts as 1
};

struct TransportOptions {
    bool showRewind = false;
    bool showRecord = false;
    bool showLoop = false;
    bool showPosition = false;
    int32_t tempoMode = 0;  // 0 editable, 1 read-only, 2 hidden
    const char* tempoTooltip = nullptr;
    Param* swing = nullptr;  // null: no swing field
    bool spaceTogglesPlay = false;
    bool framed = false;    // a pill-shaped panel with flat buttons; else separate icon buttons
    int32_t widthMode = 0;  // a SizeKind for placing the bar in its rectangle
};

struct TransportResult {
    bool playToggled = false;
    bool rewind = false;
    bool recordToggled = false;
    bool loopToggled = false;
    bool tempoChanged = false;
    bool tempoHovered = false;
    bool tempoHeld = false;
    bool swingChanged = false;
    bool swingHovered = false;
    bool swingHeld = false;
};

// Reports what was pressed; starting, stopping and seeking are the caller's business. Space toggles
// play (once per press) when the options ask for it and no text field or popup has the keyboard, even
// when the bar has no room to show. Placed by a width mode other than natural in a rectangle narrower
// than the bar, it leaves out what transportBarFit leaves out.
TransportResult transportBar(const char* id, const Rect& r, const TransportState& state, Param& tempo,
                             const TransportOptions& options);
ImVec2 transportBarSize(const TransportOptions& options);
// The options of the bar that fits in `width` px: the position, swing and tempo fields are left out
// from the right, then the loop, record and rewind buttons; none when not even play fits.
std::optional<TransportOptions> transportBarFit(const TransportOptions& options, float width);

// The position as bar.beat.sixteenth, counted from 1.1.1. A negative or non-finite position reads
// 1.1.1, and a huge one stays a readable number.
std::string transportPositionText(const TransportState& state);

}  // namespace tarn::ui
