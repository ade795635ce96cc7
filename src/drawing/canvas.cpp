#include "drawing/canvas.h"

#include <algorithm>
#include <cstdio>

namespace bx::drawing {

Colour mix(Colour c, Colour towards, double amount) {
    return {c.r + (towards.r - c.r) * amount, c.g + (towards.g - c.g) * amount,
            c.b + (towards.b - c.b) * amount};
}

Colour grey(Colour c) {
    const double y = 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b;
    return {y, y, y};
}

std::string hexColour(Colour c) {
    const auto byte = [](double v) {
        return static_cast<unsigned>(std::clamp(v, 0.0, 1.0) * 255.0 + 0.5);
    };
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", byte(c.r), byte(c.g), byte(c.b));
    return text;
}

}  // namespace bx::drawing
