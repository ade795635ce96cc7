// SPDX-License-Identifier: MIT
#pragma once
// A value array: slots 1 to 10, one per grid row, each holding a text, a number or nothing.
// A sample's values are the slots before the first empty slot or the end marker "~".

#include <array>
#include <string>
#include <variant>

#include "base/analysis_types.h"

namespace bx {

class Grid;

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

// The number of leading slots that are neither blank nor the end marker "~".
int CountValues(const ValueArray& values);

// The first CountValues(values) slots as numbers; returns the count.
int valuesOf(const ValueArray& values, std::array<double, kMaxReplicates>& out);

// Mean and sample standard deviation of the counted values (0 for none, or for fewer than
// two values).
double MeanOfValues(const ValueArray& values);
double StdDevOfValues(const ValueArray& values);

// Column 1, rows 1 to 10, into slots 1 to 10 as texts.
void GridToArray(const Grid& grid, ValueArray& values);
// Slots 1 to 10 of `values` into column 1 and of `transformed` into column 2, as texts.
void ArrayToGrid(Grid& grid, const ValueArray& values, const ValueArray& transformed);
// Blank columns 1 and 2 (ClearGrid) or column 2 only (ClearTransformColumn), rows 1 to 10;
// then row 1, column 1 becomes the current cell.
void ClearGrid(Grid& grid);
void ClearTransformColumn(Grid& grid);

}  // namespace bx
