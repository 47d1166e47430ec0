#pragma once

#include "gfx/Geometry.h"
#include "gfx/Path.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <type_traits>
#include <unordered_map>

typedef struct FT_LibraryRec_* FT_Library;
typedef struct FT_FaceRec_* FT_Face;

namespace gfx {

// The game's one typeface (a bold sans-serif with Arial's metrics, carried inside the
// binary) turned into path outlines. Glyphs are decoded once, in font units, and reused.
class GlyphOutlines {
public:
    static GlyphOutlines& instance();

    // Appends the text's glyph contours to path as closed figures. The origin is the top
    // left of the line box: the baseline lies one ascent below it, and the first glyph
    // starts a sixth of an em to the right, as the classic text layout leaves it. A '\n'
    // starts a new line one line height lower.
    void appendText(Path& path, std::string_view utf8, float emSize, PointF origin);

    bool valid() const { return face_ != nullptr; }
    float ascent(float emSize) const;
    float lineHeight(float emSize) const;
    // Horizontal distance from the layout origin to the end of the text's first line.
    float advance(std::string_view utf8, float emSize);

    static constexpr float kLeftPadding = 1.0f / 6.0f; // of the em size

private:
    struct Glyph {
        Path outline; // font units, y downwards, origin on the baseline
        float advance = 0;
    };
    struct LibraryDeleter {
        void operator()(FT_Library library) const;
    };
    struct FaceDeleter {
        void operator()(FT_Face face) const;
    };

    GlyphOutlines();
    const Glyph& glyph(char32_t codepoint);

    std::unique_ptr<std::remove_pointer_t<FT_Library>, LibraryDeleter> library_;
    std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceDeleter> face_;
    float unitsPerEm_ = 2048;
    std::unordered_map<char32_t, Glyph> glyphs_;
};

} // namespace gfx
