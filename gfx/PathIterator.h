#pragma once

#include "gfx/Path.h"

namespace gfx {

// Walks the figures of a path in order, one at a time, copying each into a path of its own
// so it can be drawn with its own pen or brush. The copy reuses its storage from figure to
// figure, so walking a path allocates only while the largest figure so far grows.
class PathIterator {
public:
    PathIterator() = default;
    explicit PathIterator(const Path& path) { restart(path); }

    // Starts again before the first figure of path (which must outlive the walk).
    void restart(const Path& path);
    // Moves to the next figure; false, with an empty figure(), when there is none left.
    bool next();
    // Moves over the next count figures (fewer where the path ends) and holds them all in
    // figure(), to be drawn at once with one pen; false, with an empty figure(), when there is
    // none left.
    bool next(int count);
    const Path& figure() const { return figure_; }

private:
    const Path* path_ = nullptr;
    std::size_t position_ = 0;
    Path figure_;
};

} // namespace gfx
