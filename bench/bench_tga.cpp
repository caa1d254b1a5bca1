// TGA decoding throughput: our reader against stb_image on the same 4096 x 4096 files
// (types 2 and 10, 24 and 32 bits), written at start into a temporary folder. Prints, after
// the usual table, how many times faster than stb_image our reader is on each file.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#include <stb/stb_image.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

#include "lumora/textures.h"
#include "platform/hooks.h"
#include "platform/win_types.h"

namespace {

constexpr int kSide = 4096;

struct BenchFile {
    const char* Name;
    uint8_t Type;
    uint8_t Depth;
    std::string Path;
};

std::vector<BenchFile>& Files() {
    static std::vector<BenchFile> files = {
        {"raw24", 2, 24, {}}, {"raw32", 2, 32, {}}, {"rle24", 10, 24, {}}, {"rle32", 10, 32, {}}};
    return files;
}

// A picture like a sprite sheet: stretches of flat colour between noisy detail, so the
// run-length files hold both packet kinds in realistic measure.
std::vector<uint8_t> Picture(int bytesPerPixel) {
    std::vector<uint8_t> px(size_t{kSide} * kSide * bytesPerPixel);
    uint32_t seed = 2463534242u;
    auto next = [&seed] {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        return seed;
    };
    size_t i = 0;
    while (i < size_t{kSide} * kSide) {
        const size_t span = 1 + next() % 48;
        const bool flat = next() % 3 != 0;
        uint32_t value = next();
        for (size_t k = 0; k < span && i < size_t{kSide} * kSide; ++k, ++i) {
            if (!flat) value = next();
            for (int c = 0; c < bytesPerPixel; ++c)
                px[i * bytesPerPixel + c] = uint8_t(value >> (8 * c));
        }
    }
    return px;
}

void EncodeRle(const uint8_t* row, int width, int n, std::vector<uint8_t>& out) {
    auto same = [&](int a, int b) { return std::equal(row + a * n, row + a * n + n, row + b * n); };
    int i = 0;
    while (i < width) {
        int run = 1;
        while (i + run < width && run < 128 && same(i, i + run))
            ++run;
        if (run >= 2) {
            out.push_back(uint8_t(0x80 | (run - 1)));
            out.insert(out.end(), row + i * n, row + i * n + n);
            i += run;
            continue;
        }
        int raw = 1;
        while (i + raw < width && raw < 128 && !(i + raw + 1 < width && same(i + raw, i + raw + 1)))
            ++raw;
        out.push_back(uint8_t(raw - 1));
        out.insert(out.end(), row + i * n, row + (i + raw) * n);
        i += raw;
    }
}

void WriteFiles(const std::string& dir) {
    for (BenchFile& f : Files()) {
        const int n = f.Depth / 8;
        const std::vector<uint8_t> px = Picture(n);
        // Top-left origin: stb_image then keeps file row order as our reader does, and
        // neither side pays for a flip.
        std::vector<uint8_t> file = {0,
                                     0,
                                     f.Type,
                                     0,
                                     0,
                                     0,
                                     0,
                                     0,
                                     0,
                                     0,
                                     0,
                                     0,
                                     kSide & 0xFF,
                                     kSide >> 8,
                                     kSide & 0xFF,
                                     kSide >> 8,
                                     f.Depth,
                                     uint8_t(0x20 | (n == 4 ? 8 : 0))};
        if (f.Type == 2) {
            file.insert(file.end(), px.begin(), px.end());
        } else {
            for (int y = 0; y < kSide; ++y)
                EncodeRle(&px[size_t(y) * kSide * n], kSide, n, file);
        }
        f.Path = dir + "/" + f.Name + ".tga";
        std::ofstream(f.Path, std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    }
}

void BM_LoadTGA(benchmark::State& state, const BenchFile* file) {
    for (auto _ : state) {
        Lumora::TGATexture tex{};
        if (!Lumora::LoadTGA(tex, file->Path.c_str())) {
            state.SkipWithError("LoadTGA refused the file");
            break;
        }
        benchmark::DoNotOptimize(tex.ImageData);
        std::free(tex.ImageData);
    }
    state.SetBytesProcessed(state.iterations() * int64_t{kSide} * kSide * (file->Depth / 8));
}

void BM_StbImage(benchmark::State& state, const BenchFile* file) {
    for (auto _ : state) {
        int w = 0, h = 0, comp = 0;
        stbi_uc* data = stbi_load(file->Path.c_str(), &w, &h, &comp, 0);
        if (data == nullptr || w != kSide || comp != file->Depth / 8) {
            state.SkipWithError("stb_image refused the file");
            break;
        }
        benchmark::DoNotOptimize(data);
        stbi_image_free(data);
    }
    state.SetBytesProcessed(state.iterations() * int64_t{kSide} * kSide * (file->Depth / 8));
}

// The console table, then stb_image's time over ours for each file. CPU time, since the
// files come from the page cache and the machine may be shared with other work.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                times_[run.benchmark_name()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nstb_image CPU time / LoadTGA CPU time (above 1: ours is faster)\n");
        for (const BenchFile& f : Files()) {
            const auto ours = times_.find(std::string("LoadTGA/") + f.Name);
            const auto stb = times_.find(std::string("StbImage/") + f.Name);
            if (ours == times_.end() || stb == times_.end() || ours->second <= 0) continue;
            std::printf("  %-6s %6.2f\n", f.Name, stb->second / ours->second);
        }
    }

  private:
    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char** argv) {
    platform::hooks::SetMessageBoxResponder([](const platform::hooks::MessageBoxCall& call) {
        std::fprintf(stderr, "%s: %s\n", call.caption.c_str(), call.text.c_str());
        return platform::IDOK;
    });
    char tmpl[] = "/tmp/bench_tga_XXXXXX";
    if (mkdtemp(tmpl) == nullptr) return 1;
    WriteFiles(tmpl);
    for (const BenchFile& f : Files()) {
        benchmark::RegisterBenchmark((std::string("LoadTGA/") + f.Name).c_str(), BM_LoadTGA, &f)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("StbImage/") + f.Name).c_str(), BM_StbImage, &f)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::filesystem::remove_all(tmpl);
    return 0;
}
