#include "platform/QuitSignals.h"

#include <SDL.h>

#include <cstdlib>
#include <pthread.h>

namespace platform {

namespace {

sigset_t quitSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : {SIGHUP, SIGTERM, SIGINT})
        sigaddset(&set, signal);
    return set;
}

} // namespace

void QuitSignals::blockInThisAndLaterThreads() {
    const sigset_t set = quitSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    // SDL would otherwise catch SIGTERM and SIGINT itself; the watch takes all three alike.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
}

QuitSignals::QuitSignals() : thread_([this] { watch(); }) {}

QuitSignals::~QuitSignals() {
    // The watch wakes for its own thread's hang-up and sees that it is to end.
    stopping_ = true;
    pthread_kill(thread_.native_handle(), SIGHUP);
    thread_.join();
}

void QuitSignals::watch() {
    const sigset_t set = quitSignals();
    for (;;) {
        int signal = 0;
        if (sigwait(&set, &signal) != 0 || stopping_)
            return;
        // Asked a second time: the game did not manage to end, so it ends here and now.
        if (received_.exchange(signal) != 0)
            std::_Exit(128 + signal);
        // SDL's queue is safe to push to from any thread, and a push wakes the loop's wait.
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    }
}

} // namespace platform
