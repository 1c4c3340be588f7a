// Fuzzes the generator with arbitrary settings, as a corrupt session file could hand it, and
// checks every generated bar still holds together.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/pattern_generator.h"

namespace {

struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    template <typename T>
    T next() {
        T value{};
        const std::size_t n = size < sizeof(T) ? size : sizeof(T);
        std::memcpy(&value, data, n);
        data += n;
        size -= n;
        return value;
    }
};

void check(bool holds) {
    if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in{data, size};
    const int bars = in.next<std::uint8_t>() % 33;  // 0 bars is how an emptied pattern arrives
    tarn::Pattern settings(1, 36, 0);
    settings.bars.resize(static_cast<std::size_t>(bars));
    settings.genre = in.next<std::int32_t>();
    settings.preset = in.next<std::int32_t>();
    settings.energy = in.next<float>();
    settings.groove = in.next<float>();
    settings.lock = in.next<float>();
    settings.seed = in.next<std::uint32_t>();
    settings.rootNote = in.next<std::int32_t>();
    settings.scale = in.next<std::int32_t>();
    settings.swing = in.next<float>();
    settings.kicks.resize(in.next<std::uint8_t>() % 40);
    for (auto& mask : settings.kicks) mask = in.next<std::uint16_t>();

    const tarn::Pattern p = tarn::generatePattern(settings);
    check(p.bars.size() == static_cast<std::size_t>(bars < 1 ? 1 : bars));
    check(p.kicks.size() == p.bars.size());
    check(p.genre >= 0 && p.genre < tarn::kGenreCount && p.scale >= 0 && p.scale < tarn::kScaleCount);
    for (const auto& bar : p.bars) {
        bool anchored = false;
        for (std::size_t i = 0; i < bar.size(); ++i) {
            check(bar[i].step >= 0 && bar[i].step <= 15);
            check(i == 0 || bar[i].step > bar[i - 1].step);
            check(tarn::isScaleTone(bar[i].degree, p.scale));
            anchored = anchored || bar[i].anchor;
        }
        check(anchored);
    }

    // The core on its own, with a mutation strength no settings head can produce.
    tarn::GeneratorParams params;
    params.bars = bars;
    params.energyMapped = in.next<float>();
    params.energy = settings.energy;
    params.scale = settings.scale;
    params.useScale = in.next<std::uint8_t>() & 1;
    params.kicks = settings.kicks;
    params.kickWeights = {in.next<float>(), in.next<float>(), in.next<float>(), in.next<float>()};
    const tarn::Pattern core = tarn::generateFromSeed(settings.genre, settings.seed, params);
    check(core.bars.size() == p.bars.size());
    return 0;
}
