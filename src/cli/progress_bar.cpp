// SPDX-License-Identifier: MIT
#include "cli/progress_bar.h"

#include <algorithm>
#include <string>

namespace bx::cli {
namespace {

constexpr std::size_t kBarWidth = 40;

int percentOf(std::size_t done, std::size_t total) {
    return total == 0 ? 100 : static_cast<int>(done * 100 / total);
}

}  // namespace

ProgressBar::ProgressBar(std::ostream& out, std::size_t total, bool enabled)
    : out_(out), total_(total), enabled_(enabled) {}

std::string ProgressBar::render(std::size_t done, std::size_t total) {
    const std::size_t filled = total == 0 ? kBarWidth : done * kBarWidth / total;
    std::string bar = "[";
    bar.append(filled, '#');
    bar.append(kBarWidth - filled, ' ');
    bar += "] ";
    const std::string percent = std::to_string(percentOf(done, total));
    bar.append(3 - std::min<std::size_t>(3, percent.size()), ' ');
    bar += percent + "% " + std::to_string(done) + "/" + std::to_string(total);
    return bar;
}

void ProgressBar::update(std::size_t done) {
    if (!enabled_) {
        return;
    }
    const int percent = percentOf(done, total_);
    if (percent == shownPercent_) {
        return;
    }
    shownPercent_ = percent;
    out_ << '\r' << render(done, total_) << std::flush;
}

void ProgressBar::clear() {
    if (!enabled_ || shownPercent_ < 0) {
        return;
    }
    out_ << '\r' << std::string(render(total_, total_).size(), ' ') << '\r';
    shownPercent_ = -1;
}

void ProgressBar::finish() {
    if (!enabled_) {
        return;
    }
    out_ << '\r' << render(total_, total_) << '\n' << std::flush;
    enabled_ = false;
}

}  // namespace bx::cli
