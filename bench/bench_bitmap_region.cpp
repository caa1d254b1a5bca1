// Bitmap-to-region on a 2048 x 2048 picture with a noisy mask, against a plain scan of the
// same pixels plus one pixman build from all its rectangles at once, in the same run.
// BitmapToRegion also reads and decodes the file and converts it through BitBlt; the
// reference starts from the 32-bit pixels already in memory. Prints the ratio per mask.
#include <pixman.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "lumora/image_button.h"
#include "platform/win32.h"

namespace {

constexpr int kSide = 2048;
constexpr uint32_t kMagenta = 0xFF00FF;

struct Picture {
    const char* Name;
    std::string Path;
    std::vector<uint32_t> Bits32; // 0x00RRGGBB, bottom row first, as BitmapToRegion scans
};

// "pixels": every pixel transparent or not at random (runs of two on average, the most
// rectangles a region can be asked to hold); "blobs": random discs, long runs.
std::vector<Picture>& Pictures() {
    static std::vector<Picture> pictures = {{"pixels", {}, {}}, {"blobs", {}, {}}};
    return pictures;
}

std::vector<uint32_t> MakeMask(const std::string& kind) {
    std::mt19937 rng(1234);
    std::vector<uint32_t> top(size_t{kSide} * kSide); // top row first
    for (uint32_t& p : top)
        p = 0x000000 | (rng() & 0x7F7F7F); // never near magenta
    if (kind == "pixels") {
        for (uint32_t& p : top)
            if (rng() & 1) p = kMagenta;
    } else {
        std::vector<uint8_t> inside(top.size(), 0);
        for (int i = 0; i < 3000; ++i) {
            const int cx = static_cast<int>(rng() % kSide), cy = static_cast<int>(rng() % kSide);
            const int r = 4 + static_cast<int>(rng() % 40);
            for (int y = std::max(0, cy - r); y < std::min(kSide, cy + r); ++y)
                for (int x = std::max(0, cx - r); x < std::min(kSide, cx + r); ++x)
                    if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < r * r)
                        inside[size_t(y) * kSide + x] = 1;
        }
        for (size_t i = 0; i < top.size(); ++i)
            if (!inside[i]) top[i] = kMagenta;
    }
    return top;
}

void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int k = 0; k < 4; ++k)
        v.push_back(static_cast<uint8_t>(x >> (8 * k)));
}

// A 24-bit bottom-up BMP of the picture, and its 32-bit bottom-up pixels.
void WritePicture(Picture& p, const std::string& dir) {
    const std::vector<uint32_t> top = MakeMask(p.Name);
    const size_t stride = size_t{kSide} * 3;
    std::vector<uint8_t> file{'B', 'M'};
    Put32(file, static_cast<uint32_t>(54 + stride * kSide));
    Put32(file, 0);
    Put32(file, 54);
    for (uint32_t v : {40u, uint32_t(kSide), uint32_t(kSide)})
        Put32(file, v);
    file.insert(file.end(), {1, 0, 24, 0});
    for (int i = 0; i < 6; ++i)
        Put32(file, 0);
    p.Bits32.resize(top.size());
    for (int row = 0; row < kSide; ++row) {
        const uint32_t* src = &top[size_t(kSide - 1 - row) * kSide];
        for (int x = 0; x < kSide; ++x) {
            file.push_back(static_cast<uint8_t>(src[x]));
            file.push_back(static_cast<uint8_t>(src[x] >> 8));
            file.push_back(static_cast<uint8_t>(src[x] >> 16));
        }
        std::copy(src, src + kSide, &p.Bits32[size_t(row) * kSide]);
    }
    p.Path = dir + "/" + p.Name + ".bmp";
    std::ofstream(p.Path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
}

void BM_BitmapToRegion(benchmark::State& state, Picture* p) {
    for (auto _ : state) {
        const platform::HRGN rgn = Lumora::BitmapToRegion(p->Path.c_str(), 0x00FF00FF, 1);
        if (!rgn) {
            state.SkipWithError("BitmapToRegion gave 0");
            break;
        }
        platform::DeleteObject(rgn);
    }
    state.counters["rects"] = static_cast<double>(Lumora::BitmapToRegionTrace.Rects);
}

// The same transparent test on the same pixels, every run one box, one pixman build: what
// a call starting from the pixels in memory would do, its box list made afresh each time.
void BM_ScanAndPixman(benchmark::State& state, Picture* p) {
    size_t rects = 0;
    for (auto _ : state) {
        std::vector<pixman_box32_t> boxes;
        for (int y = 0; y < kSide; ++y) {
            const uint32_t* row = &p->Bits32[size_t(kSide - 1 - y) * kSide];
            int x = 0;
            while (x < kSide) {
                const int x0 = x;
                while (x < kSide) {
                    const uint32_t v = row[x];
                    const uint32_t r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, b = v & 0xFF;
                    if (r == 0xFF && g <= 1 && b == 0xFF) break; // 0xFF00FF up to 1
                    ++x;
                }
                if (x > x0) boxes.push_back({x0, y, x, y + 1});
                ++x;
            }
        }
        pixman_region32_t region;
        pixman_region32_init_rects(&region, boxes.data(), static_cast<int>(boxes.size()));
        benchmark::DoNotOptimize(pixman_region32_n_rects(&region));
        pixman_region32_fini(&region);
        rects = boxes.size();
    }
    state.counters["rects"] = static_cast<double>(rects);
}

// Prints, after the usual table, how many times the reference's time BitmapToRegion takes.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                times_[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const Picture& p : Pictures()) {
            const auto ours = times_.find(std::string("BitmapToRegion/") + p.Name);
            const auto ref = times_.find(std::string("ScanAndPixman/") + p.Name);
            if (ours == times_.end() || ref == times_.end()) continue;
            std::printf("BitmapToRegion/%s: %.2fx the plain scan plus one pixman build "
                        "(target <= 1.5x)\n",
                        p.Name, ours->second / ref->second);
        }
    }

  private:
    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char** argv) {
    char tmpl[] = "/tmp/bench_bitmap_region_XXXXXX";
    if (mkdtemp(tmpl) == nullptr) return 1;
    for (Picture& p : Pictures()) {
        WritePicture(p, tmpl);
        benchmark::RegisterBenchmark((std::string("BitmapToRegion/") + p.Name).c_str(),
                                     BM_BitmapToRegion, &p)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("ScanAndPixman/") + p.Name).c_str(),
                                     BM_ScanAndPixman, &p)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::filesystem::remove_all(tmpl);
    return 0;
}
