#pragma once
// A value array: slots 1 to 10, one per grid row, each holding a text, a number or nothing.
// A sample's values are the slots before the first empty slot or the end marker "~".

#include <array>
#include <string>
#include <variant>

namespace bx {

inline constexpr int kMaxReplicates = 10;
inline constexpr int kMaxPooled = 2 * kMaxReplicates;
inline constexpr const char* kEndMarker = "~";

using Slot = std::variant<std::monostate, std::string, double>;

struct ValueArray {
    std::array<Slot, kMaxReplicates + 1> slot{};  // slot 0 is unused

    Slot& operator[](int i) { return slot.at(static_cast<std::size_t>(i)); }
    const Slot& operator[](int i) const { return slot.at(static_cast<std::size_t>(i)); }

    // Every used slot (1..10) set to the number 0, as at start-up.
    static ValueArray zeros() {
        ValueArray a;
        for (int i = 1; i <= kMaxReplicates; ++i) {
            a[i] = 0.0;
        }
        return a;
    }
};

// The slot's text: a text as it stands, a number without a pattern, nothing as "".
std::string slotText(const Slot& s);

// The slot's number: a number as it stands, a text by the leading-number parse, nothing as 0.
double slotValue(const Slot& s);

// True for the end marker "~".
bool isEndMarker(const Slot& s);

}  // namespace bx
