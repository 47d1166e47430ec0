#include "record/Recording.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace record {

namespace {

constexpr const char* kHeader = "hearthly-recording 1\nseed 7\nworld 800 584\nclient 800 584\n";

struct Read {
    RecordingReader::Next last = RecordingReader::Next::Error;
    std::string error;
    long long events = 0;
};

Read readAll(const std::string& text) {
    std::istringstream in(text);
    RecordingReader reader(in, 800, 584);
    Read read;
    if (!reader.readHeader(read.error))
        return read;
    ReplayEvent event;
    while ((read.last = reader.next(event, read.error)) == RecordingReader::Next::Event)
        ++read.events;
    return read;
}

std::string repeated(const std::string& line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += line;
    return text;
}

} // namespace

// A recording is a file people send each other: every kind of damage gives one line naming the
// line of the file, never a crash, a hang or a run on absurd numbers.
TEST(RecordingReader, DamagedRecordingsAreRefusedNamingTheLine) {
    const std::string h = kHeader;
    const struct {
        const char* what;
        std::string text;
        std::string message; // what the error must contain, "line N: ..." included
    } cases[] = {
        {"empty", "", "line 1: empty"},
        {"a picture", std::string("\x89PNG\r\n\x1a\n\0\0", 10), "line 1: not a Hearthly recording"},
        {"binary after the first line", std::string("hearthly-recording 1\n\0\0\0", 24),
         "line 2: not text (a byte 0x00)"},
        {"a script", "10 key n\n", "line 1: not a Hearthly recording"},
        {"a later version", "hearthly-recording 2\n", "line 1: a recording in format version '2'"},
        {"a version that is no number", "hearthly-recording one\n", "format version 'one'"},
        {"no seed", "hearthly-recording 1\nworld 800 584\nclient 800 584\nt 10000\n",
         "line 4: the header has no 'seed' line"},
        {"no client, cut after the header", "hearthly-recording 1\nseed 1\nworld 800 584\n",
         "line 4: the header has no 'client' line"},
        {"a negative seed", "hearthly-recording 1\nseed -1\n", "line 2: seed needs a whole number"},
        {"a seed past 32 bits", "hearthly-recording 1\nseed 4294967296\n", "line 2: seed needs"},
        {"two seeds", "hearthly-recording 1\nseed 1\nseed 2\n", "line 3: a second 'seed' line"},
        {"another world", "hearthly-recording 1\nseed 1\nworld 801 584\n", "line 3: made in a world other"},
        {"a client of nothing", "hearthly-recording 1\nseed 1\nworld 800 584\nclient 0 0\n",
         "line 4: client needs a width and a height from 1 to 16384"},
        {"a client beyond any screen", "hearthly-recording 1\nseed 1\nworld 800 584\nclient 100000 100000\n",
         "line 4: client needs"},
        {"a client of a huge area", "hearthly-recording 1\nseed 1\nworld 800 584\nclient 16384 16384\n",
         "line 4: a client area of 16384 x 16384 is larger than any screen"},
        {"a header line among the events", h + "t 10000\nseed 3\n", "line 6: 'seed' belongs in the header"},
        {"an unknown event", h + "t 10000\ndance 3\n", "line 6: unknown event 'dance'"},
        {"a script's event", h + "screenshot /tmp/x.png\n", "line 5: unknown event 'screenshot'"},
        {"a negative step", h + "t -5\n", "line 5: t needs microseconds from 0 to"},
        {"a step that is not a number", h + "t nan\n", "line 5: t needs microseconds"},
        {"a step in floating point", h + "t 1e5\n", "line 5: t needs microseconds"},
        {"a step past 64 bits", h + "clock 99999999999999999999\n", "line 5: clock needs microseconds"},
        {"a point that is not finite", h + "move inf 3\n", "line 5: move needs two whole numbers"},
        {"a point far outside the world", h + "click 2000000 0\n", "line 5: click needs two whole numbers"},
        {"a fraction of a unit", h + "click 1.5 2\n", "line 5: click needs"},
        {"a size of nothing", h + "size 0 0\n", "line 5: size needs a width and a height from 1"},
        {"a speed past Fast", h + "speed 4\n", "line 5: speed needs 1, 2 or 3"},
        {"two speeds", h + "speed 2\nspeed 2\n", "line 6: a second 'speed' line"},
        {"a size beyond any screen", h + "size 100000 100000\n", "line 5: size needs"},
        {"a drag from a huge area", h + "fit 16000 16000\n", "line 5: fit 16000 x 16000 is larger"},
        {"two characters for a key", h + "key qq\n", "line 5: key needs one character"},
        {"a key code that is no character", h + "key U+D800\n", "line 5: key needs"},
        {"a key past Unicode", h + "key U+110000\n", "line 5: key needs"},
        {"a key without one", h + "key\n", "line 5: key needs"},
        {"a word too many", h + "expose now\n", "line 5: unexpected 'now'"},
        {"a value too few", h + "size 800\n", "line 5: size needs"},
        {"cut off in the header", "hearthly-recording 1\nseed 1\nworld 800",
         "line 3: cut off before the end"},
        {"cut off after the end line", h + "end\n# a comm", "line 6: cut off before the end of the line"},
        {"a line too long", h + "# " + std::string(300, 'x') + "\n", "line 5: longer than 200 characters"},
        {"a control character", h + "key \x01\n", "line 5: not text (a byte 0x01)"},
        {"more after the end", h + "t 10000\nend\nt 10000\n", "line 7: more after the session's end line"},
        {"a clock that runs past any session", h + repeated("clock 1000000000000\n", 9100),
         "the clock runs past any session's length"},
    };
    for (const auto& c : cases) {
        const Read read = readAll(c.text);
        EXPECT_EQ(read.last, RecordingReader::Next::Error) << c.what;
        EXPECT_NE(read.error.find(c.message), std::string::npos)
            << c.what << ": '" << read.error << "' lacks '" << c.message << "'";
        EXPECT_EQ(read.error.find('\n'), std::string::npos) << c.what;
    }
}

// What a recording may look like: comments, blank lines, Windows line ends, every event, and a
// file that stops without its end line because the game was killed.
TEST(RecordingReader, SoundRecordingsReadToTheirEnd) {
    const std::string h = kHeader;
    const std::string everything = "t 10000\r\nclock 5\nkey p\nkey esc\nkey U+00E9\nmove -20 600\nclick 1 2\n"
                                   "size 1000 730\nminimize\nrestore\nexpose\nfit 800 584\nredraw\n";
    const struct {
        const char* what;
        std::string text;
        RecordingReader::Next last;
        long long events;
    } cases[] = {
        {"every event", h + "# a comment\n\n" + everything + "end\n# nothing but comments after it\n",
         RecordingReader::Next::End, 13},
        {"killed during play", h + "t 10000\nt 10000\n", RecordingReader::Next::Stop, 2},
        {"killed at once", h, RecordingReader::Next::Stop, 0},
        // The line being written when it was killed is left out; what came before plays.
        {"killed in the middle of a line", h + "t 10000\nkey p\nt 100", RecordingReader::Next::Stop, 2},
        {"a best round's header with its speed", h + "speed 3\nt 10000\n", RecordingReader::Next::Stop, 1},
        {"the header in another order",
         "hearthly-recording 1\nclient 200 146\nworld 800 584\nseed 4294967295\nend\n",
         RecordingReader::Next::End, 0},
    };
    for (const auto& c : cases) {
        const Read read = readAll(c.text);
        EXPECT_EQ(read.last, c.last) << c.what << ": " << read.error;
        EXPECT_EQ(read.events, c.events) << c.what;
    }
}

// What the recorder writes, the reader reads back as the same event.
TEST(RecordingReader, EveryEventReadsBackAsWritten) {
    using Kind = ReplayEvent::Kind;
    std::vector<ReplayEvent> written;
    const auto add = [&](Kind kind, int x = 0, int y = 0, long long micros = 0, char32_t key = 0) {
        ReplayEvent e;
        e.kind = kind;
        e.x = x;
        e.y = y;
        e.micros = micros;
        e.key = key;
        written.push_back(e);
    };
    add(Kind::Tick, 0, 0, 10'004);
    add(Kind::Clock, 0, 0, ReplayScript::kLongestStepUs);
    for (const char32_t key : {U'p', U'q', U'+', U'#', char32_t{27}, U' ', U'\u00e9', U'\U0001F600'})
        add(Kind::Key, 0, 0, 0, key);
    add(Kind::Move, -1'000'000, 1'000'000);
    add(Kind::Click, 0, -3);
    add(Kind::Size, 16384, 2048);
    add(Kind::Fit, 1, 1);
    for (const Kind kind : {Kind::Minimize, Kind::Restore, Kind::Expose, Kind::Redraw})
        add(kind);
    std::string text = recordingHeaderText({42, 800, 584, 1000, 730}, "a test");
    for (const ReplayEvent& e : written)
        text += recordingLine(e) + "\n";
    text += "end\n";

    std::istringstream in(text);
    RecordingReader reader(in, 800, 584);
    std::string error;
    ASSERT_TRUE(reader.readHeader(error)) << error;
    EXPECT_EQ(reader.header().seed, 42u);
    EXPECT_EQ(reader.header().clientWidth, 1000);
    for (const ReplayEvent& e : written) {
        ReplayEvent read;
        ASSERT_EQ(reader.next(read, error), RecordingReader::Next::Event) << error;
        EXPECT_EQ(read.kind, e.kind);
        EXPECT_EQ(read.x, e.x);
        EXPECT_EQ(read.y, e.y);
        EXPECT_EQ(read.micros, e.micros);
        EXPECT_EQ(read.key, e.key) << recordingLine(e);
    }
    ReplayEvent last;
    EXPECT_EQ(reader.next(last, error), RecordingReader::Next::End) << error;
}

} // namespace record
