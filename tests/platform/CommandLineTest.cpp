#include "platform/CommandLine.h"

#include <gtest/gtest.h>

#include <vector>

using platform::CommandLine;

namespace {
CommandLine parse(std::vector<const char*> args) {
    return CommandLine::parse(args);
}
} // namespace

TEST(CommandLine, ActionsAndErrors) {
    EXPECT_EQ(parse({}).action(), CommandLine::Action::Play);
    EXPECT_EQ(parse({"--help"}).action(), CommandLine::Action::Help);
    EXPECT_EQ(parse({"-h"}).action(), CommandLine::Action::Help);
    EXPECT_EQ(parse({"--version"}).action(), CommandLine::Action::Version);
    EXPECT_EQ(parse({"-V"}).action(), CommandLine::Action::Version);
    // Extra arguments are an error too.
    EXPECT_EQ(parse({"--help", "now"}).action(), CommandLine::Action::Error);
    EXPECT_EQ(parse({"--version", "--help"}).action(), CommandLine::Action::Error);
    EXPECT_EQ(parse({"play", "--help"}).action(), CommandLine::Action::Error);
    EXPECT_EQ(parse({"--scores"}).action(), CommandLine::Action::Scores);
    EXPECT_EQ(parse({"--scores", "--help"}).action(), CommandLine::Action::Error);
    // --no-settings stands anywhere beside the rest.
    EXPECT_TRUE(parse({"--no-settings"}).noSettings());
    EXPECT_EQ(parse({"--no-settings"}).action(), CommandLine::Action::Play);
    const CommandLine recorded = parse({"--record", "a.rec", "--no-settings"});
    EXPECT_EQ(recorded.action(), CommandLine::Action::Play);
    EXPECT_EQ(recorded.recordFile(), "a.rec");
    EXPECT_TRUE(recorded.noSettings());
    EXPECT_EQ(parse({"--no-settings", "--scores"}).action(), CommandLine::Action::Scores);

    // An unknown argument gives a one-line error naming it.
    const CommandLine line = parse({"--fast"});
    EXPECT_EQ(line.action(), CommandLine::Action::Error);
    EXPECT_NE(line.error().find("--fast"), std::string::npos);
    EXPECT_EQ(line.error().find('\n'), std::string::npos);
}

TEST(CommandLine, HelpIsUsageFirstAndVersionIsOneLine) {
    EXPECT_EQ(CommandLine::helpText().rfind("Usage: hearthly", 0), 0u);
    EXPECT_EQ(CommandLine::versionText("1.2.3"), "hearthly 1.2.3\n");
}
