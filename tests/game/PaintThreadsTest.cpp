#include "gfx/PaintThreads.h"
#include "../PixelCompare.h"
#include "game/GameHost.h"
#include "scene/World.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace game {

namespace {

// What the window shows, boiled down to one number.
std::uint64_t pictureHash(const gfx::Surface& s) {
    std::uint64_t h = 1469598103934665603ull;
    const std::uint8_t* data = s.data();
    for (int y = 0; y < s.height(); ++y) {
        const std::uint8_t* row = data + static_cast<std::ptrdiff_t>(y) * s.stride();
        for (int i = 0; i < s.width() * 4; ++i)
            h = (h ^ row[i]) * 1099511628211ull;
    }
    return h;
}

// A seeded session that repaints in every way the bands take part in: the first full
// redraw, a round starting, two quakes (the world repainted whole, then the layer anew),
// exposes during a quake, and a resize. Returns the picture after every timer call.
std::vector<std::uint64_t> playSession(int width, int height, int threads, std::string& mismatch) {
    GameHost host(width, height, 5);
    host.game.renderer().setPaintThreads(threads);
    host.expose(); // the first picture painted with these threads
    std::vector<std::uint64_t> pictures;
    for (int call = 0; call < 100; ++call) {
        if (call == 5)
            host.game.onKey('n');
        if (call == 10 || call == 55)
            host.game.world().settings().groundEventRequest = true;
        if (call == 20 || call == 62)
            host.expose();
        if (call == 80) {
            host.window.setClientSize(width - 101, height + 37);
            host.expose();
        }
        host.timerCall();
        pictures.push_back(pictureHash(host.window.screen()));
        if (call % 25 == 24 && mismatch.empty()) {
            gfx::Surface fresh(host.window.width(), host.window.height());
            host.game.renderer().renderFullInto(host.game.sceneView(), fresh);
            if (const long long n = differingPixels(host.window.screen(), fresh); n != 0)
                mismatch = "call " + std::to_string(call) + ": " + std::to_string(n) + " pixels differ";
        }
    }
    return pictures;
}

TEST(PaintThreads, AnyNumberOfThreadsPaintsTheVeryPicturesOfOne) {
    // Sizes whose scale is not whole, letter-boxed both ways.
    for (const auto& [w, h] : {std::pair{1366, 768}, std::pair{900, 1000}}) {
        std::string mismatch;
        const std::vector<std::uint64_t> one = playSession(w, h, 1, mismatch);
        EXPECT_EQ(mismatch, "") << w << "x" << h << ", one thread";
        for (int threads : {2, 3}) {
            const std::vector<std::uint64_t> many = playSession(w, h, threads, mismatch);
            EXPECT_EQ(mismatch, "") << w << "x" << h << ", " << threads << " threads";
            ASSERT_EQ(many.size(), one.size());
            for (std::size_t i = 0; i < one.size(); ++i)
                ASSERT_EQ(many[i], one[i]) << w << "x" << h << ", " << threads << " threads, call " << i;
        }
    }
}

TEST(PaintThreads, EveryPartRunsOnceWhateverTheThreadsAndParts) {
    for (int threads : {1, 2, 4}) {
        gfx::PaintThreads pool(threads);
        EXPECT_EQ(pool.count(), threads);
        for (int parts : {0, 1, 3, 17}) {
            for (int round = 0; round < 3; ++round) { // the same threads serve job after job
                std::vector<std::atomic<int>> runs(static_cast<std::size_t>(parts));
                pool.run(parts, [&](int i) { runs[static_cast<std::size_t>(i)].fetch_add(1); });
                for (int i = 0; i < parts; ++i)
                    ASSERT_EQ(runs[static_cast<std::size_t>(i)].load(), 1)
                        << threads << " threads, " << parts << " parts, part " << i;
            }
        }
    }
}

TEST(PaintThreads, TheCountComesFromTheEnvironmentOrTheCores) {
    const int cores = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    const char* saved = std::getenv("HEARTHLY_PAINT_THREADS");
    const std::string kept = saved != nullptr ? saved : "";
    for (const auto& [text, expected] : {std::pair<const char*, int>{"3", 3},
                                         {"1", 1},
                                         {"64", 64},
                                         {"", cores},
                                         {"0", cores},
                                         {"65", cores},
                                         {"2x", cores},
                                         {"-1", cores}}) {
        setenv("HEARTHLY_PAINT_THREADS", text, 1);
        EXPECT_EQ(gfx::PaintThreads::countFromEnvironment(), std::min(expected, 64)) << "'" << text << "'";
    }
    if (saved != nullptr)
        setenv("HEARTHLY_PAINT_THREADS", kept.c_str(), 1);
    else
        unsetenv("HEARTHLY_PAINT_THREADS");
}

} // namespace

} // namespace game
