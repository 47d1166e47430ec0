#include "game/OffscreenWindow.h"

#include <algorithm>

namespace game {

OffscreenWindow::OffscreenWindow(int width, int height) {
    setClientSize(width, height);
}

gfx::RectI OffscreenWindow::clientRect() {
    if (minimized_)
        return {};
    return {0, 0, width_, height_};
}

void OffscreenWindow::present(const gfx::Surface& backBuffer, std::span<const gfx::RectI> deviceRects) {
    lastPresented_.assign(deviceRects.begin(), deviceRects.end());
    ++presentCount_;
    if (!screen_.valid())
        return;
    if (backBuffer.data() == screen_.data()) {
        ++presentedInPlace_;
        return;
    }
    for (const gfx::RectI& r : deviceRects)
        screen_.copyRect(backBuffer, r);
}

WindowPort::SharedPixels OffscreenWindow::sharedPixels() {
    if (!inPlace_ || !screen_.valid())
        return {};
    return {screen_.data(), width_, height_, screen_.stride()};
}

void OffscreenWindow::resizeClient(int width, int height) {
    if (!followsRecording_)
        setClientSize(width, height);
}

void OffscreenWindow::setClientSize(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    screen_ = width_ > 0 && height_ > 0 ? gfx::Surface(width_, height_) : gfx::Surface();
    if (screen_.valid())
        screen_.fill(0xff000000);
}

} // namespace game
