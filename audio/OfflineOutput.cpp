#include "audio/OfflineOutput.h"

namespace audio {

void OfflineOutput::advanceMicroseconds(std::int64_t microseconds) {
    pendingMicroFrames_ += microseconds * sampleRate_;
    const std::int64_t frames = pendingMicroFrames_ / 1'000'000;
    pendingMicroFrames_ -= frames * 1'000'000;
    renderFrames(static_cast<int>(frames));
}

void OfflineOutput::renderFrames(int frames) {
    if (frames <= 0)
        return;
    const std::size_t start = samples_.size();
    samples_.resize(start + static_cast<std::size_t>(frames) * 2, 0);
    if (active_ && source_)
        source_->render(samples_.data() + start, frames);
    // After the source has made them: the frames handed out are the ones due from now.
    clock_ += frames;
}

} // namespace audio
