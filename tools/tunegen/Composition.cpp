#include "Composition.h"

#include <array>
#include <string>
#include <vector>

namespace tunegen {

namespace {

constexpr int kDivision = 256;
constexpr std::uint32_t kEighth = kDivision / 2;
constexpr std::uint32_t kBar = kDivision * 4;
constexpr std::uint32_t kQuarterMicroseconds = 375'000; // 160 beats a minute: a brisk chase
constexpr int kRest = -1;
constexpr int kDrumChannel = 9;

// A chord by its bass note (octave 2 or 3) and the intervals of its tones above it.
struct Chord {
    int root;
    std::array<int, 4> tones; // semitones above the root; a repeated last tone means a triad
};

constexpr Chord G{43, {0, 4, 7, 7}};
constexpr Chord Em{40, {0, 3, 7, 7}};
constexpr Chord C{36, {0, 4, 7, 7}};
constexpr Chord D{38, {0, 4, 7, 7}};
constexpr Chord Am{45, {0, 3, 7, 7}};
constexpr Chord Bm{47, {0, 3, 7, 7}};
constexpr Chord D7{38, {0, 4, 7, 10}};
constexpr Chord A7{45, {0, 4, 7, 10}};

// A melody note: a pitch (or a rest) lasting some eighths.
struct Note {
    int pitch;
    int eighths;
};
using Bar = std::vector<Note>;

// One section: a chord for each half bar and, optionally, a tune over it.
struct Section {
    std::vector<Chord> halfBars;
    std::vector<Bar> melody; // empty: the band plays alone
    bool loud = false;       // brass stabs and a fuller counter-melody
    bool harmoniseMelody = false;
};

std::vector<Chord> perBar(std::initializer_list<Chord> chords) {
    std::vector<Chord> halves;
    for (const Chord& c : chords) {
        halves.push_back(c);
        halves.push_back(c);
    }
    return halves;
}

const std::vector<Bar> kThemeA = {
    {{67, 1}, {71, 1}, {74, 1}, {79, 2}, {78, 1}, {76, 1}, {74, 1}},
    {{76, 2}, {74, 1}, {71, 1}, {67, 2}, {71, 2}},
    {{72, 1}, {76, 1}, {79, 1}, {76, 1}, {72, 2}, {74, 1}, {76, 1}},
    {{78, 3}, {76, 1}, {74, 2}, {kRest, 2}},
    {{67, 1}, {71, 1}, {74, 1}, {79, 2}, {81, 1}, {79, 1}, {78, 1}},
    {{76, 1}, {79, 1}, {76, 1}, {74, 1}, {71, 2}, {67, 2}},
    {{72, 2}, {71, 1}, {69, 1}, {66, 2}, {69, 2}},
    {{67, 4}, {kRest, 2}, {62, 1}, {66, 1}},
};

const std::vector<Bar> kThemeB = {
    {{76, 1}, {76, 1}, {kRest, 1}, {76, 1}, {72, 1}, {76, 1}, {79, 2}},
    {{78, 1}, {78, 1}, {kRest, 1}, {78, 1}, {74, 1}, {78, 1}, {81, 2}},
    {{83, 2}, {81, 1}, {78, 1}, {74, 2}, {78, 2}},
    {{79, 3}, {76, 1}, {71, 4}},
    {{72, 1}, {74, 1}, {76, 1}, {79, 1}, {84, 2}, {79, 2}},
    {{81, 1}, {79, 1}, {78, 1}, {76, 1}, {74, 2}, {78, 2}},
    {{79, 2}, {74, 1}, {71, 1}, {67, 2}, {71, 1}, {74, 1}},
    {{72, 1}, {71, 1}, {69, 1}, {66, 1}, {62, 2}, {kRest, 2}},
};

const std::vector<Bar> kBridge = {
    {{71, 1}, {72, 1}, {74, 1}, {76, 1}, {79, 1}, {76, 1}, {74, 1}, {72, 1}},
    {{72, 1}, {74, 1}, {76, 1}, {79, 1}, {84, 1}, {79, 1}, {76, 1}, {74, 1}},
    {{73, 1}, {76, 1}, {79, 1}, {81, 1}, {79, 1}, {76, 1}, {73, 1}, {69, 1}},
    {{74, 2}, {78, 2}, {81, 2}, {kRest, 2}},
};

const std::vector<Bar> kCoda = {
    {{79, 2}, {74, 1}, {71, 1}, {67, 4}},
    {{kRest, 8}},
};

std::vector<Chord> themeAChords() {
    std::vector<Chord> h = perBar({G, Em, C, D, G, Em});
    h.insert(h.end(), {Am, D});
    h.insert(h.end(), {G, G});
    return h;
}

// Two steps of the G major scale below a pitch, for a counter-melody in thirds under the lead.
int diatonicThirdBelow(int pitch) {
    static constexpr std::array<bool, 12> inScale{true, false, true,  false, true,  false,
                                                  true, true,  false, true,  false, true}; // C to B
    int p = pitch;
    for (int steps = 0; steps < 2;) {
        --p;
        if (inScale[static_cast<std::size_t>(p % 12)])
            ++steps;
    }
    return p;
}

class Arranger {
public:
    Arranger() {
        file_.division = kDivision;
        file_.tracks.resize(9);
        MidiTrack& conductor = file_.tracks[0];
        conductor.name("Hearthly chase");
        conductor.tempo(0, kQuarterMicroseconds);
        conductor.timeSignature(0, 4, 2);
        conductor.keySignature(0, 1, false);
        setUp(1, "Lead", 0, 72, 100, 70);     // piccolo
        setUp(2, "Counter", 1, 13, 88, 40);   // xylophone
        setUp(3, "Bass", 2, 33, 110, 64);     // finger bass
        setUp(4, "Piano", 3, 0, 80, 80);      // grand piano
        setUp(5, "Strings", 4, 48, 70, 50);   // string ensemble
        setUp(6, "Brass", 5, 61, 85, 76);     // brass section
        setUp(7, "Pizzicato", 6, 45, 75, 90); // pizzicato strings
        file_.tracks[8].name("Drums");
        file_.tracks[8].controller(0, kDrumChannel, 7, 100);
    }

    void play(const Section& s) {
        const std::uint32_t bars = static_cast<std::uint32_t>(s.halfBars.size() / 2);
        for (std::uint32_t i = 0; i < s.halfBars.size(); ++i)
            accompany(now_ + i * kBar / 2, s.halfBars[i], s.loud);
        std::uint32_t t = now_;
        for (const Bar& bar : s.melody) {
            for (const Note& n : bar) {
                const std::uint32_t length = static_cast<std::uint32_t>(n.eighths) * kEighth;
                if (n.pitch != kRest) {
                    file_.tracks[1].note(t, length - 16, 0, n.pitch, 100);
                    if (s.harmoniseMelody)
                        file_.tracks[2].note(t, length - 16, 1, diatonicThirdBelow(n.pitch), 82);
                }
                t += length;
            }
        }
        if (!s.harmoniseMelody)
            sparkle(s);
        drums(now_, bars, s.loud);
        now_ += bars * kBar;
    }

    void finish(const Chord& last) {
        // A final chord held over the coda's silent bar, then everything stops.
        for (std::size_t k = 0; k < 3; ++k)
            file_.tracks[5].note(now_, kBar * 3 / 2, 4, last.root + 24 + last.tones[k], 60);
        file_.tracks[3].note(now_, kBar, 2, last.root, 100);
        file_.tracks[8].note(now_, kBar, kDrumChannel, 49, 100);
        file_.tracks[8].note(now_, kEighth, kDrumChannel, 36, 110);
        now_ += kBar * 2;
        file_.endTick = now_;
    }

    MidiFile take() { return std::move(file_); }
    std::uint32_t now() const { return now_; }

private:
    void setUp(std::size_t track, const std::string& name, int channel, int program, int volume, int pan) {
        MidiTrack& t = file_.tracks[track];
        t.name(name);
        t.program(0, channel, program);
        t.controller(0, channel, 7, volume);
        t.controller(0, channel, 10, pan);
        t.controller(0, channel, 91, 40); // a little room
    }

    // Bass, piano off-beats, held strings, pizzicato and (when loud) brass for one half bar.
    void accompany(std::uint32_t t, const Chord& c, bool loud) {
        const int fifth = c.root + 7;
        const std::array<int, 4> bassLine{c.root, c.root + 12, fifth, c.root + 12};
        for (std::uint32_t i = 0; i < 4; ++i)
            file_.tracks[3].note(t + i * kEighth, kEighth - 20, 2, bassLine[i], i == 0 ? 112 : 96);
        for (std::uint32_t beat = 0; beat < 2; ++beat) {
            const std::uint32_t offBeat = t + beat * kDivision + kEighth;
            for (std::size_t k = 0; k < 4; ++k) {
                if (k == 3 && c.tones[3] == c.tones[2])
                    break;
                file_.tracks[4].note(offBeat, kEighth - 30, 3, c.root + 24 + c.tones[k], 72);
            }
        }
        for (std::size_t k = 0; k < 3; ++k)
            file_.tracks[5].note(t, kBar / 2 - 8, 4, c.root + 24 + c.tones[k] + (k == 0 ? 12 : 0), 52);
        const std::array<int, 4> arpeggio{c.tones[0], c.tones[1], c.tones[2], 12};
        for (std::uint32_t beat = 0; beat < 2; ++beat)
            file_.tracks[7].note(t + beat * kDivision, kEighth, 6,
                                 c.root + 24 + arpeggio[static_cast<std::size_t>((t / kDivision + beat) % 4)],
                                 78);
        if (loud && t % kBar == 0) {
            for (std::size_t k = 0; k < 3; ++k)
                file_.tracks[6].note(t, kEighth + 40, 5, c.root + 12 + c.tones[k], 90);
        }
    }

    // Without a harmony line the xylophone twinkles chord tones in sixteenths at each bar's end.
    void sparkle(const Section& s) {
        if (s.melody.empty())
            return;
        for (std::size_t bar = 1; bar < s.halfBars.size() / 2; bar += 2) {
            const Chord& c = s.halfBars[bar * 2 + 1];
            const std::uint32_t t = now_ + static_cast<std::uint32_t>(bar) * kBar + 3 * kDivision;
            const std::array<int, 4> run{0, 1, 2, 1};
            for (std::uint32_t i = 0; i < 4; ++i)
                file_.tracks[2].note(t + i * kEighth / 2, kEighth / 2 - 8, 1,
                                     c.root + 36 + c.tones[static_cast<std::size_t>(run[i])], 70);
        }
    }

    void drums(std::uint32_t start, std::uint32_t bars, bool loud) {
        MidiTrack& d = file_.tracks[8];
        d.note(start, kEighth, kDrumChannel, 49, 96); // crash opens each section
        for (std::uint32_t bar = 0; bar < bars; ++bar) {
            const std::uint32_t t = start + bar * kBar;
            const bool fill = bar + 1 == bars;
            for (std::uint32_t eighth = 0; eighth < 8; ++eighth)
                d.note(t + eighth * kEighth, kEighth / 2, kDrumChannel, 42, eighth % 2 ? 60 : 80);
            d.note(t, kEighth, kDrumChannel, 36, 112);
            d.note(t + 2 * kDivision, kEighth, kDrumChannel, 36, 104);
            if (loud)
                d.note(t + 2 * kDivision + kEighth, kEighth, kDrumChannel, 36, 90);
            d.note(t + kDivision, kEighth, kDrumChannel, 38, 100);
            if (!fill) {
                d.note(t + 3 * kDivision, kEighth, kDrumChannel, 38, 100);
                continue;
            }
            // A snare run into the next section.
            for (std::uint32_t s = 0; s < 4; ++s)
                d.note(t + 3 * kDivision + s * kEighth / 2, kEighth / 2, kDrumChannel, s < 2 ? 38 : 45,
                       84 + static_cast<int>(s) * 8);
        }
    }

    MidiFile file_;
    std::uint32_t now_ = 0;
};

} // namespace

MidiFile composeChase() {
    Arranger band;
    band.play({perBar({G, D}), {}, false, false}); // the band sets off
    band.play({themeAChords(), kThemeA, false, false});
    band.play({perBar({C, D, Bm, Em, C, D, G, D7}), kThemeB, true, false});
    band.play({themeAChords(), kThemeA, false, true});
    band.play({perBar({Em, C, A7, D}), kBridge, true, false});
    band.play({themeAChords(), kThemeA, true, true});
    band.play({perBar({G}), {kCoda.front()}, true, false});
    band.finish(G);
    return band.take();
}

} // namespace tunegen
