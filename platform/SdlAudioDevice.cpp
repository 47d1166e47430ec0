#include "platform/SdlAudioDevice.h"

#include "core/Translate.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <string_view>
#include <strings.h>
#include <utility>
#include <vector>

namespace platform {

namespace {

// One line for the player on the terminal, from whichever thread noticed it.
void say(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
}

// ALSA, which SDL tries on a machine without a sound server, prints several lines of its own
// for each device it cannot find. The game says what matters in one line instead, so ALSA's
// messages are turned off if the library is there (SDL loads the same library later).
void quietAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

void silenceAlsa() {
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    static void* const alsa = ::dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!alsa)
        return;
    using SetHandler = int (*)(Handler);
    if (auto set = reinterpret_cast<SetHandler>(::dlsym(alsa, "snd_lib_error_set_handler")))
        set(&quietAlsaMessage);
}

// SDL's drivers that play only when asked for by name: they make no sound a player hears.
bool onRequestOnly(const char* driver) {
    return std::strcmp(driver, "disk") == 0 || std::strcmp(driver, "dummy") == 0;
}

// The sound systems to try: the player's SDL_AUDIODRIVER (a name or a comma-separated list),
// else SDL's drivers in SDL's order.
std::vector<std::string> candidateDrivers() {
    std::vector<std::string> drivers;
    const char* chosen = std::getenv("SDL_AUDIODRIVER");
    if (chosen && *chosen) {
        std::string_view list = chosen;
        while (!list.empty()) {
            const std::size_t comma = std::min(list.find(','), list.size());
            if (comma > 0)
                drivers.emplace_back(list.substr(0, comma));
            list.remove_prefix(std::min(comma + 1, list.size()));
        }
        return drivers;
    }
    for (int i = 0; i < SDL_GetNumAudioDrivers(); ++i) {
        const char* name = SDL_GetAudioDriver(i);
        if (name && !onRequestOnly(name))
            drivers.emplace_back(name);
    }
    return drivers;
}

// SDL starts some of its messages with the driver's name, which the game's line already gives.
std::string withoutDriverName(const std::string& why, const std::string& driver) {
    if (why.size() > driver.size() + 2 && strncasecmp(why.c_str(), driver.c_str(), driver.size()) == 0 &&
        why.compare(driver.size(), 2, ": ") == 0)
        return why.substr(driver.size() + 2);
    return why;
}

} // namespace

std::unique_ptr<SdlAudioDevice> SdlAudioDevice::open(std::string& error) {
    return open(error, Timing{});
}

std::unique_ptr<SdlAudioDevice> SdlAudioDevice::open(std::string& error, Timing timing) {
    silenceAlsa();
    // How the game shows in the desktop's volume control (SDL's own variables of the same names
    // still win). The driver-specific fallbacks differ: SDL's PipeWire driver would say "SDL
    // Application" and "Audio Stream".
    SDL_SetHint(SDL_HINT_APP_NAME, kApplicationName);
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, kApplicationName);
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, kStreamName);

    auto device = std::unique_ptr<SdlAudioDevice>(new SdlAudioDevice(timing));
    device->drivers_ = candidateDrivers();
    std::string tried;
    device->id_ = device->startDriver(true, device->driver_, tried);
    if (device->id_ == 0) {
        const std::string why = tried.empty() ? std::string("SDL has no audio driver") : tried;
        // Drivers SDL does not have never answer (SDL_AUDIODRIVER=none is how a player asks for
        // silence); any other may, once its sound server is started.
        const bool anyKnown =
            std::any_of(device->drivers_.begin(), device->drivers_.end(), [](const std::string& d) {
                for (int i = 0; i < SDL_GetNumAudioDrivers(); ++i)
                    if (const char* name = SDL_GetAudioDriver(i); name && d == name)
                        return true;
                return false;
            });
        if (!anyKnown) {
            error = core::trFill("hearthly: no audio (%s); the game plays in silence", {why});
            return nullptr;
        }
        error = core::trFill("hearthly: no audio (%s); the music starts when a sound server answers", {why});
    }
    // The stream was opened to learn the rate the synthesiser works at; it is released again
    // like any idle stream unless the music starts first.
    device->silentSince_ = Clock::now();
    device->keeper_ = SDL_CreateThread(
        [](void* self) {
            static_cast<SdlAudioDevice*>(self)->keep();
            return 0;
        },
        "hearthly-audio", device.get());
    return device;
}

std::uint32_t SdlAudioDevice::startDriver(bool firstTime, std::string& driver, std::string& tried) {
    // Each driver is tried in turn rather than leaving the choice to SDL, which reports only
    // the last failure: on a desktop whose sound server is down, that is ALSA's, while the
    // server was the one that mattered.
    std::uint32_t id = 0;
    for (const std::string& name : drivers_) {
        // Over the player's SDL_AUDIODRIVER too, which has been read into the list.
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, name.c_str(), SDL_HINT_OVERRIDE);
        std::string why;
        const bool started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        if (started) {
            id = openStream(firstTime, why);
            if (id != 0) {
                const char* current = SDL_GetCurrentAudioDriver();
                driver = current ? current : name;
                break;
            }
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        } else {
            why = SDL_GetError();
        }
        tried += (tried.empty() ? "" : "; ") + name + ": " + withoutDriverName(why, name);
        // Like SDL, the first driver whose sound system is there is the one that counts; the
        // ones after it would only add their libraries' own complaints.
        if (started)
            break;
    }
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    return id;
}

SdlAudioDevice::~SdlAudioDevice() {
    {
        const std::lock_guard lock(deviceMutex_);
        quit_ = true;
    }
    wake_.notify_one();
    if (keeper_)
        SDL_WaitThread(keeper_, nullptr);
    if (id_ != 0)
        SDL_CloseAudioDevice(id_);
    if (!driver_.empty())
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

std::uint32_t SdlAudioDevice::openStream(bool firstTime, std::string& error) {
    SDL_AudioSpec wanted{};
    wanted.freq = rate_;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    // About 46 ms: short enough for 'a' to feel immediate, and the sound thread wakes half as
    // often as it would for 23 ms.
    wanted.samples = 2048;
    wanted.callback = &SdlAudioDevice::fill;
    wanted.userdata = this;
    SDL_AudioSpec got{};
    // The synthesiser renders at whatever rate the card liked the first time; SDL converts
    // anything else, so a stream opened later (another server, another output) plays at the
    // rate the synthesiser already has.
    const SDL_AudioDeviceID id =
        SDL_OpenAudioDevice(nullptr, 0, &wanted, &got, firstTime ? SDL_AUDIO_ALLOW_FREQUENCY_CHANGE : 0);
    if (id == 0) {
        error = SDL_GetError();
        return 0;
    }
    // SDL opens the device paused, so the callback cannot run before this is set.
    if (firstTime)
        rate_ = got.freq;
    return id;
}

void SdlAudioDevice::setActive(bool active) {
    const std::lock_guard lock(deviceMutex_);
    if (active == wanted_)
        return;
    wanted_ = active;
    if (active)
        nextTry_ = playingSince_ = Clock::now();
    else
        silentSince_ = Clock::now();
    if (id_ != 0)
        SDL_PauseAudioDevice(id_, active ? 0 : 1);
    wake_.notify_one();
}

bool SdlAudioDevice::active() const {
    const std::lock_guard lock(deviceMutex_);
    return wanted_;
}

std::string SdlAudioDevice::driver() const {
    const std::lock_guard lock(deviceMutex_);
    return driver_;
}

bool SdlAudioDevice::streamOpen() const {
    const std::lock_guard lock(deviceMutex_);
    return id_ != 0;
}

void SdlAudioDevice::keep() {
    std::unique_lock lock(deviceMutex_);
    while (!quit_) {
        const Clock::time_point now = Clock::now();
        if (id_ != 0) {
            // SDL marks a stream the server dropped as stopped, and from then on calls for music
            // that goes nowhere: it is closed at once. One that plays but is no longer pulled
            // from has lost its server just as well.
            const Clock::time_point pulled{Clock::duration(lastPull_.load(std::memory_order_relaxed))};
            const bool stalled = wanted_ && now - std::max(pulled, playingSince_) >= timing_.stalledAfter;
            const bool dropped = stalled || SDL_GetAudioDeviceStatus(id_) == SDL_AUDIO_STOPPED;
            if (dropped || (!wanted_ && now - silentSince_ >= timing_.releaseAfter)) {
                const std::uint32_t id = std::exchange(id_, 0);
                lock.unlock();
                SDL_CloseAudioDevice(id);
                lock.lock();
                if (dropped && wanted_ && !lost_) {
                    lost_ = true;
                    say(core::trFill(
                        "hearthly: lost the sound device (%s); the music comes back when it does",
                        {driver_}));
                }
                // A server that was only restarted may be back already.
                nextTry_ = now;
                continue;
            }
        } else if (wanted_ && now >= nextTry_) {
            // Opening talks to the server, which may take a while: the game must not wait.
            // Without a sound system yet (none answered at start), every one is tried again.
            const bool first = driver_.empty();
            lock.unlock();
            std::string why, found;
            const std::uint32_t id = first ? startDriver(false, found, why) : openStream(false, why);
            lock.lock();
            if (id != 0) {
                id_ = id;
                if (first)
                    driver_ = found;
                playingSince_ = Clock::now();
                SDL_PauseAudioDevice(id_, wanted_ ? 0 : 1);
                if (!wanted_)
                    silentSince_ = Clock::now();
                if (first) {
                    lost_ = false;
                    say(core::trFill("hearthly: found a sound device (%s); the music plays", {driver_}));
                } else if (lost_) {
                    lost_ = false;
                    say(core::trFill("hearthly: the sound device is back (%s)", {driver_}));
                }
            } else if (first) {
                // Said once at start; the tries go on quietly while the music is wanted.
                nextTry_ = Clock::now() + timing_.retryEvery;
            } else {
                if (!lost_) {
                    lost_ = true;
                    say(core::trFill(
                        "hearthly: lost the sound device (%s: %s); the music comes back when it does",
                        {driver_, why}));
                }
                nextTry_ = Clock::now() + timing_.retryEvery;
            }
            continue;
        }
        if (id_ != 0 && wanted_)
            wake_.wait_for(lock, timing_.watchEvery);
        else if (id_ != 0)
            wake_.wait_until(lock, std::min(silentSince_ + timing_.releaseAfter, now + timing_.watchEvery));
        else if (wanted_)
            wake_.wait_until(lock, nextTry_);
        else
            wake_.wait(lock);
    }
}

std::int64_t SdlAudioDevice::clockFrames() const {
    // The steady clock stands still while the machine sleeps, as the music should.
    const auto now = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch());
    return now.count() * rate_ / 1'000'000;
}

void SdlAudioDevice::lock() {
    sourceMutex_.lock();
}
void SdlAudioDevice::unlock() {
    sourceMutex_.unlock();
}

void SdlAudioDevice::fill(void* self, std::uint8_t* stream, int bytes) {
    auto* device = static_cast<SdlAudioDevice*>(self);
    const int frames = bytes / static_cast<int>(2 * sizeof(std::int16_t));
    device->lastPull_.store(Clock::now().time_since_epoch().count(), std::memory_order_relaxed);
    const std::lock_guard lock(device->sourceMutex_);
    if (device->source_)
        device->source_->render(reinterpret_cast<std::int16_t*>(stream), frames);
    else
        std::memset(stream, 0, static_cast<std::size_t>(bytes));
}

} // namespace platform
