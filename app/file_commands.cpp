// The editor's file commands: open and save sessions, export MIDI and WAV, each told in the status line.
#include "app/editor.h"

#include "engine/file_replace.h"
#include "engine/midi_file.h"
#include "engine/offline_render.h"
#include "engine/write_failure.h"
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
    std::error_code failed;
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
        failed = replaceFileContentsWith(item.path, [&](int fd) {
            return writeWhole(fd, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
        });
    } else if (item.command == kExportMidiCommand) {
        const std::vector<std::uint8_t> bytes = midiFileBytes(pattern);
        failed = replaceFileContentsWith(item.path, [&](int fd) { return writeWhole(fd, bytes); });
    } else if (item.command == kExportWavCommand) {
        exportWav(item.path, name, config);
        return;
    } else {
        return;
    }
    if (!failed) {
        status = (item.command == kSaveSessionCommand ? "Saved " : "Exported ") + name;
        statusKind = 0;
    } else {
        status = "Could not write " + name + ": " + failureInWords(failed);
        statusKind = 2;
    }
}

void Editor::exportWav(const std::string& path, const std::string& name, const AudioConfig& config) {
    // An export that ended since the frame began is done with, not still running.
    adoptFinishedExport();
    statusKind = 2;
    // One file at a time: a second render would halve the speed of both, and the user asked for the first.
    if (wavExport.job.running()) {
        status = "Could not export " + name + ": " + wavExport.name + " is still exporting";
        return;
    }
    // An earlier render would not be this line, and a file of no samples helps nobody.
    if (notes.empty()) {
        status = "Nothing to export: the line has no notes";
        return;
    }
    const auto frames = static_cast<std::uint64_t>(phraseRenderFrames(notes.data(), notes.size(), config));
    if (frames > kMaxWavFrames) {
        status = "Could not export " + name + ": the line is longer than a WAV file can hold (4 GiB)";
        return;
    }
    wavExport.written = std::make_shared<std::atomic<std::uint64_t>>(0);
    wavExport.total = frames;
    wavExport.name = name;
    // The line as it is now: edits made while it is written are not in the file.
    wavExport.job.start(exportWork(path, patch, notes, config, wavExport.written));
    wavExport.shownProgress = exportProgressText(name, 0, frames);
    status = wavExport.shownProgress;
    statusKind = 0;
}

void Editor::adoptFinishedExport() {
    if (!wavExport.job.running()) return;
    std::optional<FinishedExport> finished = wavExport.job.take();
    if (!finished) {
        const std::string progress =
            exportProgressText(wavExport.name, wavExport.written->load(std::memory_order_relaxed), wavExport.total);
        if (status == wavExport.shownProgress) status = progress;
        wavExport.shownProgress = progress;
        return;
    }
    const WavExportResult& result = finished->result;
    if (result.outcome == WavExport::written) {
        status = "Exported " + wavExport.name;
        statusKind = 0;
    } else {
        status = "Could not write " + wavExport.name;
        if (result.error) status += ": " + failureInWords(result.error);
        statusKind = 2;
    }
    // The waveform takes the export's first part only while it is still the line's, and no render of
    // the line asked for since is on its way.
    if (const std::optional<FinishedRender>& shown = finished->shown;
        shown && !backgroundRender.running() && samePatchBits(shown->patch, patch) && sameLine(shown->notes, notes)) {
        adoptRender(std::move(*finished->shown));
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
