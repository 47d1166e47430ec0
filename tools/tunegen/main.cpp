// hearthly-tunegen: composes the game's chase tune and writes it as a Standard MIDI File
// (format 1, a conductor track and eight instrument tracks, 256 ticks per quarter note).
// The build runs it and embeds the file, so the tune's source is this program, not a blob.
//
// Usage: hearthly-tunegen OUTPUT.mid
#include "Composition.h"
#include "MidiFile.h"

#include <cstdio>
#include <fstream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: hearthly-tunegen OUTPUT.mid\n", stderr);
        return 2;
    }
    const std::vector<std::uint8_t> bytes = tunegen::composeChase().serialise();
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "hearthly-tunegen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
