// Golden patterns: whole generated patterns written out as text under tests/data/generator, so
// any change to what the generator writes shows up in review. After an intended change, rerun
// with TARN_UPDATE_GOLDEN=1 to rewrite the files, and review the diff.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "engine/pattern_generator.h"

namespace tarn {
namespace {

// Shortest text that reads back as the same float.
std::string number(float value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string patternText(const Pattern& p) {
    std::ostringstream out;
    out << "genre " << genreName(p.genre) << "  preset " << p.preset << " (" << stylePresets()[p.preset].name
        << ")\n";
    out << "energy " << number(p.energy) << "  groove " << number(p.groove) << "  lock " << number(p.lock)
        << "  swing " << number(p.swing) << "\n";
    out << "seed " << p.seed << "  root " << p.rootNote << "  scale " << scales[p.scale].name << "\n";
    for (std::size_t b = 0; b < p.bars.size(); ++b) {
        char kick[8];
        std::snprintf(kick, sizeof kick, "0x%04x", p.kicks[b]);
        out << "\nbar " << b + 1 << "  kick " << kick << "\n";
        for (const PatternNote& n : p.bars[b]) {
            char head[48];
            std::snprintf(head, sizeof head, "  step %2d  degree %2d", n.step, n.degree);
            out << head << "  gate " << number(n.gate) << "  accent " << number(n.accent);
            if (n.nudge != 0.0f) out << "  nudge " << number(n.nudge);
            if (n.slide) out << "  slide";
            if (n.anchor) out << "  anchor";
            out << "\n";
        }
    }
    return out.str();
}

std::string fixturePath(const std::string& name) {
    return std::string(TARN_SOURCE_DIR) + "/tests/data/generator/" + name + ".txt";
}

struct Golden {
    const char* name;
    std::function<Pattern()> settings;
};

Pattern styled(int bars, int preset, std::uint32_t seed, int root = 36) {
    Pattern settings(bars, root, 0);
    applyStylePreset(settings, preset);
    settings.seed = seed;
    return settings;
}

const Golden kGoldens[] = {
    // What the Editor builds at start-up: four bars of "House: Deep", seed 42, no kicks drawn.
    {"house_deep_editor_start", [] { return styled(4, 0, 42); }},
    // The screenshot's pattern: eight bars of "Acid: Squelch", seed 42.
    {"acid_squelch_screenshot", [] { return styled(8, 4, 42); }},
    {"acid_busy_16_bars",
     [] {
         Pattern s = styled(16, 5, 0xDEADBEEFu, 33);
         s.kicks.assign(16, 0x1111);
         return s;
     }},
    {"techno_rolling_kick_changes",
     [] {
         Pattern s = styled(8, 2, 7);
         s.kicks = {0x1111, 0x1111, 0x1111, 0x1115, 0x1111, 0x0101, 0x1111, 0};
         return s;
     }},
    {"trance_offbeat_dorian",
     [] {
         Pattern s = styled(4, 6, 123456789u, 40);
         s.scale = 3;
         s.kicks.assign(4, 0x1111);
         return s;
     }},
    // DnB bars with mask 0 are written against 0x0401 and still store 0.
    {"dnb_rolling_seed_zero", [] { return styled(8, 7, 0); }},
    {"dubstep_half_time", [] { return styled(4, 9, 0xFFFFFFFFu); }},
    // A genre against another genre's style, low energy: many drops and drop runs.
    {"house_genre_techno_minimal_style",
     [] {
         Pattern s = styled(8, 3, 99);
         s.genre = 0;
         s.energy = 0.05f;
         s.kicks.assign(8, 0x1111);
         return s;
     }},
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return in ? text.str() : std::string();
}

TEST(GoldenPatterns, GeneratorOutputMatchesTheWrittenPatterns) {
    const bool update = std::getenv("TARN_UPDATE_GOLDEN") != nullptr;
    for (const Golden& golden : kGoldens) {
        SCOPED_TRACE(golden.name);
        const std::string text = patternText(generatePattern(golden.settings()));
        const std::string path = fixturePath(golden.name);
        if (update) {
            std::ofstream(path, std::ios::binary) << text;
            continue;
        }
        const std::string expected = readFile(path);
        ASSERT_FALSE(expected.empty()) << "missing " << path;
        EXPECT_EQ(text, expected);
    }
}

}  // namespace
}  // namespace tarn
