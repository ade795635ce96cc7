#pragma once
// The values of the summary record for the window's last run, in the record's field order,
// read from the display fields as the summary log reads them.

#include <array>
#include <string>

namespace bx {
struct WindowState;
}

namespace bx::cli {

inline constexpr std::size_t kSummaryFieldCount = 20;

std::array<std::string, kSummaryFieldCount> summaryValues(const WindowState& ui);

}  // namespace bx::cli
