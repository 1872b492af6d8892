// SPDX-License-Identifier: GPL-3.0-or-later
// What an interrupted build removes: registered files, and registered directories with everything below them,
// without following links out of them.
#include "core/interrupt_cleanup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using qp::CleanupKind;
using qp::CleanupRegistration;

TEST(InterruptCleanup, RemovesRegisteredFilesAndTreesOnly) {
    qptest::TempDir dir;
    qptest::writeFile(dir / "stream", "text");
    qptest::writeFile(dir / "kept", "still needed");
    qptest::writeFile(dir / "released", "owner removed it already");
    fs::create_directories(dir / "unpacked/OEBPS/images/deeper");
    qptest::writeFile(dir / "unpacked/OEBPS/chapter.html", "<p/>");
    qptest::writeFile(dir / "unpacked/OEBPS/images/deeper/cover.png", "png");
    fs::create_directories(dir / "outside");
    qptest::writeFile(dir / "outside/precious", "not ours");
    fs::create_directory_symlink(dir / "outside", dir / "unpacked/OEBPS/link-to-outside");
    fs::create_symlink(dir / "outside/precious", dir / "unpacked/file-link");

    CleanupRegistration stream((dir / "stream").string(), CleanupKind::File);
    CleanupRegistration unpacked((dir / "unpacked").string(), CleanupKind::Tree);
    CleanupRegistration released((dir / "released").string(), CleanupKind::File);
    released.reset();
    { CleanupRegistration gone((dir / "kept").string(), CleanupKind::File); }
    qp::removeRegisteredPaths();

    EXPECT_FALSE(fs::exists(dir / "stream"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "unpacked")));
    EXPECT_EQ(qptest::readFile(dir / "outside/precious"), "not ours");
    EXPECT_TRUE(fs::exists(dir / "kept"));
    EXPECT_TRUE(fs::exists(dir / "released"));
}

TEST(InterruptCleanup, RemovesDeepTreesAndDirectoriesOfManyEntries) {
    qptest::TempDir dir;
    fs::path deep = dir / "deep";
    for (int level = 0; level < 60; ++level) deep /= "d";
    fs::create_directories(deep);
    qptest::writeFile(deep / "leaf", "x");
    fs::create_directory(dir / "wide");
    for (int i = 0; i < 3000; ++i)
        qptest::writeFile(dir / "wide" / ("entry-with-a-long-name-" + std::to_string(i)), "");

    CleanupRegistration deepTree((dir / "deep").string(), CleanupKind::Tree);
    CleanupRegistration wideTree((dir / "wide").string(), CleanupKind::Tree);
    qp::removeRegisteredPaths();
    EXPECT_FALSE(fs::exists(dir / "deep"));
    EXPECT_FALSE(fs::exists(dir / "wide"));
}

// Moving a registration moves the duty; the moved-from object no longer unregisters anything.
TEST(InterruptCleanup, MovedRegistrationStaysRegistered) {
    qptest::TempDir dir;
    qptest::writeFile(dir / "file", "x");
    CleanupRegistration target;
    {
        CleanupRegistration first((dir / "file").string(), CleanupKind::File);
        target = std::move(first);
    }
    EXPECT_TRUE(target.active());
    qp::removeRegisteredPaths();
    EXPECT_FALSE(fs::exists(dir / "file"));
}

}  // namespace
