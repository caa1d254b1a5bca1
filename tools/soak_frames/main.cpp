// soak_frames: the cloud demo's start-up and frame loop on SDL's offscreen driver for many
// frames, with keys and drags arriving as real SDL events, sampling resident memory and
// GL names at the start, at intervals and at the end. Fails when either grows after the
// warm-up or when the input stops reaching the frame.
#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "offscreen_scene.h"
#include "soak_input.h"
#include "soak_options.h"
#include "soak_probes.h"

using namespace soak;

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point g_opened; // when the window was asked for; set by main

Sample Take(int64_t frame) {
    const double seconds = std::chrono::duration<double>(Clock::now() - g_opened).count();
    return Sample{frame, ResidentKb(), CountGlNames(), seconds};
}

void Print(const Sample& s, const char* note) {
    std::printf("frame %9" PRId64 "  rss %8" PRId64 " kB  textures %3" PRId64
                " (next name %u)  lists %3" PRId64 " (next name %u)  %8.1f s%s\n",
                s.frame, s.rssKb, s.names.textures, s.names.nextTexture, s.names.lists,
                s.names.nextList, s.seconds, note);
    std::fflush(stdout);
}

// Growth judged against the baseline taken at the end of the warm-up.
struct Verdict {
    int64_t worstRssGrowthKb = 0;
    int64_t worstRssFrame = -1;
    int64_t namesChangedAt = -1; // first sample whose names differ from the baseline
    int64_t inputFaults = 0;
    std::string firstInputFault;
};

void Judge(const Sample& baseline, const Sample& s, Verdict& v) {
    const int64_t growth = s.rssKb - baseline.rssKb;
    if (growth > v.worstRssGrowthKb) {
        v.worstRssGrowthKb = growth;
        v.worstRssFrame = s.frame;
    }
    if (v.namesChangedAt < 0 && !NoNamesGained(baseline.names, s.names)) v.namesChangedAt = s.frame;
}

} // namespace

int main(int argc, char** argv) {
    SoakOptions options;
    if (auto e = ParseOptions(argc, argv, options); !e.empty()) {
        std::fprintf(stderr, "soak_frames: %s\n", e.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(UsageText(argv[0]).c_str(), stdout);
        return 0;
    }

    offscreen::Prepare("soak_frames", "the library ended the program; the run is incomplete",
                       argv[0]);
    g_opened = Clock::now();
    if (auto e = offscreen::OpenScene(options.width, options.height); !e.empty()) {
        std::fprintf(stderr, "soak_frames: %s\n", e.c_str());
        offscreen::CloseScene();
        return 1;
    }

    std::printf("soak_frames: %" PRId64 " frames at %dx%d, warm-up %" PRId64
                " frames, a sample every %" PRId64 "\n",
                options.frames, options.width, options.height, options.warmup, options.reportEvery);
    const Sample first = Take(0);
    Print(first, "  start");
    Sample baseline = first;
    Sample last = first;
    Verdict verdict;
    int64_t drawn = 0;
    bool stoppedEarly = false;

    for (int64_t frame = 1; frame <= options.frames; ++frame) {
        PushInputBefore(frame - 1);
        if (!offscreen::RunFrame()) break;
        drawn = frame;
        if (frame % CycleFrames == 0) {
            if (auto e = CheckAfterCycle(frame / CycleFrames - 1); !e.empty()) {
                if (verdict.inputFaults++ == 0)
                    verdict.firstInputFault = "frame " + std::to_string(frame) + ": " + e;
            }
            // A fast leak would take the machine down long before the next sample.
            if (const int64_t rss = ResidentKb(); rss - first.rssKb > options.rssAbortKb) {
                last = Take(frame);
                Judge(baseline, last, verdict);
                Print(last, "  stopped: memory runs away");
                stoppedEarly = true;
                break;
            }
        }
        const bool atBaseline = frame == options.warmup;
        const bool atReport = frame % options.reportEvery == 0 || frame == options.frames;
        if (!atBaseline && !atReport) continue;
        last = Take(frame);
        if (atBaseline) baseline = last;
        if (frame > options.warmup) Judge(baseline, last, verdict);
        Print(last, atBaseline ? "  baseline (end of warm-up)" : "");
    }

    const double seconds = std::chrono::duration<double>(Clock::now() - g_opened).count();
    offscreen::CloseScene();

    bool ok = true;
    if (stoppedEarly) {
        std::printf("FAIL: stopped after frame %" PRId64
                    ": resident memory grew by more than %" PRId64 " kB\n",
                    drawn, options.rssAbortKb);
        ok = false;
    } else if (drawn < options.frames) {
        std::printf("FAIL: the window went after frame %" PRId64 "\n", drawn);
        ok = false;
    }
    const bool warmedUp = baseline.frame == options.warmup;
    std::printf("resident memory: %" PRId64 " kB at the start, %s, %" PRId64
                " kB at the end; largest growth after the warm-up %" PRId64 " kB (allowed %" PRId64
                ")\n",
                first.rssKb,
                warmedUp ? (std::to_string(baseline.rssKb) + " kB after the warm-up").c_str()
                         : "the warm-up did not end",
                last.rssKb, verdict.worstRssGrowthKb, options.rssToleranceKb);
    if (first.rssKb < 0) {
        std::printf("FAIL: /proc/self/status gave no resident size\n");
        ok = false;
    } else if (verdict.worstRssGrowthKb > options.rssToleranceKb) {
        std::printf("FAIL: resident memory grew by %" PRId64
                    " kB after the warm-up (at frame %" PRId64 ")\n",
                    verdict.worstRssGrowthKb, verdict.worstRssFrame);
        ok = false;
    }
    if (verdict.namesChangedAt >= 0) {
        std::printf("FAIL: GL names in use changed after the warm-up (first seen at frame %" PRId64
                    ")\n",
                    verdict.namesChangedAt);
        ok = false;
    }
    const int64_t cycles = drawn / CycleFrames;
    std::printf("input: %" PRId64 " cycles of keys and drags, %" PRId64 " arrived wrong\n", cycles,
                verdict.inputFaults);
    if (verdict.inputFaults > 0) {
        std::printf("FAIL: the input did not reach the frame as sent; first at %s\n",
                    verdict.firstInputFault.c_str());
        ok = false;
    }
    std::printf("%s: %" PRId64 " frames in %.1f s (%.0f frames/s)\n", ok ? "PASS" : "FAIL", drawn,
                seconds, seconds > 0 ? static_cast<double>(drawn) / seconds : 0.0);
    return ok ? 0 : 1;
}
