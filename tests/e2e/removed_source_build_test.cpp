// SPDX-License-Identifier: GPL-3.0-or-later
// Source files and the temporary directory taken away while a book is built, at points chosen through the
// preloaded open hook: the build ends with exit 2 and the file named, and nothing is left behind.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "fault_fixture.h"

namespace {

namespace fs = std::filesystem;
using faulttest::FaultBuild;

TEST_F(FaultBuild, ContentFileRemovedWhileAnEarlierOneIsConverted) {
    keepEarlierBook();
    expectFailureWhenRemoved("lighthouse/lighthouse.opf", "/chapter1.html", "lighthouse/chapter2.html");
}

// The pictures are registered when the links are written and read afterwards, in text order: the second
// goes away while the first is read.
TEST_F(FaultBuild, PictureRemovedAfterItWasCounted) {
    writeAlbum();
    ASSERT_EQ(compile({"album/album.opf"}).exitCode, 0);
    keepEarlierBook("album/album.kova");
    expectFailureWhenRemoved("album/album.opf", "/first.gif", "album/second.gif");
}

// An audio file in the spine is counted when the spine reaches it and read at the end: without it, every
// later record number would be off.
TEST_F(FaultBuild, AudioRemovedAfterItWasCounted) {
    writeAlbum();
    keepEarlierBook("album/album.kova");
    expectFailureWhenRemoved("album/album.opf", "/two.html", "album/song.mp3");
}

// The temporary directory goes away while the text is converted (a cleaner ran): the record stores cannot be
// made, and the message names where and why.
TEST_F(FaultBuild, TemporaryDirectoryRemovedDuringTheBuild) {
    keepEarlierBook();
    fs::create_directory(dir / "scratch");
    auto result = compileWithHook("lighthouse/lighthouse.opf", "/chapter2.html", "scratch", 0,
                                  {"TMPDIR=" + (dir / "scratch").string()});
    ASSERT_FALSE(exists("scratch")) << "the directory was not removed during the build";
    expectCleanFailure(result);
    EXPECT_NE(result.out.find("in file: " + (dir / "scratch/quillpress-").string()), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("      Reason: " + std::string(std::strerror(ENOENT))), std::string::npos) << result.out;
    EXPECT_FALSE(exists("scratch"));
}

}  // namespace
