#include "audio/RenderedTune.h"

#include "audio/Synth.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace audio {

namespace {

// Notes still ringing this long after the end are cut: no sound of the font lasts that long.
constexpr int kLongestRingOutSeconds = 20;

// The last tune rendered, kept for the next player of the same tune (a test making many, or a
// round started again): rendering takes a second or two of a core.
struct Cache {
    std::mutex mutex;
    std::vector<std::uint8_t> tune;
    std::string soundFont;
    std::shared_ptr<const RenderedTune> rendered;
};

Cache& cache() {
    static Cache c;
    return c;
}

struct PlayerDeleter {
    void operator()(fluid_player_t* p) const {
        fluid_player_stop(p);
        delete_fluid_player(p);
    }
};

} // namespace

std::shared_ptr<const RenderedTune> RenderedTune::render(std::span<const std::uint8_t> tune,
                                                         const std::string& soundFont, int sampleRate,
                                                         const std::atomic<bool>* cancel,
                                                         std::string& error) {
    Cache& c = cache();
    const std::lock_guard lock(c.mutex);
    if (c.rendered && c.rendered->sampleRate_ == sampleRate && c.soundFont == soundFont &&
        std::equal(tune.begin(), tune.end(), c.tune.begin(), c.tune.end()))
        return c.rendered;

    const auto synth = Synth::create(sampleRate, soundFont, error);
    if (!synth)
        return nullptr;
    const std::unique_ptr<fluid_player_t, PlayerDeleter> player(new_fluid_player(synth->get()));
    if (!player || fluid_player_add_mem(player.get(), tune.data(), tune.size()) != FLUID_OK ||
        fluid_player_play(player.get()) != FLUID_OK) {
        error = "cannot play the tune in the synthesiser";
        return nullptr;
    }
    auto rendered = std::shared_ptr<RenderedTune>(new RenderedTune());
    rendered->sampleRate_ = sampleRate;
    // The tune is about a minute; growing the buffer by doubling would hold twice that at times.
    rendered->samples_.reserve(static_cast<std::size_t>(sampleRate) * 2 * 75);
    std::int16_t block[kTickStep * 2];
    bool ended = false;
    std::int64_t frame = 0;
    const std::int64_t longest = static_cast<std::int64_t>(sampleRate) * 60 * 30;
    for (;;) {
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            error = "the tune's recording was cancelled";
            return nullptr;
        }
        // Block by block, just as the sequencer renders it live and reports where it is.
        if (!ended) {
            const int total = fluid_player_get_total_ticks(player.get());
            const int tick = fluid_player_get_current_tick(player.get());
            ended = frame > 0 && (fluid_player_get_status(player.get()) == FLUID_PLAYER_DONE ||
                                  (total > 0 && tick >= total));
            if (ended)
                rendered->endFrame_ = frame;
            else
                rendered->ticks_.push_back(tick);
        }
        if (ended && (fluid_synth_get_active_voice_count(synth->get()) == 0 ||
                      frame - rendered->endFrame_ >= std::int64_t{kLongestRingOutSeconds} * sampleRate))
            break;
        if (frame >= longest) {
            error = "the tune does not end";
            return nullptr;
        }
        fluid_synth_write_s16(synth->get(), kTickStep, block, 0, 2, block, 1, 2);
        rendered->samples_.insert(rendered->samples_.end(), block, block + kTickStep * 2);
        frame += kTickStep;
    }
    rendered->samples_.shrink_to_fit();
    c.tune.assign(tune.begin(), tune.end());
    c.soundFont = soundFont;
    c.rendered = rendered;
    return rendered;
}

std::int64_t RenderedTune::frameOfTick(long tick) const {
    const auto at = std::lower_bound(ticks_.begin(), ticks_.end(), tick);
    if (at == ticks_.end())
        return endFrame_;
    return static_cast<std::int64_t>(at - ticks_.begin()) * kTickStep;
}

long RenderedTune::tickAt(std::int64_t frame) const {
    if (ticks_.empty())
        return 0;
    const std::int64_t step =
        std::clamp<std::int64_t>(frame / kTickStep, 0, static_cast<std::int64_t>(ticks_.size()) - 1);
    return ticks_[static_cast<std::size_t>(step)];
}

void RenderedTune::copy(std::int64_t from, std::int16_t* out, int frames) const {
    const std::int64_t have = std::clamp<std::int64_t>(this->frames() - from, 0, frames);
    if (have > 0)
        std::memcpy(out, samples_.data() + from * 2,
                    static_cast<std::size_t>(have) * 2 * sizeof(std::int16_t));
    std::memset(out + have * 2, 0, static_cast<std::size_t>(frames - have) * 2 * sizeof(std::int16_t));
}

} // namespace audio
