// SPDX-License-Identifier: MIT
#include "drawing/font_metrics.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "base/code_page.h"

namespace bx::drawing {
namespace {

struct Advance {
    std::uint32_t character;
    int regular;  // in font units
    int bold;
};

#include "drawing/dejavu_advances.inc"

const Advance* advanceOf(std::uint32_t c) {
    const Advance* end = std::end(kAdvances);
    const Advance* it = std::lower_bound(
        std::begin(kAdvances), end, c,
        [](const Advance& a, std::uint32_t wanted) { return a.character < wanted; });
    return it != end && it->character == c ? it : nullptr;
}

// The code point of the valid UTF-8 character of `length` bytes at `p`.
std::uint32_t codePoint(const unsigned char* p, int length) {
    if (length == 1) {
        return p[0];
    }
    std::uint32_t c = p[0] & (0x7Fu >> length);
    for (int i = 1; i < length; ++i) {
        c = (c << 6) | (p[i] & 0x3Fu);
    }
    return c;
}

}  // namespace

double tabulatedTextWidth(std::string_view text, const Font& font) {
    const Advance* wide = advanceOf('M');
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t left = text.size();
    double width = 0.0;
    while (left > 0) {
        int length = utf8Length(p, left);
        const Advance* a = length > 0 ? advanceOf(codePoint(p, length)) : nullptr;
        if (a == nullptr) {
            a = wide;
        }
        length = std::max(length, 1);
        const int units = font.bold ? a->bold : a->regular;
        width += std::round(static_cast<double>(units) * font.size / kUnitsPerEm);
        p += length;
        left -= static_cast<std::size_t>(length);
    }
    return width;
}

}  // namespace bx::drawing
