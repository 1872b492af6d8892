// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/progress_line.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace qp {

namespace {

// Carriage return, then erase to the end of the line.
constexpr std::string_view kClearLine = "\r\x1b[K";

}  // namespace

ProgressLine::ProgressLine(std::function<void(std::string_view)> write, std::function<Clock::time_point()> now,
                           bool sharesTheConsole)
    : write_(std::move(write)), now_(std::move(now)), sharesTheConsole_(sharesTheConsole) {
    if (now_) start_ = now_();
}

ProgressLine ProgressLine::forStandardError(bool verbose) {
    if (verbose || isatty(STDERR_FILENO) != 1) return ProgressLine({}, {});
    return ProgressLine([](std::string_view text) { (void)::write(STDERR_FILENO, text.data(), text.size()); },
                        [] { return Clock::now(); }, isatty(STDOUT_FILENO) == 1);
}

void ProgressLine::begin(std::string_view stage) {
    stage_ = stage;
    percent_ = kNoPercent;
    drawnPercent_ = kRedrawNeeded;
    draw();
}

void ProgressLine::advance(uint64_t done, uint64_t total) {
    if (total == 0) return;
    percent_ = static_cast<int>(std::min<uint64_t>(done, total) * 100 / total);
    draw();
}

void ProgressLine::draw() {
    if (!write_ || percent_ == drawnPercent_) return;
    const Clock::time_point now = now_();
    if (now - start_ < kQuietStart) return;
    if (shown_ && now - lastDrawn_ < kRedrawInterval) return;
    std::string line(kClearLine);
    line += stage_;
    if (percent_ != kNoPercent) line += " " + std::to_string(percent_) + "%";
    write_(line);
    shown_ = true;
    lastDrawn_ = now;
    drawnPercent_ = percent_;
}

void ProgressLine::suspend() {
    if (!sharesTheConsole_) return;
    clear();
    drawnPercent_ = kRedrawNeeded;
}

void ProgressLine::clear() {
    if (!shown_) return;
    write_(kClearLine);
    shown_ = false;
}

}  // namespace qp
