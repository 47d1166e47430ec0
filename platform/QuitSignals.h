#pragma once

#include <atomic>
#include <csignal>
#include <thread>

namespace platform {

// The requests to end that come as signals: the terminal that started the game hangs up
// (SIGHUP), or something asks it to stop (SIGTERM, SIGINT). Each is turned into the same quit
// event as closing the window, so the game ends the ordinary way, with status 0, its sound
// device and window closed, instead of being cut off where it stands.
//
// The signals are taken on a thread of their own with sigwait, so nothing runs inside a signal
// handler. They must be blocked before any other thread starts (SDL's and the sound card's
// threads inherit the mask): call blockInThisAndLaterThreads() first thing in main, and make
// the watch once SDL's events are up; the watch must go before SDL shuts down.
class QuitSignals {
public:
    static void blockInThisAndLaterThreads();

    QuitSignals();
    ~QuitSignals();
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

private:
    void watch();

    std::atomic<int> received_{0};
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

} // namespace platform
