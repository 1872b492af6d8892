// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/progress_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

// A progress line on a captured terminal, with a clock the test moves.
struct CapturedLine {
    std::vector<std::string> writes;
    qp::ProgressLine::Clock::time_point now{};
    qp::ProgressLine line{[this](std::string_view text) { writes.emplace_back(text); }, [this] { return now; }};

    std::vector<std::string> take() { return std::exchange(writes, {}); }
};

const std::string kClear = "\r\x1b[K";

TEST(ProgressLine, StaysQuietForTheFirstSecondThenRewritesOneLine) {
    CapturedLine terminal;
    terminal.line.begin("parsing files");
    terminal.now += 500ms;
    terminal.line.advance(5, 10);
    EXPECT_TRUE(terminal.take().empty());

    terminal.now += 700ms;
    terminal.line.advance(6, 10);
    EXPECT_EQ(terminal.take(), std::vector<std::string>{kClear + "parsing files 60%"});

    terminal.now += 50ms;  // within the redraw interval: the next step waits
    terminal.line.advance(7, 10);
    EXPECT_TRUE(terminal.take().empty());
    terminal.now += 100ms;
    terminal.line.advance(7, 10);
    EXPECT_EQ(terminal.take(), std::vector<std::string>{kClear + "parsing files 70%"});

    terminal.now += 100ms;
    terminal.line.begin("writing");  // a new stage shows at once, without a percentage until it tells one
    EXPECT_EQ(terminal.take(), std::vector<std::string>{kClear + "writing"});
}

TEST(ProgressLine, GetsOutOfTheWayOfMessagesAndIsClearedAtTheEnd) {
    CapturedLine terminal;
    terminal.now += 2s;
    terminal.line.begin("compressing");
    terminal.line.suspend();
    EXPECT_EQ(terminal.take(), (std::vector<std::string>{kClear + "compressing", kClear}));
    terminal.now += 10ms;
    terminal.line.advance(0, 4);  // drawn again after the message, though 0 % is not news
    EXPECT_EQ(terminal.take(), std::vector<std::string>{kClear + "compressing 0%"});
    terminal.line.clear();
    terminal.line.clear();
    EXPECT_EQ(terminal.take(), std::vector<std::string>{kClear});
}

}  // namespace
