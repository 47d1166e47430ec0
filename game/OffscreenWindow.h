#pragma once

#include "game/WindowPort.h"
#include "gfx/Surface.h"

#include <vector>

// A window without a screen: its "screen" is a surface that receives exactly the
// rectangles the game presents. For tests, benchmarks and the replay tool.
class OffscreenWindow final : public WindowPort {
public:
    OffscreenWindow(int width, int height);

    gfx::RectI clientRect() override;
    void present(const gfx::Surface& backBuffer, std::span<const gfx::RectI> deviceRects) override;
    // A new, black screen of that size (nothing while either side is 0).
    void resizeClient(int width, int height) override;

    // While minimised the client area is empty; the size comes back on restore.
    void minimize() { minimized = true; }
    void restore() { minimized = false; }
    bool isMinimized() const { return minimized; }

    const gfx::Surface& screen() const { return screen_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // The rectangles of the last present call, and how many calls there were.
    const std::vector<gfx::RectI>& lastPresented() const { return lastPresented_; }
    long long presentCount() const { return presentCount_; }

private:
    int width_ = 0;
    int height_ = 0;
    bool minimized = false;
    gfx::Surface screen_;
    std::vector<gfx::RectI> lastPresented_;
    long long presentCount_ = 0;
};
