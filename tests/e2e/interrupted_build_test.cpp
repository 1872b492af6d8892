// SPDX-License-Identifier: GPL-3.0-or-later
// Builds ended by a signal at chosen points: whatever the build had made is removed before the signal ends
// the process.
#include <gtest/gtest.h>
#include <signal.h>
#include <string.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "epub_zip_writer.h"
#include "fault_fixture.h"

namespace {

namespace fs = std::filesystem;
using faulttest::FaultBuild;
using faulttest::kPreviousBook;
using faulttest::snapshot;

// A build ended by a signal removes what it made so far: the text stream while the text is converted; the
// record stores and the unfinished book beside the output path while the book is written. The earlier book
// stays as it was.
TEST_F(FaultBuild, InterruptedBuildsLeaveNothingBehind) {
    keepEarlierBook();
    for (const auto& [trigger, signal] :
         {std::pair{"/chapter2.html", SIGTERM}, std::pair{"/cover.png", SIGINT}, std::pair{"/cover.png", SIGHUP}}) {
        SCOPED_TRACE(std::string(trigger) + " " + strsignal(signal));
        auto result = compileWithHook("lighthouse/lighthouse.opf", trigger, "", signal);
        EXPECT_EQ(result.exitCode, -1) << "the process was not ended by the signal\n" << result.out;
        EXPECT_EQ(snapshot(dir / "lighthouse"), before_);
        EXPECT_TRUE(temporaryDirectoryEmpty());
    }
}

// An interrupted ePub build also removes the directory the archive was unpacked into.
TEST_F(FaultBuild, InterruptedEpubBuildRemovesTheUnpackedArchive) {
    std::vector<qptest::ZipMember> members;
    for (const auto& entry : fs::recursive_directory_iterator(dir / "lighthouse")) {
        if (!entry.is_regular_file()) continue;
        members.emplace_back(fs::relative(entry.path(), dir / "lighthouse").generic_string(),
                             qptest::readFile(entry.path()));
    }
    qptest::writeZip(dir / "lighthouse.epub", members);
    write("lighthouse.kova", kPreviousBook);
    auto result = compileWithHook("lighthouse.epub", "/chapter2.html", "", SIGTERM);
    EXPECT_EQ(result.exitCode, -1) << "the process was not ended by the signal\n" << result.out;
    EXPECT_NE(result.out.find("Parsing file"), std::string::npos) << result.out;
    EXPECT_EQ(qptest::readFile(dir / "lighthouse.kova"), kPreviousBook);
    EXPECT_TRUE(temporaryDirectoryEmpty());
}

}  // namespace
