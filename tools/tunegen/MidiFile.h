#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tunegen {

// One track of a Standard MIDI File under construction: events at absolute ticks, in any order.
class MidiTrack {
public:
    void name(const std::string& text);
    void tempo(std::uint32_t ticks, std::uint32_t microsecondsPerQuarter);
    void timeSignature(std::uint32_t ticks, int numerator, int denominatorPower);
    void keySignature(std::uint32_t ticks, int sharps, bool minor);
    void program(std::uint32_t ticks, int channel, int program);
    void controller(std::uint32_t ticks, int channel, int controller, int value);
    // A note from start for length ticks; the note-off comes before any note-on at the same tick.
    void note(std::uint32_t start, std::uint32_t length, int channel, int pitch, int velocity);

    // The track's MTrk chunk, events sorted by time, ending with the end-of-track event at end
    // (or after the last event, whichever is later).
    std::vector<std::uint8_t> chunk(std::uint32_t end) const;

private:
    struct Event {
        std::uint32_t tick;
        int order; // at one tick: meta and set-up first, then note-offs, then note-ons
        std::size_t sequence;
        std::vector<std::uint8_t> bytes;
    };
    void add(std::uint32_t tick, int order, std::vector<std::uint8_t> bytes);
    std::vector<Event> events_;
};

// A format 1 file: all tracks play together, the first carries tempo and metre.
struct MidiFile {
    int division = 256;
    std::uint32_t endTick = 0;
    std::vector<MidiTrack> tracks;

    std::vector<std::uint8_t> serialise() const;
};

} // namespace tunegen
