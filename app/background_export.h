// Export WAV beside the frames: minutes of sound go into their file without stopping the window.
#pragma once

#include "app/background_job.h"
#include "app/background_render.h"
#include "engine/audio_config.h"
#include "engine/notes.h"
#include "engine/patch.h"
#include "engine/wav_file.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarn {

// What an export's worker hands back.
struct FinishedExport {
    WavExportResult result;
    // The file's first part as the waveform's own render of that line would hold it; nothing when the
    // export did not get that far.
    std::optional<FinishedRender> shown;
};

using BackgroundExport = BackgroundJob<FinishedExport>;

// The editor's export under way: the worker counts the frames it has written, and the UI thread
// reads the count for the status line.
struct ExportUnderWay {
    BackgroundExport job;
    std::shared_ptr<std::atomic<std::uint64_t>> written;
    std::uint64_t total = 0;  // frames of the whole file
    std::string name;         // the file's name, for the status line
    // The progress the status line last showed. A message of another command written over it stays
    // until the export ends.
    std::string shownProgress;
};

// Writes the notes, rendered with the patch, into a WAV file at path. The render, the file and the
// waveform's summary are exactly those of an export made at once; a cancelled job stops within a
// piece and leaves whatever was at path as it was.
BackgroundExport::Work exportWork(std::string path, const Patch& patch, std::vector<NoteEvent> notes,
                                  const AudioConfig& config, std::shared_ptr<std::atomic<std::uint64_t>> written);

// "Exporting <name>: <n> %", n rounded down and held below 100 until the file is in place.
std::string exportProgressText(const std::string& name, std::uint64_t written, std::uint64_t total);

}  // namespace tarn
