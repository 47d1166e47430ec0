#include "gfx/PaintThreads.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace gfx {

namespace {
constexpr int kMaxThreads = 64;
}

PaintThreads::PaintThreads(int count) {
    const int helpers = std::clamp(count, 1, kMaxThreads) - 1;
    workers_.reserve(static_cast<std::size_t>(helpers));
    for (int i = 0; i < helpers; ++i)
        workers_.emplace_back([this] { work(); });
}

PaintThreads::~PaintThreads() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : workers_)
        t.join();
}

void PaintThreads::run(int parts, const std::function<void(int)>& part) {
    if (parts <= 0)
        return;
    if (workers_.empty() || parts == 1) {
        for (int i = 0; i < parts; ++i)
            part(i);
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        job_ = &part;
        parts_ = parts;
        next_ = 0;
        finished_ = 0;
        ++generation_;
    }
    wake_.notify_all();
    takeParts();
    std::unique_lock lock(mutex_);
    done_.wait(lock, [&] { return finished_ == parts_; });
    job_ = nullptr;
}

void PaintThreads::takeParts() {
    std::unique_lock lock(mutex_);
    while (job_ != nullptr && next_ < parts_) {
        const int i = next_++;
        const std::function<void(int)>& part = *job_;
        lock.unlock();
        part(i);
        lock.lock();
        if (++finished_ == parts_)
            done_.notify_all();
    }
}

void PaintThreads::work() {
    long long seen = 0;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || (generation_ != seen && job_ != nullptr); });
            if (stopping_)
                return;
            seen = generation_;
        }
        takeParts();
    }
}

int PaintThreads::countFromEnvironment() {
    const int cores = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxThreads);
    const char* text = std::getenv("HEARTHLY_PAINT_THREADS");
    if (text == nullptr || *text == '\0')
        return cores;
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    if (*end != '\0' || n < 1 || n > kMaxThreads) {
        std::fprintf(
            stderr,
            "hearthly: HEARTHLY_PAINT_THREADS must be a number from 1 to %d, not '%s'; painting with %d\n",
            kMaxThreads, text, cores);
        return cores;
    }
    return static_cast<int>(n);
}

} // namespace gfx
