#include "audio/Sequencer.h"
#include "AudioTestSupport.h"
#include "audio/Tune.h"
#include "audio/WavWriter.h"

#include <fstream>
#include <sstream>
#include <sys/wait.h>

using audio::OfflineOutput;
using audio::Sequencer;
using namespace audiotest;
using namespace std::string_literals;

namespace {

std::vector<std::uint8_t> bytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

TEST(Sequencer, TheGameTuneIsAFormatOneFileOfNineTracksAt256Ticks) {
    const auto tune = audio::embeddedTune();
    const std::vector<std::uint8_t> bytes(tune.begin(), tune.end());
    ASSERT_TRUE(audio::isWellFormedMidi(bytes));
    EXPECT_EQ(bytes[9], 1);  // format
    EXPECT_EQ(bytes[11], 9); // tracks
    EXPECT_EQ((bytes[12] << 8) | bytes[13], 256);
}

TEST(Sequencer, RefusesFilesThatAreNotPlayableMidi) {
    using namespace std::string_view_literals;
    const std::string_view header = "MThd\0\0\0\6\0\1\0\1\1\0"sv;
    const std::string_view track = "MTrk\0\0\0\4\0\xff\x2f\0"sv;
    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"other file", "RIFF....WAVEfmt "},
        {"header only", std::string(header)},
        {"chunk past the end", std::string(header) + std::string(track.substr(0, 10))},
        {"format 2", "MThd\0\0\0\6\0\2\0\1\1\0"s + std::string(track)},
        {"SMPTE division", "MThd\0\0\0\6\0\1\0\1\xe7\x28"s + std::string(track)},
        {"fewer tracks than announced", "MThd\0\0\0\6\0\1\0\2\1\0"s + std::string(track)},
    };
    for (const auto& [name, text] : cases)
        EXPECT_FALSE(audio::isWellFormedMidi(bytesOf(text))) << name;
    EXPECT_TRUE(audio::isWellFormedMidi(bytesOf(std::string(header) + std::string(track))));
}

TEST(Sequencer, PlaysFromAGivenPositionAndReportsWhereItIs) {
    OfflineOutput out;
    std::string error;
    auto sequencer = Sequencer::create(out, Sequencer::kDefaultSoundFont, error);
    ASSERT_TRUE(sequencer) << error;
    EXPECT_EQ(sequencer->mode(), ""); // nothing open
    ASSERT_TRUE(sequencer->open(audio::embeddedTune(), error)) << error;
    EXPECT_EQ(sequencer->mode(), "stopped");

    ASSERT_TRUE(sequencer->playFrom("5000"));
    EXPECT_EQ(sequencer->position(), "5000"); // asked before a single sample was made
    renderSeconds(out, 1);
    EXPECT_EQ(sequencer->mode(), "playing");
    const long after = std::stol(sequencer->position());
    EXPECT_GT(after, 5000 + 500); // at 160 beats a minute a second is some 680 ticks
    EXPECT_LT(after, 5000 + 900);
    sequencer->stop();
    EXPECT_EQ(sequencer->mode(), "stopped");
    EXPECT_EQ(sequencer->position(), std::to_string(after));
    for (const char* bad : {"", "later", "-5", "12x"})
        EXPECT_FALSE(sequencer->playFrom(bad)) << bad;
    EXPECT_EQ(renderSeconds(out, 0.5), 0);
}

TEST(ReplayAudio, WritesWhatAPlayerWouldHearInStepWithTheVirtualClock) {
    audiotest::ScratchDir dir;
    const std::string wav = (dir.path / "run.wav").string();
    // Half a second of frames at 10 ms; until a round starts the music, that is silence.
    const std::string command =
        std::string(HEARTHLY_REPLAY) + " --frames 50 --audio " + wav + " > /dev/null 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::ostringstream text;
    text << std::ifstream(wav, std::ios::binary).rdbuf();
    const std::string file = text.str();
    ASSERT_EQ(file.size(), 44u + 22'050u * 4);
    const auto u32 = [&](std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(file[at])) |
               static_cast<unsigned>(static_cast<unsigned char>(file[at + 1])) << 8 |
               static_cast<unsigned>(static_cast<unsigned char>(file[at + 2])) << 16 |
               static_cast<unsigned>(static_cast<unsigned char>(file[at + 3])) << 24;
    };
    EXPECT_EQ(file.substr(0, 4), "RIFF");
    EXPECT_EQ(file.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(u32(22) & 0xffff, 2u); // channels
    EXPECT_EQ(u32(24), 44'100u);     // rate
    EXPECT_EQ(u32(32) >> 16, 16u);   // bits per sample
    EXPECT_EQ(u32(40), 22'050u * 4); // data bytes
    EXPECT_EQ(file.find_first_not_of('\0', 44), std::string::npos);

    // Samples go out little-endian, whatever they are.
    const std::int16_t samples[] = {1, -2, 0x1234, -32768};
    std::string error;
    ASSERT_TRUE(audio::writeWav(wav, samples, 22'050, error)) << error;
    std::ostringstream again;
    again << std::ifstream(wav, std::ios::binary).rdbuf();
    EXPECT_EQ(again.str().substr(44), "\x01\x00\xfe\xff\x34\x12\x00\x80"s);
    EXPECT_FALSE(audio::writeWav((dir.path / "no" / "such.wav").string(), samples, 22'050, error));
}

} // namespace
