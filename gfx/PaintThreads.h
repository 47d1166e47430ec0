#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace gfx {

// A few threads kept for painting one picture in parts at once (bands of rows that share no
// pixels). run() hands out the parts, works on them itself too, and returns when all are done,
// so whatever the parts wrote is visible to the caller afterwards.
class PaintThreads {
public:
    // count threads in all, the caller's included; 1 paints everything on the caller's thread.
    explicit PaintThreads(int count);
    PaintThreads(const PaintThreads&) = delete;
    PaintThreads& operator=(const PaintThreads&) = delete;
    ~PaintThreads();

    int count() const { return static_cast<int>(workers_.size()) + 1; }

    // Calls part(i) once for every i in [0, parts), spread over the threads.
    void run(int parts, const std::function<void(int)>& part);

    // The threads to paint with: HEARTHLY_PAINT_THREADS when it is a number from 1 to 64
    // (anything else is said on stderr and ignored), otherwise the processor's core count.
    static int countFromEnvironment();

private:
    void work();
    // Takes parts of the current job until none is left.
    void takeParts();

    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    const std::function<void(int)>* job_ = nullptr;
    int parts_ = 0;
    int next_ = 0;     // the next part to hand out
    int finished_ = 0; // parts done
    long long generation_ = 0;
    bool stopping_ = false;
};

} // namespace gfx
