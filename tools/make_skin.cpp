// Writes tarn-skin.png, the 76 x 76 seamless background tile, from fixed seeds: make_skin OUT.png
//
// The tile is periodic value noise in the theme's dark olive palette. Every noise layer's lattice
// divides the tile size, and lattice points wrap, so the right edge flows into the left and the bottom
// into the top. The colours stay within a few steps of the window fill (14, 18, 8) so that text
// contrast is the same over the tile as over the plain fill.
#include <stb_image_write.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int tileSize = 76;

// A fixed integer hash of a lattice point and a layer seed, in [0, 1).
float latticeValue(int x, int y, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B1u;
    h ^= static_cast<uint32_t>(x) * 0x85EBCA77u;
    h = (h ^ (h >> 15)) * 0x2C1B3C6Du;
    h ^= static_cast<uint32_t>(y) * 0xC2B2AE3Du;
    h = (h ^ (h >> 13)) * 0x297A2D39u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xFFFFFFu) / 16777216.0f;
}

float smooth(float t) { return t * t * (3.0f - 2.0f * t); }

// Value noise over a lattice of `cells` x `cells` points that wraps around the tile.
float periodicNoise(int px, int py, int cells, uint32_t seed) {
    const float cellSize = static_cast<float>(tileSize) / static_cast<float>(cells);
    const float fx = (static_cast<float>(px) + 0.5f) / cellSize;
    const float fy = (static_cast<float>(py) + 0.5f) / cellSize;
    const int x0 = static_cast<int>(std::floor(fx));
    const int y0 = static_cast<int>(std::floor(fy));
    const float tx = smooth(fx - static_cast<float>(x0));
    const float ty = smooth(fy - static_cast<float>(y0));
    auto at = [&](int x, int y) {
        return latticeValue(((x % cells) + cells) % cells, ((y % cells) + cells) % cells, seed);
    };
    const float top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * tx;
    const float bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * tx;
    return top + (bottom - top) * ty;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_skin OUT.png\n");
        return 2;
    }
    // Layers: broad mottling, medium grain and a faint fibre; lattice counts divide 76.
    struct Layer {
        int cells;
        uint32_t seed;
        float weight;
    };
    constexpr std::array<Layer, 4> layers{{{4, 11, 0.45f}, {19, 23, 0.30f}, {38, 37, 0.15f}, {76, 53, 0.10f}}};

    // Palette ends: the deep fill and a lighter olive, both dark enough for the theme's text.
    constexpr float dark[3] = {11.0f, 15.0f, 6.0f};
    constexpr float light[3] = {24.0f, 31.0f, 15.0f};

    std::vector<uint8_t> rgb(static_cast<size_t>(tileSize) * tileSize * 3);
    for (int y = 0; y < tileSize; ++y) {
        for (int x = 0; x < tileSize; ++x) {
            float n = 0.0f;
            for (const Layer& layer : layers) n += layer.weight * periodicNoise(x, y, layer.cells, layer.seed);
            for (int c = 0; c < 3; ++c) {
                const float v = dark[c] + (light[c] - dark[c]) * n;
                rgb[(static_cast<size_t>(y) * tileSize + x) * 3 + c] = static_cast<uint8_t>(std::lround(v));
            }
        }
    }

    std::vector<uint8_t> png;
    auto collect = [](void* context, void* data, int size) {
        auto* bytes = static_cast<std::vector<uint8_t>*>(context);
        bytes->insert(bytes->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
    };
    if (stbi_write_png_to_func(collect, &png, tileSize, tileSize, 3, rgb.data(), tileSize * 3) == 0 || png.empty()) {
        std::fprintf(stderr, "make_skin: could not encode the tile\n");
        return 1;
    }
    // stbi_write_png reports success on a failed write, so the bytes are written with checked calls.
    std::FILE* out = std::fopen(argv[1], "wb");
    bool ok = out != nullptr && std::fwrite(png.data(), 1, png.size(), out) == png.size();
    if (out != nullptr && std::fclose(out) != 0) ok = false;
    if (!ok) {
        std::fprintf(stderr, "make_skin: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
