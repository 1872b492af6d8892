// SPDX-License-Identifier: GPL-3.0-or-later
// Builds that meet a broken environment: an output path that cannot be written, a temporary directory that
// is missing or unusable, a content file that is a directory or a named pipe, media too large for a book
// file. Each must end with an error line and exit code 2, leave no partial book and no temporary store
// behind, and leave an existing book at the output path exactly as it was.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "fault_fixture.h"

namespace {

namespace fs = std::filesystem;
using faulttest::FaultBuild;
using faulttest::snapshot;

// Marks a directory immutable while it lives: nobody, root included, can create, remove or rename entries in
// it. active() is false where the file system or the user's capabilities do not allow the mark.
class ImmutableDirectory {
public:
    explicit ImmutableDirectory(const fs::path& path) : path_(path) { active_ = setFlag(true); }
    ~ImmutableDirectory() {
        if (active_) setFlag(false);
    }
    ImmutableDirectory(const ImmutableDirectory&) = delete;
    ImmutableDirectory& operator=(const ImmutableDirectory&) = delete;
    bool active() const { return active_; }

private:
    bool setFlag(bool on) {
        const int fd = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return done;
    }

    fs::path path_;
    bool active_ = false;
};

TEST_F(FaultBuild, OutputPathHeldByADirectory) {
    fs::create_directory(dir / "lighthouse/lighthouse.kova");
    before_ = snapshot(dir / "lighthouse");
    expectCleanFailure(compileExample());
    EXPECT_TRUE(fs::is_directory(dir / "lighthouse/lighthouse.kova"));
}

TEST_F(FaultBuild, ReadOnlyOutputDirectory) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only directories; OutputPathHeldByADirectory "
                        "covers the unwritable output path there";
    keepEarlierBook();
    fs::permissions(dir / "lighthouse", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    auto result = compileExample();
    fs::permissions(dir / "lighthouse", fs::perms::owner_write, fs::perm_options::add);
    expectCleanFailure(result);
}

// The root-proof form of an output directory that cannot be written.
TEST_F(FaultBuild, ImmutableOutputDirectory) {
    keepEarlierBook();
    qptest::RunResult result;
    {
        ImmutableDirectory locked(dir / "lighthouse");
        if (!locked.active()) GTEST_SKIP() << "the file system or the user cannot mark a directory immutable";
        result = compileExample();
    }
    expectCleanFailure(result);
    EXPECT_NE(result.out.find("      Reason: " + std::string(std::strerror(EPERM))), std::string::npos) << result.out;
}

TEST_F(FaultBuild, ReadOnlyEarlierBook) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes over read-only files";
    keepEarlierBook();
    fs::permissions(dir / "lighthouse/lighthouse.kova", fs::perms::all, fs::perm_options::remove);
    fs::permissions(dir / "lighthouse/lighthouse.kova", fs::perms::owner_read, fs::perm_options::add);
    before_ = snapshot(dir / "lighthouse");
    expectCleanFailure(compileExample());
}

TEST_F(FaultBuild, MissingTemporaryDirectory) {
    keepEarlierBook();
    auto result = compileExampleWithTemporaryDirectory(dir / "vanished");
    expectCleanFailure(result);
    // The message names where the temporary file was to go; nothing falls back to another directory.
    EXPECT_NE(result.out.find("in file: " + (dir / "vanished/quillpress-").string()), std::string::npos) << result.out;
    EXPECT_FALSE(fs::exists(dir / "vanished"));
    EXPECT_NE(result.out.find("      Reason: " + std::string(std::strerror(ENOENT))), std::string::npos) << result.out;
}

// A temporary directory path that names a regular file: no store can be created below it, also for root.
TEST_F(FaultBuild, TemporaryDirectoryIsAFile) {
    keepEarlierBook();
    write("not-a-directory", "plain file");
    expectCleanFailure(compileExampleWithTemporaryDirectory(dir / "not-a-directory"));
    EXPECT_EQ(qptest::readFile(dir / "not-a-directory"), "plain file");
}

TEST_F(FaultBuild, ReadOnlyTemporaryDirectory) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only directories; TemporaryDirectoryIsAFile "
                        "covers the unusable temporary directory there";
    keepEarlierBook();
    fs::permissions(temporaryDir.path(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    auto result = compileExample();
    fs::permissions(temporaryDir.path(), fs::perms::owner_write, fs::perm_options::add);
    expectCleanFailure(result);
}

TEST_F(FaultBuild, ContentFileThatIsADirectory) {
    fs::remove(dir / "lighthouse/chapter2.html");
    fs::create_directory(dir / "lighthouse/chapter2.html");
    keepEarlierBook();
    expectCleanFailure(compileExample());
}

// A named pipe would make a reading build wait for a writer forever; as a source or a content file it is
// refused like any other file that cannot be read.
TEST_F(FaultBuild, NamedPipesAreRefusedNotWaitedFor) {
    for (const char* source : {"pipe.html", "pipe.opf", "pipe.epub"}) {
        SCOPED_TRACE(source);
        ASSERT_EQ(mkfifo((dir / source).c_str(), 0600), 0);
        auto result = compile({source});
        EXPECT_EQ(result.exitCode, 2) << result.out;
        EXPECT_NE(result.out.find(source), std::string::npos) << result.out;
        EXPECT_TRUE(temporaryDirectoryEmpty());
    }
    fs::remove(dir / "lighthouse/chapter2.html");
    ASSERT_EQ(mkfifo((dir / "lighthouse/chapter2.html").c_str(), 0600), 0);
    keepEarlierBook();
    expectCleanFailure(compileExample());
}

// A book file holds at most 65,535 records and 4 GiB. Media past that are refused when they are counted,
// before a byte of them is read or stored. The files are sparse: they take no disk space.
TEST_F(FaultBuild, MediaLargerThanABookFileHolds) {
    writeAlbum({"song.mp3", "more.mp3"});
    fs::resize_file(dir / "album/song.mp3", 3'000'000'000ull);
    fs::resize_file(dir / "album/more.mp3", 2'000'000'000ull);
    keepEarlierBook("album/album.kova");
    auto result = compile({"album/album.opf"});
    expectCleanFailure(result);
    EXPECT_NE(result.out.find("Error(mkbook): Book too large"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("more.mp3"), std::string::npos) << result.out;
}

}  // namespace
