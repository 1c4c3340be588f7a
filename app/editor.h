// The program's one view: the whole editing state (sound, pattern, line, render, transport,
// presets, live audio) and the frame that draws and edits it.
#pragma once

#include "app/arc_panel.h"
#include "app/background_export.h"
#include "app/background_render.h"
#include "app/block_heights.h"
#include "app/motion_panel.h"
#include "app/pattern_panel.h"
#include "app/sound_spectrum_panel.h"
#include "engine/audio_config.h"
#include "engine/audio_output.h"
#include "engine/live_player.h"
#include "engine/notes.h"
#include "engine/patch.h"
#include "engine/pattern.h"
#include "storage/preset_store.h"
#include "storage/session.h"
#include "ui/command_file.h"
#include "ui/header_bar.h"
#include "ui/param.h"
#include "ui/view.h"
#include "ui/waveform.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarn {

// The application menu's file commands, as the header hands them back.
inline constexpr std::uint32_t kExportMidiCommand = 1;
inline constexpr std::uint32_t kExportWavCommand = 2;
inline constexpr std::uint32_t kSaveSessionCommand = 3;
inline constexpr std::uint32_t kOpenSessionCommand = 4;

// What the screenshot mode was asked to show: a tab name and a pattern word.
struct ScreenshotArgs {
    std::string tab;
    std::string pattern;
};

// A session file as read beside the frames: the session, or the issues that kept it from opening.
struct OpenedSession {
    std::optional<Session> session;
    IssueList issues;
    std::string name;  // the file's name, for the status line
};

class Editor : public ui::View {
public:
    // headless 1: the screenshot mode (no audio device, the position never advances); 0: the window.
    explicit Editor(int headlessIn);
    ~Editor() override;
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    void draw(const ui::FrameInfo& frame) override;

    // Fixed demonstration values for a freshly constructed headless editor.
    void setupScreenshot(const ScreenshotArgs& args);

    // The frame's parts.
    void update(const AudioConfig& config);
    std::int64_t loopLengthFrames(const Pattern& linePattern, const AudioConfig& config) const;
    double loopLengthBeats(const Pattern& linePattern, const AudioConfig& config) const;  // 0 at no tempo
    // The blocks under the header, stacked from the bottom of `page` at the given heights.
    void drawBlocks(ui::Rect page, const BlockHeights& heights, double phase, const AudioConfig& config);
    void drawCanvas(ui::Rect area, double phase, const AudioConfig& config);
    void drawRenderStrip(ui::Rect area, const AudioConfig& config);
    void drawHeader(const ui::FrameInfo& frame, ui::Rect& area, const AudioConfig& config);
    // What the header's result asks for, in a fixed order: tab, play, rewind, UI size, file command,
    // preset action.
    void actOnHeader(const ui::HeaderResult& result, const ui::FrameInfo& frame, const AudioConfig& config);
    void runFileCommand(const ui::CommandFile& item, const AudioConfig& config);

    // The presets strip.
    void drawPresets(ui::Rect documentArea);
    void initPresetsStrip(std::uint32_t action);
    void loadPreset(std::uint64_t index);
    void savePreset(const std::string& name, const std::string& category);

    // Renders the note list offline with the live patch and rebuilds the waveform summaries, at
    // once: for the screenshot, which has one frame.
    void renderPhrase(const AudioConfig& config);
    // The same on the background render: the waveform keeps the previous render until
    // adoptFinishedRender finds this one done.
    void startRender(const AudioConfig& config);
    // Shows a background render that has finished; every frame calls it.
    void adoptFinishedRender();
    // Adopts a session read beside the frames once it is read; every frame calls it.
    void adoptFinishedOpen(const AudioConfig& config);
    // Export WAV: the line as it is now, rendered whole into the file beside the frames; its first part
    // is shown as the new render when it is still the line's.
    void exportWav(const std::string& path, const std::string& name, const AudioConfig& config);
    // Tells the export's progress in the status line, and its end once it has ended; every frame calls it.
    void adoptFinishedExport();

    // The panels take everything they edit as arguments, so each stands alone.
    static bool drawArcPanel(ArcPanelState& state, Patch& patch, PatchCurves& curves, double phrasePosition);
    static void drawMotionPanel(MotionPanelState& state, Patch& patch, PatchCurves& curves, double position);
    static bool drawPatternPanel(PatternPanelState& state, Pattern& pattern, std::optional<double> playPosition);
    static void drawSpectrumPanel(SpectrumPanelState& state, const ui::Rect& rect, Patch& patch, PatchCurves& curves,
                                  double position, std::int32_t note, float sampleRate);
    static void drawVoiceStrip(const ui::Rect& rect, Patch& patch);
    // While the mouse holds the waveform the position is the beat under it; true when that beat is
    // new (the press, or a move), so the caller seeks only then.
    static bool drawWaveform(const ui::WaveformPeaks& left, const ui::WaveformPeaks& right, const ui::Rect& rect,
                             const AudioConfig& render, float phraseBeats, double loopBeatsIn, double& positionInOut);

    // Members in the order the editing state is described; every part of the program reads them.
    bool headless = false;
    ui::Rect canvasRect, renderStripRect, waveformRect, voiceStripRect;  // the last frame's layout
    Patch patch;                       // the sound being edited, published every frame
    ArcPanelState arcPanel;
    MotionPanelState motionPanel;
    SpectrumPanelState spectrumPanel;
    ui::WaveformPeaks waveformLeft, waveformRight;  // summaries of the last render; no samples kept
    std::uint32_t selectedTab = 0;     // 0 arc, 1 motion, 2 spectrum, 3 pattern
    bool patternDrives = false;        // false: the demo line plays; true: the pattern
    Pattern pattern{4, 36, 0};
    PatternPanelState patternPanel;
    std::int32_t loopBar = -1;         // the bar that plays alone; -1 the whole pattern
    std::vector<NoteEvent> notes;      // the line that plays
    bool dirty = false;                // rebuild and republish the line at the next update
    double loopBeats = 0.0;
    Patch renderedPatch;
    std::vector<NoteEvent> renderedNotes;
    bool hasRender = false;
    BackgroundRender backgroundRender;            // the render on its way to the waveform
    BackgroundJob<OpenedSession> backgroundOpen;  // the session file being read
    ExportUnderWay wavExport;                     // the WAV file being written
    float tempo = 120.0f;              // beats per minute
    ui::FloatParam tempoParam;
    std::string tempoNote;             // tooltip of the read-only tempo field
    bool playing = true;
    double position = 0.0;             // play position in beats
    std::string status;                // the header's one-line message
    std::uint32_t statusKind = 0;      // 0 plain, 2 error
    float uiScale = 1.0f;
    PresetStore presets;
    std::uint64_t presetIndex = 0;
    Patch baselinePatch;               // as last loaded or saved: the modified mark compares with it
    std::string presetName;            // the save popup's name field
    std::uint32_t presetCategory = 0;  // the save popup's category row
    LivePlayer player;
    AudioOutput audio;                 // last, so it closes the device before the player goes

private:
    // The entry at presetIndex; null when a rescan left the index past the end of the list.
    const PresetEntry* currentPreset() const;
    void adoptSession(OpenedSession opened, const AudioConfig& config);
    void openSavePopup(const std::string& name);
    // The segmented choice between the demo line and the pattern, at the right of the free area.
    void drawLineChoice(const ui::Rect& free);
    // A render exists and the patch or the notes have changed since.
    bool renderIsStale() const;
    // Shows a render: its summaries, and what it was made from.
    void adoptRender(FinishedRender render);
};

// The part of a path after its last "/" or "\"; the whole path when it has neither.
std::string fileNameOf(const std::string& path);

// Every scalar and curve point equal bit for bit (so a NaN equals the same NaN).
bool samePatchBits(const Patch& a, const Patch& b);

// The same notes in the same order, every field equal.
bool sameLine(const std::vector<NoteEvent>& a, const std::vector<NoteEvent>& b);

// The spectrum panel's lowest note: the line's lowest, but never above 36.
std::int32_t lowestSpectrumNote(const std::vector<NoteEvent>& line);

}  // namespace tarn
