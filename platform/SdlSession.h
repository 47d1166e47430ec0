#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// SDL's video subsystem for the life of the program: initialised once, shut down on the way out.
class SdlSession {
public:
    // Sets the hints the window relies on and initialises video. On failure returns nothing and
    // puts one line for the user into error.
    static std::unique_ptr<SdlSession> open(std::string& error);

    SdlSession(const SdlSession&) = delete;
    SdlSession& operator=(const SdlSession&) = delete;
    ~SdlSession();

    // Milliseconds since the machine started: what the random generator is seeded with.
    static std::uint32_t tickCount();

private:
    SdlSession() = default;
};

} // namespace platform
