#pragma once

#include "gfx/Geometry.h"

namespace gfx {

// Flat ends at the end point, round ends a half width beyond it; the anchors are drawn
// shapes centred on the end point: a disc (RoundAnchor) or an arrow head pointing along
// the line (ArrowAnchor), both larger than the pen's width.
enum class LineCap { Flat, Round, RoundAnchor, ArrowAnchor };
enum class LineJoin { Miter, Round };
// Center strokes across the outline; Inset keeps the stroke inside closed figures
// (open figures are stroked centred, as there is no inside).
enum class PenAlignment { Center, Inset };

class Pen {
public:
    // A negative or non-finite width gives a pen of width 1.
    explicit Pen(Argb color = 0xff000000, float width = 1.0f);

    Argb color() const { return color_; }
    void setColor(Argb color) { color_ = color; }
    float width() const { return width_; }
    // InvalidParameter (and no change) for a negative or non-finite width.
    Status setWidth(float width);
    LineCap startCap() const { return startCap_; }
    LineCap endCap() const { return endCap_; }
    void setStartCap(LineCap cap) { startCap_ = cap; }
    void setEndCap(LineCap cap) { endCap_ = cap; }
    LineJoin lineJoin() const { return lineJoin_; }
    void setLineJoin(LineJoin join) { lineJoin_ = join; }
    PenAlignment alignment() const { return alignment_; }
    void setAlignment(PenAlignment alignment) { alignment_ = alignment; }

    // How far beyond a path's geometry this pen can paint, in world units, caps and
    // joins included (anti-aliasing is added by the bounds calculation). A width of 0
    // draws a hairline of one device pixel.
    float reach() const;

    // Miter joins are cut off where the spike would pass this many half widths.
    static constexpr float kMiterLimit = 10.0f;
    // Diameter of a RoundAnchor disc and both length and base width of an ArrowAnchor
    // head, whose tip lies on the end point.
    static constexpr float anchorSize(float width) { return 2.0f * width; }

private:
    static float capReach(LineCap cap, float width);

    Argb color_;
    float width_;
    LineCap startCap_ = LineCap::Flat;
    LineCap endCap_ = LineCap::Flat;
    LineJoin lineJoin_ = LineJoin::Miter;
    PenAlignment alignment_ = PenAlignment::Center;
};

} // namespace gfx
