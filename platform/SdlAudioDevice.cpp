#include "platform/SdlAudioDevice.h"

#include <SDL.h>

#include <cstring>
#include <dlfcn.h>

namespace platform {

namespace {

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

} // namespace

std::unique_ptr<SdlAudioDevice> SdlAudioDevice::open(std::string& error) {
    silenceAlsa();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = std::string("hearthly: no audio (") + SDL_GetError() + "); the game plays in silence";
        return nullptr;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = kPreferredRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = 1024; // about 23 ms: small enough for 'a' to feel immediate
    wanted.callback = &SdlAudioDevice::fill;
    auto device = std::unique_ptr<SdlAudioDevice>(new SdlAudioDevice());
    wanted.userdata = device.get();
    SDL_AudioSpec got{};
    // The synthesiser renders at whatever rate the card likes; SDL converts anything else.
    const SDL_AudioDeviceID id =
        SDL_OpenAudioDevice(nullptr, 0, &wanted, &got, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (id == 0) {
        error = std::string("hearthly: no audio device (") + SDL_GetError() + "); the game plays in silence";
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    // SDL opens the device paused, so the callback cannot run before these are set.
    device->id_ = id;
    device->rate_ = got.freq;
    return device;
}

SdlAudioDevice::~SdlAudioDevice() {
    if (id_ == 0)
        return;
    SDL_CloseAudioDevice(id_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudioDevice::setActive(bool active) {
    active_ = active;
    SDL_PauseAudioDevice(id_, active ? 0 : 1);
}

void SdlAudioDevice::lock() {
    SDL_LockAudioDevice(id_);
}
void SdlAudioDevice::unlock() {
    SDL_UnlockAudioDevice(id_);
}

void SdlAudioDevice::fill(void* self, std::uint8_t* stream, int bytes) {
    auto* device = static_cast<SdlAudioDevice*>(self);
    const int frames = bytes / static_cast<int>(2 * sizeof(std::int16_t));
    if (device->source_)
        device->source_->render(reinterpret_cast<std::int16_t*>(stream), frames);
    else
        std::memset(stream, 0, static_cast<std::size_t>(bytes));
}

} // namespace platform
