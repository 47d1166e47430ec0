#pragma once

namespace platform {

// Where the aspect correction may put the window: a resized client area keeps its proportions
// but grows or shrinks as a whole, so that it is never smaller than the game's minimum and
// never larger than the room the display leaves for it.
class ClientFit {
public:
    struct Size {
        int width = 0;
        int height = 0;
        friend bool operator==(const Size&, const Size&) = default;
    };

    // requested scaled uniformly into [minimum, maximum]; a maximum of 0 on a side sets no
    // limit there. Where both cannot hold, the maximum wins: the whole window stays on screen.
    // An empty request is returned as it is.
    static Size fit(Size requested, Size minimum, Size maximum);
};

} // namespace platform
