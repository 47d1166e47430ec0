#pragma once

namespace platform {

// Turns mouse positions, which SDL gives in window points, into drawable pixels, which is what
// the game calls client pixels. The two differ on HiDPI screens. Positions outside the client
// area (the mouse is captured while a button is held) are clamped to its edge.
class MouseMapping {
public:
    struct Point {
        int x = 0;
        int y = 0;
        friend bool operator==(const Point&, const Point&) = default;
    };

    MouseMapping() = default;
    MouseMapping(int windowWidth, int windowHeight, int pixelWidth, int pixelHeight);

    Point toPixels(int x, int y) const;

private:
    static int scaleAxis(int value, int points, int pixels);

    int windowWidth_ = 0;
    int windowHeight_ = 0;
    int pixelWidth_ = 0;
    int pixelHeight_ = 0;
};

} // namespace platform
