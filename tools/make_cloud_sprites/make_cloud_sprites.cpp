// Writes the cloud demo's sprite sheet: 8 x 4 cells of soft cloud puffs, made from an
// integer hash so every run gives the same bytes, saved as a run-length encoded 32-bit TGA.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int SHEET_WIDTH = 1024;
constexpr int SHEET_HEIGHT = 512;
constexpr int CELLS_ACROSS = 8;
constexpr int CELLS_DOWN = 4;
constexpr int CELL_SIZE = SHEET_WIDTH / CELLS_ACROSS; // 128, and SHEET_HEIGHT / CELLS_DOWN
constexpr double EDGE_CLEAR = 4.0; // texels next to each cell edge that stay fully clear
constexpr double EDGE_SOFT = 14.0; // texels over which a puff fades out towards that band

static_assert(SHEET_HEIGHT / CELLS_DOWN == CELL_SIZE);

uint32_t Hash(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352du;
    x ^= x >> 15;
    x *= 0x846ca68bu;
    x ^= x >> 16;
    return x;
}

uint32_t Hash3(int32_t a, int32_t b, uint32_t seed) {
    return Hash(static_cast<uint32_t>(a) * 0x9E3779B1u ^ Hash(static_cast<uint32_t>(b) + seed));
}

double Unit(uint32_t h) {
    return (h & 0xFFFFFF) / double(0x1000000);
} // [0, 1)

double Smooth(double t) {
    return t * t * (3.0 - 2.0 * t);
}

double SmoothStep(double edge0, double edge1, double x) {
    return Smooth(std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0));
}

// Value noise on the integer lattice, in [0, 1).
double ValueNoise(double x, double y, uint32_t seed) {
    const double fx = std::floor(x), fy = std::floor(y);
    const int32_t ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
    const double tx = Smooth(x - fx), ty = Smooth(y - fy);
    const double a = Unit(Hash3(ix, iy, seed)), b = Unit(Hash3(ix + 1, iy, seed));
    const double c = Unit(Hash3(ix, iy + 1, seed)), d = Unit(Hash3(ix + 1, iy + 1, seed));
    const double top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

// Fractal sum of octaves, normalised back to [0, 1).
double Fractal(double x, double y, uint32_t seed, int octaves) {
    double sum = 0.0, amplitude = 1.0, total = 0.0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * ValueNoise(x, y, seed + 1013u * static_cast<uint32_t>(i));
        total += amplitude;
        x = x * 2.03 + 17.1;
        y = y * 2.03 - 9.7;
        amplitude *= 0.5;
    }
    return sum / total;
}

struct Lobe {
    double X, Y, Radius, Weight;
};

// One puff: a handful of overlapping soft lobes, each cell its own arrangement.
std::vector<Lobe> PuffLobes(uint32_t seed) {
    std::vector<Lobe> lobes;
    const int count = 4 + static_cast<int>(Hash(seed) % 4);
    for (int i = 0; i < count; ++i) {
        const uint32_t h = Hash(seed * 31u + static_cast<uint32_t>(i) * 7919u + 1u);
        const double angle = Unit(h) * 6.283185307179586;
        const double reach = 0.08 + 0.16 * Unit(Hash(h));
        Lobe lobe;
        lobe.X = 0.5 + std::cos(angle) * reach * 1.2;
        lobe.Y = 0.5 + std::sin(angle) * reach * 0.75;
        lobe.Radius = 0.11 + 0.09 * Unit(Hash(h ^ 0xA5A5A5A5u));
        lobe.Weight = 0.6 + 0.6 * Unit(Hash(h + 0x51ED27u));
        lobes.push_back(lobe);
    }
    lobes.push_back(Lobe{0.5, 0.52, 0.17, 0.9}); // a core, so no puff falls apart
    return lobes;
}

// Cloud density at (u, v) of a cell, v growing downwards, both in [0, 1].
double Density(double u, double v, uint32_t seed, const std::vector<Lobe>& lobes) {
    // Warp the lookup so lobe outlines turn ragged and wispy rather than round.
    const double wu = u + 0.10 * (Fractal(u * 3.0, v * 3.0, seed + 11u, 4) - 0.5);
    const double wv = v + 0.10 * (Fractal(u * 3.0 + 5.2, v * 3.0 + 1.3, seed + 23u, 4) - 0.5);
    double shape = 0.0;
    for (const Lobe& lobe : lobes) {
        const double dx = wu - lobe.X, dy = wv - lobe.Y;
        shape += lobe.Weight * std::exp(-(dx * dx + dy * dy) / (lobe.Radius * lobe.Radius));
    }
    shape = 1.0 - std::exp(-1.3 * shape);
    // Billowy detail: a fractal sum with its contrast raised, so thin and thick patches mix.
    const double detail = Fractal(u * 4.5, v * 4.5, seed + 101u, 5);
    const double billow = std::clamp((detail - 0.3) * 1.7, 0.0, 1.0);
    return shape * (0.55 + 0.65 * billow) - 0.16;
}

struct Pixel {
    uint8_t B, G, R, A; // as stored in the file
    bool operator==(const Pixel&) const = default;
};

// The sheet in picture order, top row first.
std::vector<Pixel> MakeSheet() {
    std::vector<Pixel> sheet(size_t{SHEET_WIDTH} * SHEET_HEIGHT, Pixel{0, 0, 0, 0});
    for (int cy = 0; cy < CELLS_DOWN; ++cy) {
        for (int cx = 0; cx < CELLS_ACROSS; ++cx) {
            const uint32_t seed = Hash(static_cast<uint32_t>(cy * CELLS_ACROSS + cx) + 0xC10D5u);
            const std::vector<Lobe> lobes = PuffLobes(seed);
            for (int y = 0; y < CELL_SIZE; ++y) {
                for (int x = 0; x < CELL_SIZE; ++x) {
                    const double u = (x + 0.5) / CELL_SIZE, v = (y + 0.5) / CELL_SIZE;
                    // Distance in texels to the nearest cell edge: a soft band that the
                    // noise makes irregular, then a clear margin against filter bleeding.
                    const double edge = std::min(std::min(x + 0.5, CELL_SIZE - x - 0.5),
                                                 std::min(y + 0.5, CELL_SIZE - y - 0.5));
                    const double ragged = EDGE_SOFT * Fractal(u * 6.0, v * 6.0, seed + 7u, 3);
                    const double window = SmoothStep(EDGE_CLEAR, EDGE_CLEAR + 4.0 + ragged, edge);
                    if (window <= 0.0) continue;
                    const double dx = u - 0.5, dy = v - 0.5;
                    const double radial =
                        1.0 -
                        SmoothStep(0.28, 0.5,
                                   std::sqrt(dx * dx + dy * dy) *
                                       (0.85 + 0.3 * Fractal(u * 4.0, v * 4.0, seed + 13u, 2)));
                    const double density = Density(u, v, seed, lobes) * radial * window;
                    const double alpha = 0.9 * SmoothStep(0.0, 0.8, density);
                    if (alpha <= 0.0) continue;
                    // Lit from above: tops bright white, undersides a soft blue-grey, and
                    // texels with more cloud just above them a little in shadow.
                    const double over =
                        std::max(0.0, Density(u, v - 0.05, seed, lobes) * radial - density);
                    const double above = 1.0 - v;
                    const double shade = std::clamp(0.74 + 0.26 * above - 0.25 * over, 0.55, 1.0);
                    const double r = shade * 0.97, g = shade * 0.985;
                    const double b = std::min(1.0, shade * 1.04);
                    Pixel& p = sheet[size_t(cy * CELL_SIZE + y) * SHEET_WIDTH + cx * CELL_SIZE + x];
                    p.A = static_cast<uint8_t>(std::lround(alpha * 255.0));
                    // Premultiplied, computed from the stored alpha so colour never exceeds it.
                    const double a = p.A / 255.0;
                    p.R = static_cast<uint8_t>(std::lround(r * a * 255.0));
                    p.G = static_cast<uint8_t>(std::lround(g * a * 255.0));
                    p.B = static_cast<uint8_t>(std::lround(b * a * 255.0));
                }
            }
        }
    }
    return sheet;
}

// Run-length packets for one row: runs of 2 or more equal pixels, raw packets between.
void EncodeRow(const Pixel* row, int width, std::vector<uint8_t>& out) {
    auto put = [&out](const Pixel& p) { out.insert(out.end(), {p.B, p.G, p.R, p.A}); };
    int i = 0;
    while (i < width) {
        int run = 1;
        while (i + run < width && run < 128 && row[i + run] == row[i])
            ++run;
        if (run >= 2) {
            out.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
            put(row[i]);
            i += run;
            continue;
        }
        int raw = 1;
        while (i + raw < width && raw < 128 &&
               !(i + raw + 1 < width && row[i + raw] == row[i + raw + 1]))
            ++raw;
        out.push_back(static_cast<uint8_t>(raw - 1));
        for (int k = 0; k < raw; ++k)
            put(row[i + k]);
        i += raw;
    }
}

bool WriteSheet(const char* path, const std::vector<Pixel>& sheet) {
    std::vector<uint8_t> file = {
        0,
        0,
        10, // no image ID, no colour map, run-length true colour
        0,
        0,
        0,
        0,
        0, // colour map specification
        0,
        0,
        0,
        0, // origin
        SHEET_WIDTH & 0xFF,
        SHEET_WIDTH >> 8,
        SHEET_HEIGHT & 0xFF,
        SHEET_HEIGHT >> 8,
        32,
        8, // 32 bits, 8 of them alpha, bottom-left origin
    };
    // Bottom-left origin: the picture's bottom row comes first, so its top row ends up at
    // the texture's t = 1 edge.
    for (int y = SHEET_HEIGHT - 1; y >= 0; --y)
        EncodeRow(&sheet[size_t(y) * SHEET_WIDTH], SHEET_WIDTH, file);

    std::FILE* f = std::fopen(path, "wb");
    if (f == nullptr) {
        std::perror(path);
        return false;
    }
    const bool written = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    if (std::fclose(f) != 0 || !written) {
        std::perror(path);
        std::remove(path);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 2) {
        std::fprintf(stderr, "usage: make_cloud_sprites [output.tga]\n");
        return 2;
    }
    const char* path = argc == 2 ? argv[1] : "CloudsParticles4.tga";
    return WriteSheet(path, MakeSheet()) ? 0 : 1;
}
