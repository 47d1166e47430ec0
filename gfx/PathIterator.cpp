#include "gfx/PathIterator.h"

namespace gfx {

namespace {

bool startsFigure(std::uint8_t type) {
    return (type & kPointTypeMask) == static_cast<std::uint8_t>(PointType::Start);
}

} // namespace

void PathIterator::restart(const Path& path) {
    path_ = &path;
    position_ = 0;
    figure_.reset();
    figure_.fillMode_ = path.fillMode_;
}

bool PathIterator::next() {
    return next(1);
}

bool PathIterator::next(int count) {
    figure_.reset();
    if (path_ == nullptr || position_ >= path_->points_.size())
        return false;
    const std::size_t first = position_;
    for (int k = 0; k < count && position_ < path_->points_.size(); ++k) {
        do {
            ++position_;
        } while (position_ < path_->points_.size() && !startsFigure(path_->types_[position_]));
    }
    figure_.points_.assign(path_->points_.begin() + static_cast<std::ptrdiff_t>(first),
                           path_->points_.begin() + static_cast<std::ptrdiff_t>(position_));
    figure_.types_.assign(path_->types_.begin() + static_cast<std::ptrdiff_t>(first),
                          path_->types_.begin() + static_cast<std::ptrdiff_t>(position_));
    return true;
}

} // namespace gfx
