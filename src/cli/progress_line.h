// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The progress of a long build on a terminal: one line on standard error, "stage  42%", rewritten in place
// and cleared when the build ends. It appears only once the build has run for a second, so that short builds
// look as they always did, and never when standard error is a pipe or a file or the build is verbose: the
// console text stays exactly the same.
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "core/progress.h"

namespace qp {

class ProgressLine : public Progress {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr auto kQuietStart = std::chrono::seconds(1);
    static constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

    // A line that writes through `write` and reads the time from `now`. `sharesTheConsole`: messages are
    // printed on the same terminal, so the line makes way for each.
    ProgressLine(std::function<void(std::string_view)> write, std::function<Clock::time_point()> now,
                 bool sharesTheConsole = true);
    // The line on standard error when it is a terminal and the build is not verbose; otherwise one that
    // shows nothing.
    static ProgressLine forStandardError(bool verbose);
    ~ProgressLine() override { clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Shows a new stage at once, unless the line was drawn within the redraw interval.
    void begin(std::string_view stage) override;
    void advance(uint64_t done, uint64_t total) override;
    // Clears the line; the next step draws it again.
    void suspend() override;
    // Removes the line, if it was shown.
    void clear();

private:
    void draw();

    std::function<void(std::string_view)> write_;  // empty: shows nothing
    std::function<Clock::time_point()> now_;
    Clock::time_point start_;
    Clock::time_point lastDrawn_;
    std::string stage_;
    static constexpr int kNoPercent = -1;  // a stage that has not told how far it is
    int percent_ = kNoPercent;
    static constexpr int kRedrawNeeded = -2;
    int drawnPercent_ = kNoPercent;
    bool shown_ = false;
    bool sharesTheConsole_ = true;
};

}  // namespace qp
