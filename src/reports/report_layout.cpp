// SPDX-License-Identifier: MIT
#include "reports/report_layout.h"

#include <array>

namespace bx {
namespace {

struct AlignmentStep {
    const char* first;
    const char* last;
    int alignment;
};

struct BorderStep {
    const char* first;
    const char* last;
};

constexpr double kColumnWidth = 8.0;
constexpr int kColumns = 10;
constexpr const char* kFontName = "Arial";
constexpr double kFontSize = 8.0;

// Labels right-aligned against their values, values left-aligned beside them, the replicate
// table centred. The order matters where ranges overlap: a later step wins.
constexpr std::array<AlignmentStep, 15> kAlignments{{
    {"B1", "B1", kAlignRight},
    {"B3", "B10", kAlignRight},
    {"c3", "c10", kAlignLeft},
    {"G3", "G10", kAlignRight},
    {"h3", "h10", kAlignLeft},
    {"B15", "B29", kAlignRight},
    {"e15", "e27", kAlignRight},
    {"h15", "h22", kAlignRight},
    {"c15", "c29", kAlignLeft},
    {"f15", "f27", kAlignLeft},
    {"i15", "i17", kAlignLeft},
    {"I20", "I20", kAlignRight},
    {"I24", "I33", kAlignRight},
    {"J24", "J33", kAlignLeft},
    {"A35", "J58", kAlignCenter},
}};

// The two treatment blocks, the three result blocks, the replicate header and its table.
constexpr std::array<BorderStep, 7> kBorders{{
    {"B3", "D10"},
    {"G3", "I10"},
    {"A13", "C33"},
    {"D13", "F33"},
    {"G13", "J33"},
    {"A36", "J38"},
    {"A39", "J58"},
}};

}  // namespace

void layOutReport(ReportLayout& layout) {
    for (int column = 1; column <= kColumns; ++column) {
        layout.setColumnWidth(column, kColumnWidth);
    }
    layout.setFontName(kFontName);
    layout.setFontSize(kFontSize);
    for (const AlignmentStep& step : kAlignments) {
        layout.setHorizontalAlignment(step.first, step.last, step.alignment);
    }
    for (const BorderStep& step : kBorders) {
        layout.borderAround(step.first, step.last, kLineContinuous);
    }
}

bool parseCellAddress(std::string_view address, int& row, int& column) {
    if (address.size() < 2) {
        return false;
    }
    const char letter = address[0];
    if (letter >= 'a' && letter <= 'z') {
        column = letter - 'a';
    } else if (letter >= 'A' && letter <= 'Z') {
        column = letter - 'A';
    } else {
        return false;
    }
    int number = 0;
    for (const char c : address.substr(1)) {
        if (c < '0' || c > '9' || number > 1'000'000) {
            return false;
        }
        number = number * 10 + (c - '0');
    }
    if (number < 1) {
        return false;
    }
    row = number - 1;
    return true;
}

}  // namespace bx
