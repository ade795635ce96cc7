// SPDX-License-Identifier: MIT
#pragma once
// Text measured without a font library: the advance widths of DejaVu Sans and DejaVu Sans Bold
// (the faces the desktop's "Sans" is and the SVG pictures name first), each character's advance
// rounded to a whole point as pango places glyphs on the desktop (hinted metrics). For numbers,
// which is what the pictures measure, this gives pango's widths exactly; pango also kerns pairs
// of letters, which this leaves out (a word may come out a point or two wider or narrower).
// Characters the table lacks count as wide as an "M".

#include <string_view>

#include "drawing/canvas.h"

namespace bx::drawing {

// A TextMeasure for where pango is not at hand (the browser edition).
double tabulatedTextWidth(std::string_view text, const Font& font);

}  // namespace bx::drawing
