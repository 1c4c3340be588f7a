// The generator's constant tables, transcribed as single-precision values nearest the decimals.
#include "engine/generator_tables.h"

#include <algorithm>

namespace tarn {
namespace {

// Template notes: {step, degree, gate, accent, slide, anchor, nudge}. The first note of every
// template is its only anchor.
constexpr PatternNote note(int step, int degree, float gate, float accent, int slide = 0) {
    return PatternNote{step, degree, gate, accent, static_cast<std::uint8_t>(slide), 0, 0.0f};
}
constexpr PatternNote anchorNote(int step, int degree, float gate, float accent) {
    return PatternNote{step, degree, gate, accent, 0, 1, 0.0f};
}
constexpr int kSlide = 1;

constexpr PatternNote kHouse0[] = {anchorNote(2, 0, 0.9f, 0.9f), note(6, 0, 0.5f, 0.7f),
                                   note(8, 12, 0.5f, 0.8f), note(14, 0, 1.5f, 0.8f)};
constexpr PatternNote kHouse1[] = {anchorNote(0, 0, 1.5f, 1.0f), note(6, 0, 0.5f, 0.6f),
                                   note(7, 12, 0.5f, 0.7f), note(10, 0, 0.5f, 0.7f),
                                   note(14, 0, 0.9f, 0.8f)};
constexpr PatternNote kHouse2[] = {anchorNote(0, 0, 0.5f, 1.0f), note(3, 0, 0.5f, 0.6f),
                                   note(6, 12, 1.5f, 0.8f), note(12, 0, 2.5f, 0.7f)};

constexpr PatternNote kTechno0[] = {anchorNote(0, 0, 0.9f, 1.0f), note(2, 0, 0.4f, 0.6f),
                                    note(4, 0, 0.4f, 0.8f),       note(6, 0, 0.4f, 0.6f),
                                    note(8, 0, 0.9f, 0.9f),       note(10, 0, 0.4f, 0.6f),
                                    note(12, 0, 0.4f, 0.8f),      note(14, 0, 0.4f, 0.6f)};
constexpr PatternNote kTechno1[] = {anchorNote(0, 0, 0.9f, 1.0f), note(2, 0, 0.4f, 0.6f),
                                    note(4, 0, 0.4f, 0.8f),       note(6, 0, 0.4f, 0.6f),
                                    note(8, 0, 1.5f, 0.9f),       note(12, 0, 0.4f, 0.8f),
                                    note(13, 0, 0.4f, 0.5f),      note(14, 0, 0.4f, 0.7f),
                                    note(15, 0, 0.4f, 0.5f)};
constexpr PatternNote kTechno2[] = {anchorNote(0, 0, 1.5f, 1.0f), note(3, 0, 0.4f, 0.6f),
                                    note(4, 0, 0.4f, 0.7f),       note(6, 0, 1.5f, 0.8f),
                                    note(10, 0, 0.9f, 0.9f),      note(12, 12, 0.4f, 0.8f),
                                    note(14, 0, 0.4f, 0.6f)};

constexpr PatternNote kAcid0[] = {anchorNote(0, 0, 0.5f, 1.0f),  note(1, 0, 1.5f, 0.5f),
                                  note(2, 12, 0.9f, 0.8f, kSlide), note(4, 0, 0.5f, 0.7f),
                                  note(7, 10, 0.5f, 0.6f),        note(8, 0, 1.5f, 0.9f),
                                  note(11, 3, 0.5f, 0.6f),        note(12, 0, 0.5f, 0.8f),
                                  note(14, 12, 0.9f, 0.7f)};
constexpr PatternNote kAcid1[] = {anchorNote(0, 0, 0.9f, 1.0f), note(3, 0, 1.5f, 0.6f),
                                  note(4, 1, 0.5f, 0.5f, kSlide), note(6, 12, 1.5f, 0.8f),
                                  note(10, 0, 0.5f, 0.9f),       note(11, 0, 0.5f, 0.5f),
                                  note(13, 10, 1.5f, 0.7f)};
constexpr PatternNote kAcid2[] = {anchorNote(0, 0, 1.5f, 1.0f),  note(2, 0, 1.5f, 0.6f),
                                  note(3, 12, 0.9f, 0.8f, kSlide), note(6, 0, 1.5f, 0.7f),
                                  note(7, 3, 0.5f, 0.6f, kSlide),  note(12, 0, 0.9f, 0.9f),
                                  note(14, 7, 0.9f, 0.7f)};

constexpr PatternNote kTrance0[] = {anchorNote(1, 0, 0.4f, 0.7f), note(3, 0, 0.4f, 0.7f),
                                    note(5, 0, 0.9f, 0.8f),       note(7, 0, 0.4f, 0.7f),
                                    note(9, 0, 0.4f, 0.7f),       note(11, 0, 0.4f, 0.7f),
                                    note(13, 0, 0.9f, 0.8f),      note(15, 0, 0.4f, 0.7f)};
constexpr PatternNote kTrance1[] = {anchorNote(1, 0, 0.4f, 0.7f), note(3, 0, 0.4f, 0.7f),
                                    note(5, 0, 0.4f, 0.8f),       note(7, 0, 0.4f, 0.7f),
                                    note(9, 0, 0.4f, 0.7f),       note(11, 0, 0.4f, 0.7f),
                                    note(12, 12, 1.9f, 0.9f)};
constexpr PatternNote kTrance2[] = {anchorNote(3, 0, 0.4f, 0.7f), note(5, 0, 0.4f, 0.7f),
                                    note(7, 0, 0.9f, 0.8f),       note(9, 0, 0.4f, 0.7f),
                                    note(11, 0, 0.4f, 0.7f),      note(13, 0, 0.4f, 0.8f),
                                    note(15, 7, 0.9f, 0.7f)};

constexpr PatternNote kDnb0[] = {anchorNote(0, 0, 12.5f, 1.0f)};
constexpr PatternNote kDnb1[] = {anchorNote(0, 0, 5.0f, 1.0f), note(10, 12, 5.0f, 0.8f)};
constexpr PatternNote kDnb2[] = {anchorNote(0, 0, 2.5f, 1.0f), note(3, 0, 0.9f, 0.6f),
                                 note(6, 10, 0.9f, 0.8f), note(11, 0, 2.5f, 0.7f)};

constexpr PatternNote kDubstep0[] = {anchorNote(0, 0, 5.0f, 1.0f), note(10, 0, 5.0f, 0.8f)};
constexpr PatternNote kDubstep1[] = {anchorNote(0, 0, 3.0f, 1.0f), note(6, 12, 1.5f, 0.7f),
                                     note(10, 0, 5.0f, 0.9f)};
constexpr PatternNote kDubstep2[] = {anchorNote(0, 0, 1.5f, 1.0f), note(3, 0, 0.9f, 0.6f),
                                     note(8, 10, 3.0f, 0.9f), note(14, 0, 1.5f, 0.7f)};

template <std::size_t N>
constexpr NoteTemplate view(const PatternNote (&notes)[N]) {
    return NoteTemplate{notes, static_cast<std::int32_t>(N)};
}

constexpr PatternStyle kStylePresets[kStylePresetCount] = {
    {"House: Deep", 0, 0.35f, 0.9f, 0.9f, 0.12f, 0.0f, -0.2f},
    {"House: Driving", 0, 0.75f, 0.8f, 1.0f, 0.0f, 0.3f, 0.0f},
    {"Techno: Rolling", 1, 0.7f, 0.7f, 1.0f, 0.0f, 0.2f, 0.6f},
    {"Techno: Minimal", 1, 0.3f, 0.5f, 0.0f, 0.05f, 0.0f, 0.0f},
    {"Acid: Squelch", 2, 0.6f, 0.5f, 0.0f, 0.1f, 0.0f, 0.0f},
    {"Acid: Busy", 2, 0.9f, 0.5f, 0.0f, 0.0f, 0.0f, 0.0f},
    {"Trance: Offbeat roll", 3, 0.6f, 0.9f, 1.0f, 0.0f, 0.5f, 0.5f},
    {"DnB: Rolling", 4, 0.6f, 0.1f, 0.9f, 0.0f, 0.0f, 0.0f},
    {"DnB: Minimal", 4, 0.25f, 0.1f, 0.7f, 0.0f, 0.0f, 0.0f},
    {"Dubstep: Half-time", 5, 0.4f, 0.1f, 0.8f, 0.0f, 0.0f, 0.0f},
};

constexpr const char* kGenreNames[kGenreCount] = {"House", "Techno", "Acid",
                                                  "Trance", "DnB", "Dubstep"};

constexpr GenreRules kGenreRules[kGenreCount] = {
    // House
    {2, 7, 2, 3.0f, 0xdddd, 0x0005, {0, 12, 7, 10, 0, 0}, 4, 0.05f,
     {0.5f, 0.9f, 1.5f, 2.5f}, 4,
     {0.2f, 0.1f, 0.13f, 0.12f, 0.08f, 0.1f, 0.15f, 0.12f}, 0, 0x1111,
     {view(kHouse0), view(kHouse1), view(kHouse2), NoteTemplate{nullptr, 0}}, 3},
    // Techno
    {5, 12, 4, 1.0f, 0xffff, 0x0101, {0, 12, 0, 0, 0, 0}, 2, 0.0f,
     {0.4f, 0.9f, 1.5f, 2.5f}, 4,
     {0.18f, 0.08f, 0.2f, 0.05f, 0.04f, 0.18f, 0.15f, 0.12f}, 0, 0x1111,
     {view(kTechno0), view(kTechno1), view(kTechno2), NoteTemplate{nullptr, 0}}, 3},
    // Acid
    {4, 12, 4, 2.0f, 0xffff, 0x0001, {0, 12, 3, 10, 7, 1}, 6, 0.35f,
     {0.5f, 0.9f, 1.5f, 2.0f}, 4,
     {0.18f, 0.08f, 0.13f, 0.09f, 0.18f, 0.14f, 0.1f, 0.1f}, 0, 0x1111,
     {view(kAcid0), view(kAcid1), view(kAcid2), NoteTemplate{nullptr, 0}}, 3},
    // Trance
    {5, 10, 16, 1.0f, 0xbbbb, 0x000a, {0, 12, 7, 0, 0, 0}, 3, 0.0f,
     {0.4f, 0.9f, 1.9f, 3.0f}, 4,
     {0.14f, 0.08f, 0.13f, 0.17f, 0.13f, 0.14f, 0.09f, 0.12f}, 0, 0x1111,
     {view(kTrance0), view(kTrance1), view(kTrance2), NoteTemplate{nullptr, 0}}, 3},
    // DnB
    {1, 5, 2, 3.0f, 0xffff, 0x0001, {0, 12, 7, 10, 0, 0}, 4, 0.25f,
     {0.9f, 2.5f, 5.0f, 12.5f}, 4,
     {0.18f, 0.05f, 0.18f, 0.13f, 0.13f, 0.14f, 0.16f, 0.1f}, 0, 0x0401,
     {view(kDnb0), view(kDnb1), view(kDnb2), NoteTemplate{nullptr, 0}}, 3},
    // Dubstep
    {2, 5, 2, 2.0f, 0x5d5d, 0x0001, {0, 12, 3, 10, 0, 0}, 4, 0.1f,
     {0.9f, 1.5f, 3.0f, 5.0f}, 4,
     {0.18f, 0.05f, 0.18f, 0.13f, 0.13f, 0.14f, 0.16f, 0.1f}, 0, 0x0001,
     {view(kDubstep0), view(kDubstep1), view(kDubstep2), NoteTemplate{nullptr, 0}}, 3},
};

int clampedGenre(int genre) { return std::clamp(genre, 0, kGenreCount - 1); }

}  // namespace

const std::array<Scale, kScaleCount> scales = {{
    {"Minor", {0, 2, 3, 5, 7, 8, 10, 12}, 8},
    {"Major", {0, 2, 4, 5, 7, 9, 11, 12}, 8},
    {"Minor pentatonic", {0, 3, 5, 7, 10, 12}, 6},
    {"Dorian", {0, 2, 3, 5, 7, 9, 10, 12}, 8},
    {"Phrygian", {0, 1, 3, 5, 7, 8, 10, 12}, 8},
    {"Chromatic", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, 13},
}};

std::span<const PatternStyle> stylePresets() { return std::span<const PatternStyle>(kStylePresets); }

const char* genreName(int genre) { return kGenreNames[clampedGenre(genre)]; }

const GenreRules& genreRules(int genre) { return kGenreRules[clampedGenre(genre)]; }

}  // namespace tarn
