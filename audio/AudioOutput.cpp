#include "audio/AudioOutput.h"

namespace audio {

namespace {
AudioOutput* currentOutput = nullptr;
}

AudioOutput* theAudioOutput() {
    return currentOutput;
}
void setTheAudioOutput(AudioOutput* output) {
    currentOutput = output;
}

} // namespace audio
