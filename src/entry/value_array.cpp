#include "entry/value_array.h"

#include "app/text_format.h"

namespace bx {

std::string slotText(const Slot& s) {
    if (const auto* text = std::get_if<std::string>(&s)) {
        return *text;
    }
    if (const auto* number = std::get_if<double>(&s)) {
        return numberToText(*number);
    }
    return {};
}

double slotValue(const Slot& s) {
    if (const auto* number = std::get_if<double>(&s)) {
        return *number;
    }
    if (const auto* text = std::get_if<std::string>(&s)) {
        return leadingNumber(*text);
    }
    return 0.0;
}

bool isEndMarker(const Slot& s) {
    const auto* text = std::get_if<std::string>(&s);
    return text != nullptr && *text == kEndMarker;
}

}  // namespace bx
