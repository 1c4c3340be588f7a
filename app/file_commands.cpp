// The editor's file commands: open and save sessions, export MIDI and WAV, each told in the status line.
#include "app/editor.h"

#include "engine/file_replace.h"
#include "engine/midi_file.h"
#include "engine/offline_render.h"
#include "engine/wav_file.h"
#include "storage/file_bytes.h"
#include "storage/session.h"

#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <string_view>

namespace tarn {

std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void Editor::runFileCommand(const ui::CommandFile& item, const AudioConfig& config) {
    const std::string name = fileNameOf(item.path);
    if (item.command == kOpenSessionCommand) {
        // A long session takes a good part of a second to read: the window keeps drawing meanwhile,
        // and the session is adopted in the frame that finds it read.
        backgroundOpen.start([path = item.path, name](const std::atomic<bool>&) -> std::optional<OpenedSession> {
            OpenedSession opened;
            opened.name = name;
            if (const std::optional<std::vector<std::uint8_t>> bytes = readFileBytes(path))
                opened.session = readSession(std::string(bytes->begin(), bytes->end()), opened.issues);
            // Reading made and freed the file's whole JSON tree (over 150 MB for ten thousand bars) in
            // this thread's own allocator arena, which glibc keeps resident unless asked from here.
            malloc_trim(0);
            return opened;
        });
        return;
    }
    bool written = false;
    if (item.command == kSaveSessionCommand) {
        Session session;
        session.patch = patch;
        if (const PresetEntry* entry = currentPreset()) {
            session.name = entry->name;
            session.category = entry->category;
        }
        session.pattern = pattern;
        session.noteSource = patternDrives ? kNoteSourcePattern : kNoteSourceDemo;
        const std::string text = writeSession(session);
        // Through a temporary file, so a failed or interrupted save leaves the earlier session whole.
        written = replaceFileContents(item.path, std::vector<std::uint8_t>(text.begin(), text.end()));
    } else if (item.command == kExportMidiCommand) {
        written = writeMidiFile(pattern, item.path);
    } else if (item.command == kExportWavCommand) {
        exportWav(item.path, name, config);
        return;
    } else {
        return;
    }
    if (written) {
        status = (item.command == kSaveSessionCommand ? "Saved " : "Exported ") + name;
        statusKind = 0;
    } else {
        status = "Could not write " + name;
        statusKind = 2;
    }
}

void Editor::exportWav(const std::string& path, const std::string& name, const AudioConfig& config) {
    statusKind = 2;
    // An earlier render would not be this line, and a file of no samples helps nobody.
    if (notes.empty()) {
        status = "Nothing to export: the line has no notes";
        return;
    }
    OfflineRender render(patch, patch.curves.data(), notes.data(), notes.size(), config,
                         phraseRenderFrames(notes.data(), notes.size(), config));
    // The waveform shows as much of the export as a render made for it would hold.
    const auto shown = static_cast<std::uint64_t>(renderLengthFrames(notes.data(), notes.size(), config));
    ui::WaveformPeaksBuilder left(shown, config.sampleRate);
    ui::WaveformPeaksBuilder right(shown, config.sampleRate);
    std::uint64_t summarised = 0;
    const WavExport result =
        writeWavFile(path, render, config.sampleRate, [&](const float* l, const float* r, std::size_t frames) {
            const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(frames, shown - summarised));
            left.add({l, count});
            right.add({r, count});
            summarised += count;
        });
    if (result == WavExport::tooLong) {
        status = "Could not export " + name + ": the line is longer than a WAV file can hold (4 GiB)";
        return;
    }
    if (summarised == shown) adoptRender({{left.finish(), right.finish()}, patch, notes});
    if (result == WavExport::written) {
        status = "Exported " + name;
        statusKind = 0;
    } else {
        status = "Could not write " + name;
    }
}

void Editor::adoptFinishedOpen(const AudioConfig& config) {
    if (std::optional<OpenedSession> opened = backgroundOpen.take()) adoptSession(std::move(*opened), config);
}

void Editor::adoptSession(OpenedSession opened, const AudioConfig& config) {
    const std::string& name = opened.name;
    if (!opened.session) {
        const std::string reason = opened.issues.empty() ? "could not read it" : opened.issues.front().message;
        status = "Could not open " + name + ": " + reason;
        statusKind = 2;
        return;
    }
    for (const Issue& issue : opened.issues) {
        std::fprintf(stderr, "%s: %s %s: %s\n", name.c_str(), issue.id.c_str(), issue.pointer.c_str(),
                     issue.message.c_str());
    }
    std::optional<Session>& session = opened.session;
    patch = session->patch;
    baselinePatch = session->patch;
    if (const std::optional<std::size_t> index = presets.find(session->name)) presetIndex = *index;
    pattern = std::move(session->pattern);
    patternDrives = session->noteSource == kNoteSourcePattern;
    loopBar = -1;
    // The panel's own loop choice would otherwise be copied back on the next pattern-tab frame.
    patternPanel = PatternPanelState{};
    dirty = true;
    update(config);
    // A long line takes seconds to render: the window keeps drawing the old one meanwhile.
    if (notes.empty()) {
        backgroundRender.cancel();
    } else {
        startRender(config);
    }
    status = "Opened " + name;
    statusKind = 0;
}

}  // namespace tarn
