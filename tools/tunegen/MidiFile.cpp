#include "MidiFile.h"

#include <algorithm>

namespace tunegen {

namespace {

void putVariableLength(std::vector<std::uint8_t>& out, std::uint32_t value) {
    std::uint8_t groups[5];
    int count = 0;
    do {
        groups[count++] = static_cast<std::uint8_t>(value & 0x7f);
        value >>= 7;
    } while (value != 0);
    while (count > 1)
        out.push_back(static_cast<std::uint8_t>(groups[--count] | 0x80));
    out.push_back(groups[0]);
}

void putBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint8_t u8(int value) {
    return static_cast<std::uint8_t>(value);
}

std::vector<std::uint8_t> meta(int type, const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> bytes{0xff, u8(type)};
    putVariableLength(bytes, static_cast<std::uint32_t>(data.size()));
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

} // namespace

void MidiTrack::add(std::uint32_t tick, int order, std::vector<std::uint8_t> bytes) {
    events_.push_back({tick, order, events_.size(), std::move(bytes)});
}

void MidiTrack::name(const std::string& text) {
    add(0, 0, meta(0x03, {text.begin(), text.end()}));
}

void MidiTrack::tempo(std::uint32_t ticks, std::uint32_t microsecondsPerQuarter) {
    add(ticks, 0,
        meta(0x51, {u8(microsecondsPerQuarter >> 16), u8(microsecondsPerQuarter >> 8),
                    u8(microsecondsPerQuarter)}));
}

void MidiTrack::timeSignature(std::uint32_t ticks, int numerator, int denominatorPower) {
    add(ticks, 0, meta(0x58, {u8(numerator), u8(denominatorPower), 24, 8}));
}

void MidiTrack::keySignature(std::uint32_t ticks, int sharps, bool minor) {
    add(ticks, 0, meta(0x59, {u8(sharps), u8(minor ? 1 : 0)}));
}

void MidiTrack::program(std::uint32_t ticks, int channel, int number) {
    add(ticks, 1, {u8(0xc0 | channel), u8(number)});
}

void MidiTrack::controller(std::uint32_t ticks, int channel, int number, int value) {
    add(ticks, 1, {u8(0xb0 | channel), u8(number), u8(value)});
}

void MidiTrack::note(std::uint32_t start, std::uint32_t length, int channel, int pitch, int velocity) {
    add(start, 3, {u8(0x90 | channel), u8(pitch), u8(velocity)});
    add(start + length, 2, {u8(0x80 | channel), u8(pitch), 0});
}

std::vector<std::uint8_t> MidiTrack::chunk(std::uint32_t end) const {
    std::vector<const Event*> sorted;
    for (const Event& e : events_)
        sorted.push_back(&e);
    std::sort(sorted.begin(), sorted.end(), [](const Event* a, const Event* b) {
        if (a->tick != b->tick)
            return a->tick < b->tick;
        if (a->order != b->order)
            return a->order < b->order;
        return a->sequence < b->sequence;
    });
    std::vector<std::uint8_t> body;
    std::uint32_t now = 0;
    for (const Event* e : sorted) {
        putVariableLength(body, e->tick - now);
        now = e->tick;
        body.insert(body.end(), e->bytes.begin(), e->bytes.end());
    }
    putVariableLength(body, end > now ? end - now : 0);
    body.insert(body.end(), {0xff, 0x2f, 0x00});

    std::vector<std::uint8_t> out{'M', 'T', 'r', 'k'};
    putBigEndian(out, static_cast<std::uint32_t>(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

std::vector<std::uint8_t> MidiFile::serialise() const {
    std::vector<std::uint8_t> out{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
    putBigEndian(out, static_cast<std::uint32_t>(tracks.size()), 2);
    putBigEndian(out, static_cast<std::uint32_t>(division), 2);
    for (const MidiTrack& track : tracks) {
        const std::vector<std::uint8_t> chunk = track.chunk(endTick);
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    return out;
}

} // namespace tunegen
