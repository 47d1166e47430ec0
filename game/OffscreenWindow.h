#pragma once

#include "game/WindowPort.h"
#include "gfx/Surface.h"

#include <vector>

namespace game {

// A window without a screen: its "screen" is a surface that receives exactly the
// rectangles the game presents. For tests, benchmarks and the replay tool.
class OffscreenWindow final : public WindowPort {
public:
    OffscreenWindow(int width, int height);

    gfx::RectI clientRect() override;
    void present(const gfx::Surface& backBuffer, std::span<const gfx::RectI> deviceRects) override;
    // The game's request: a new, black screen of that size (nothing while either side is 0),
    // unless the window follows a recording instead.
    void resizeClient(int width, int height) override;
    void setClientSize(int width, int height);
    // A played recording gives every client area the game saw; what the game asked of the real
    // window came back to it that way, so its own requests are not granted twice.
    void followRecording() { followsRecording_ = true; }

    // While minimised the client area is empty; the size comes back on restore.
    void minimize() { minimized_ = true; }
    void restore() { minimized_ = false; }
    bool isMinimized() const { return minimized_; }

    // The game paints straight into the screen's pixels, as into an X11 window's.
    void paintInPlace(bool on) { inPlace_ = on; }
    SharedPixels sharedPixels() override;
    // Presents of a back buffer that was the screen itself.
    long long presentedInPlace() const { return presentedInPlace_; }

    const gfx::Surface& screen() const { return screen_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // The rectangles of the last present call, and how many calls there were.
    const std::vector<gfx::RectI>& lastPresented() const { return lastPresented_; }
    long long presentCount() const { return presentCount_; }

private:
    int width_ = 0;
    int height_ = 0;
    bool minimized_ = false;
    bool followsRecording_ = false;
    bool inPlace_ = false;
    long long presentedInPlace_ = 0;
    gfx::Surface screen_;
    std::vector<gfx::RectI> lastPresented_;
    long long presentCount_ = 0;
};

} // namespace game
