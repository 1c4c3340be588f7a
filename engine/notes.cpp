// Pattern timing on the 96-ticks-a-beat grid, play events in frames, and the phrase length.
#include "engine/notes.h"

#include <algorithm>
#include <cmath>

namespace tarn {
namespace {

// Swing may delay an odd step by at most 0.45 of a step, and swing plus nudge stay within
// 0.45 of a step either way, so a note never crosses into its neighbour's step.
constexpr float kMaxStepShift = 0.45f;

// clamp that reads a NaN as 0 (a note without a usable offset sits on its step).
float clampOrZero(float value, float lo, float hi) {
    if (std::isnan(value)) return 0.0f;
    return std::clamp(value, lo, hi);
}

std::int64_t startTickOf(std::int64_t bar, const PatternNote& n, float swing) {
    const std::int64_t offset = std::lroundf(noteStepShift(n, swing) * static_cast<float>(kTicksPerStep));
    const std::int64_t tick =
        bar * kTicksPerBar + static_cast<std::int64_t>(n.step) * kTicksPerStep + offset;
    return std::max<std::int64_t>(tick, 0);
}

}  // namespace

float noteStepShift(const PatternNote& note, float swing) {
    const float swingPart = (note.step & 1) != 0 ? clampOrZero(swing, 0.0f, kMaxStepShift) : 0.0f;
    return clampOrZero(swingPart + note.nudge, -kMaxStepShift, kMaxStepShift);
}

std::int64_t truncSaturating(double value) {
    constexpr double kLimit = 9007199254740992.0;  // 2^53
    if (std::isnan(value)) return 0;
    return static_cast<std::int64_t>(std::clamp(value, -kLimit, kLimit));
}

std::vector<TimedNote> timePatternNotes(const Pattern& pattern) {
    std::vector<TimedNote> out;
    for (std::size_t b = 0; b < pattern.bars.size(); ++b) {
        const auto& bar = pattern.bars[b];
        const auto barIndex = static_cast<std::int64_t>(b);
        for (std::size_t i = 0; i < bar.size(); ++i) {
            const PatternNote& n = bar[i];
            // The sum wraps like the 32-bit addition it is; above 127 as unsigned also
            // catches every negative note.
            const auto note = static_cast<std::uint32_t>(pattern.rootNote) +
                              static_cast<std::uint32_t>(n.degree);
            if (note > 127u) continue;

            const std::int64_t start = startTickOf(barIndex, n, pattern.swing);
            std::int64_t end =
                start + truncSaturating(static_cast<double>(n.gate * static_cast<float>(kTicksPerStep)));
            // One tick of air before a repeated pitch; only the first later note of the same
            // degree is looked at.
            for (std::size_t j = i + 1; j < bar.size(); ++j) {
                if (bar[j].degree != n.degree) continue;
                const std::int64_t next = startTickOf(barIndex, bar[j], pattern.swing);
                if (end > next) end = next - 1;
                break;
            }
            out.push_back(TimedNote{static_cast<std::int32_t>(note), start,
                                    std::max<std::int64_t>(end - start, 1), n.accent});
        }
    }
    return out;
}

std::vector<NoteEvent> patternToNotes(const Pattern& pattern) {
    const std::vector<TimedNote> timed = timePatternNotes(pattern);
    std::vector<NoteEvent> notes;
    notes.reserve(timed.size());
    for (const TimedNote& t : timed) {
        notes.push_back(NoteEvent{static_cast<double>(t.startTick) / kTicksPerBeat,
                                  static_cast<double>(t.lengthTicks) / kTicksPerBeat, t.note,
                                  (t.accent * 87.0f + 40.0f) / 127.0f});
    }
    return notes;
}

double framesPerBeat(const AudioConfig& config) {
    const double fpb = static_cast<double>(config.sampleRate) * 60.0 / static_cast<double>(config.tempo);
    if (!(config.sampleRate > 0.0f) || !(config.tempo > 0.0f) || !std::isfinite(fpb)) return 0.0;
    return fpb;
}

std::vector<PlayEvent> notesToEvents(const NoteEvent* notes, std::size_t count, double offsetBeats,
                                     double fpb, float velocityScale) {
    std::vector<PlayEvent> events;
    events.reserve(2 * count);
    for (std::size_t i = 0; i < count; ++i) {
        const NoteEvent& n = notes[i];
        const float velocity = n.velocity * velocityScale;
        const double on = offsetBeats + n.start;
        events.push_back(PlayEvent{truncSaturating(on * fpb), 1, n.note, velocity});
        events.push_back(PlayEvent{truncSaturating((on + n.length) * fpb), 0, n.note, velocity});
    }
    return events;
}

bool playEventBefore(const PlayEvent& a, const PlayEvent& b) {
    if (a.frame != b.frame) return a.frame < b.frame;
    return a.on == 0 && b.on != 0;
}

void sortPlayEvents(std::vector<PlayEvent>& events) {
    std::stable_sort(events.begin(), events.end(), playEventBefore);
}

double notesEndBeats(const NoteEvent* notes, std::size_t count) {
    double end = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        const double e = notes[i].start + notes[i].length;
        if (e > end) end = e;  // a NaN end never wins
    }
    return end;
}

std::int64_t phraseLengthSamples(const NoteEvent* notes, std::size_t count, const AudioConfig& config) {
    const double bars = std::ceil(notesEndBeats(notes, count) * 0.25);
    return truncSaturating(bars * 4.0 * framesPerBeat(config));
}

}  // namespace tarn
