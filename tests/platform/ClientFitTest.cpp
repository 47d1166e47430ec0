#include "platform/ClientFit.h"

#include <gtest/gtest.h>

using Size = platform::ClientFit::Size;

namespace {

struct Case {
    const char* what;
    Size requested;
    Size expected;
};

// The game's minimum and the room a 1280 x 1024 screen leaves under a title bar.
constexpr Size kMinimum{200, 146};
constexpr Size kMaximum{1278, 1003};

} // namespace

TEST(ClientFit, KeepsTheProportionsBetweenTheLimits) {
    const Case cases[] = {
        {"fits already", {1000, 730}, {1000, 730}},
        {"too large: the width limits", {3000, 2190}, {1278, 932}},
        {"too tall: the height limits", {1200, 1500}, {802, 1003}},
        {"too wide: the width limits", {2000, 730}, {1278, 466}},
        {"too small grows to the minimum", {100, 73}, {200, 146}},
        {"at the minimum", {200, 146}, {200, 146}},
        {"empty stays empty", {0, 0}, {0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::ClientFit::fit(c.requested, kMinimum, kMaximum), c.expected) << c.what;
}

TEST(ClientFit, TheScreenWinsOverTheMinimum) {
    EXPECT_EQ(platform::ClientFit::fit({100, 73}, kMinimum, {150, 500}), (Size{150, 109}));
}

TEST(ClientFit, NoMaximumMeansNoLimit) {
    EXPECT_EQ(platform::ClientFit::fit({3000, 2190}, kMinimum, {}), (Size{3000, 2190}));
}
