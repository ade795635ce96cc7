// SPDX-License-Identifier: MIT
#include "entry/value_array.h"

#include <span>

#include "base/text_format.h"
#include "entry/grid.h"
#include "statistics/descriptive.h"

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

namespace {

bool isValue(const Slot& s) {
    if (std::holds_alternative<std::monostate>(s)) {
        return false;
    }
    if (const auto* text = std::get_if<std::string>(&s)) {
        return !trimBlanks(*text).empty() && *text != kEndMarker;
    }
    return true;
}

}  // namespace

int CountValues(const ValueArray& values) {
    int n = 0;
    for (int i = 1; i <= kMaxReplicates && isValue(values[i]); ++i) {
        ++n;
    }
    return n;
}

int valuesOf(const ValueArray& values, std::array<double, kMaxReplicates>& out) {
    const int n = CountValues(values);
    for (int i = 1; i <= n; ++i) {
        out[static_cast<std::size_t>(i - 1)] = slotValue(values[i]);
    }
    return n;
}

double MeanOfValues(const ValueArray& values) {
    std::array<double, kMaxReplicates> buffer{};
    const int n = valuesOf(values, buffer);
    return meanOf(std::span<const double>(buffer.data(), static_cast<std::size_t>(n)));
}

double StdDevOfValues(const ValueArray& values) {
    std::array<double, kMaxReplicates> buffer{};
    const int n = valuesOf(values, buffer);
    return stdDevOf(std::span<const double>(buffer.data(), static_cast<std::size_t>(n)));
}

void GridToArray(const Grid& grid, ValueArray& values) {
    for (int row = 1; row <= kMaxReplicates; ++row) {
        values[row] = grid.cell(row, Grid::kDataCol);
    }
}

void ArrayToGrid(Grid& grid, const ValueArray& values, const ValueArray& transformed) {
    for (int row = 1; row <= kMaxReplicates; ++row) {
        grid.setCell(row, Grid::kDataCol, slotText(values[row]));
    }
    for (int row = 1; row <= kMaxReplicates; ++row) {
        grid.setCell(row, Grid::kTransformCol, slotText(transformed[row]));
    }
}

void ClearGrid(Grid& grid) {
    for (int row = 1; row <= kMaxReplicates; ++row) {
        grid.setCell(row, Grid::kDataCol, "");
        grid.setCell(row, Grid::kTransformCol, "");
    }
    grid.setCurrent(1, Grid::kDataCol);
}

void ClearTransformColumn(Grid& grid) {
    for (int row = 1; row <= kMaxReplicates; ++row) {
        grid.setCell(row, Grid::kTransformCol, "");
    }
    grid.setCurrent(1, Grid::kDataCol);
}

}  // namespace bx
