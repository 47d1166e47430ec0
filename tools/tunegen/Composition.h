#pragma once

#include "MidiFile.h"

namespace tunegen {

// The game's tune: a bright, quick chase in G major, about a minute long, for a conductor track
// and eight players (lead, counter-melody, bass, piano, strings, brass, pizzicato, drums).
MidiFile composeChase();

} // namespace tunegen
