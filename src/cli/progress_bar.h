// SPDX-License-Identifier: MIT
#pragma once
// A one-line progress bar redrawn in place on a terminal.

#include <cstddef>
#include <ostream>

namespace bx::cli {

class ProgressBar {
  public:
    // Draws nothing unless `enabled`.
    ProgressBar(std::ostream& out, std::size_t total, bool enabled);

    // `done` of the total are finished. Redraws only when the shown percentage changes.
    void update(std::size_t done);

    // Wipes the bar off its line so that a message can be written there; the next update
    // draws it again.
    void clear();

    // Draws the full bar and ends its line.
    void finish();

    // The bar's text for `done` of `total`, e.g. "[##########          ]  50% 5/10".
    static std::string render(std::size_t done, std::size_t total);

  private:
    std::ostream& out_;
    std::size_t total_;
    bool enabled_;
    int shownPercent_ = -1;
};

// Comparisons above this count get a progress bar when standard error is a terminal.
inline constexpr std::size_t kProgressBarThreshold = 300;

}  // namespace bx::cli
