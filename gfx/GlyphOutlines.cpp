#include "gfx/GlyphOutlines.h"

#include "core/Utf8Decoder.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cstddef>

extern const std::uint8_t embeddedFontData[];
extern const std::size_t embeddedFontDataSize;

namespace gfx {

namespace {

// Collects a glyph outline while FreeType walks it. Contours are closed figures; TrueType's
// quadratic pieces become cubics, and y is flipped to grow downwards.
struct OutlineSink {
    Path* path = nullptr;
    PointF current;
    bool open = false;

    static PointF toPoint(const FT_Vector* v) {
        return {static_cast<float>(v->x), -static_cast<float>(v->y)};
    }
    static OutlineSink& of(void* user) { return *static_cast<OutlineSink*>(user); }

    static int moveTo(const FT_Vector* to, void* user) {
        OutlineSink& s = of(user);
        if (s.open)
            s.path->closeFigure();
        s.path->startFigure();
        s.current = toPoint(to);
        s.open = false;
        return 0;
    }
    static int lineTo(const FT_Vector* to, void* user) {
        OutlineSink& s = of(user);
        const PointF p = toPoint(to);
        s.path->addLine(s.current, p);
        s.current = p;
        s.open = true;
        return 0;
    }
    static int conicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
        OutlineSink& s = of(user);
        const PointF c = toPoint(control);
        const PointF p = toPoint(to);
        const PointF c1{s.current.x + 2.0f / 3.0f * (c.x - s.current.x),
                        s.current.y + 2.0f / 3.0f * (c.y - s.current.y)};
        const PointF c2{p.x + 2.0f / 3.0f * (c.x - p.x), p.y + 2.0f / 3.0f * (c.y - p.y)};
        s.path->addBezier(s.current, c1, c2, p);
        s.current = p;
        s.open = true;
        return 0;
    }
    static int cubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
        OutlineSink& s = of(user);
        const PointF p = toPoint(to);
        s.path->addBezier(s.current, toPoint(c1), toPoint(c2), p);
        s.current = p;
        s.open = true;
        return 0;
    }
};

} // namespace

void GlyphOutlines::LibraryDeleter::operator()(FT_Library library) const {
    FT_Done_FreeType(library);
}

void GlyphOutlines::FaceDeleter::operator()(FT_Face face) const {
    FT_Done_Face(face);
}

GlyphOutlines& GlyphOutlines::instance() {
    static GlyphOutlines outlines;
    return outlines;
}

GlyphOutlines::GlyphOutlines() {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return;
    library_.reset(library);
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(library, embeddedFontData, static_cast<FT_Long>(embeddedFontDataSize), 0, &face) !=
        0)
        return;
    face_.reset(face);
    if (face->units_per_EM > 0)
        unitsPerEm_ = static_cast<float>(face->units_per_EM);
}

float GlyphOutlines::ascent(float emSize) const {
    return face_ ? static_cast<float>(face_->ascender) * emSize / unitsPerEm_ : emSize * 0.905f;
}

float GlyphOutlines::lineHeight(float emSize) const {
    return face_ ? static_cast<float>(face_->height) * emSize / unitsPerEm_ : emSize * 1.15f;
}

const GlyphOutlines::Glyph& GlyphOutlines::glyph(char32_t codepoint) {
    const auto found = glyphs_.find(codepoint);
    if (found != glyphs_.end())
        return found->second;
    Glyph& g = glyphs_[codepoint];
    if (!face_)
        return g;
    const FT_UInt index = FT_Get_Char_Index(face_.get(), codepoint);
    // Unscaled outlines are exact and unhinted; scaling happens when the text is placed.
    if (FT_Load_Glyph(face_.get(), index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) != 0)
        return g;
    FT_GlyphSlot slot = face_->glyph;
    g.advance = static_cast<float>(slot->advance.x);
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE)
        return g;
    OutlineSink sink{&g.outline, {}, false};
    FT_Outline_Funcs funcs{};
    funcs.move_to = &OutlineSink::moveTo;
    funcs.line_to = &OutlineSink::lineTo;
    funcs.conic_to = &OutlineSink::conicTo;
    funcs.cubic_to = &OutlineSink::cubicTo;
    FT_Outline_Decompose(&slot->outline, &funcs, &sink);
    if (sink.open)
        g.outline.closeFigure();
    return g;
}

void GlyphOutlines::appendText(Path& path, std::string_view utf8, float emSize, PointF origin) {
    const float scale = emSize / unitsPerEm_;
    const float left = origin.x + emSize * kLeftPadding;
    float penX = left;
    float baseline = origin.y + ascent(emSize);
    std::size_t i = 0;
    while (i < utf8.size()) {
        const char32_t cp = core::Utf8Decoder::next(utf8, i);
        if (cp == U'\n') {
            penX = left;
            baseline += lineHeight(emSize);
            continue;
        }
        const Glyph& g = glyph(cp);
        if (!g.outline.empty()) {
            Path placed = g.outline;
            placed.transform(Matrix(scale, 0, 0, scale, penX, baseline));
            path.addPath(placed);
        }
        penX += g.advance * scale;
    }
}

float GlyphOutlines::advance(std::string_view utf8, float emSize) {
    const float scale = emSize / unitsPerEm_;
    float width = emSize * kLeftPadding;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const char32_t cp = core::Utf8Decoder::next(utf8, i);
        if (cp == U'\n')
            break;
        width += glyph(cp).advance * scale;
    }
    return width;
}

} // namespace gfx
