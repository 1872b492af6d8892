// Builds that meet a broken environment: an output path that cannot be written, a temporary directory that
// is missing or unusable, a content file that is a directory, a disk that fills up. Each must end with an
// error line and exit code 2, leave no partial book and no temporary store behind, and leave an existing
// book at the output path exactly as it was.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>

#include "build_fixture.h"

namespace {

namespace fs = std::filesystem;

const std::string kPreviousBook = "the book of an earlier run";

// Every entry below a directory with the bytes of its regular files.
std::map<std::string, std::string> snapshot(const fs::path& root) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = fs::relative(entry.path(), root).string();
        entries[name] = entry.is_regular_file() ? qptest::readFile(entry.path()) : std::string("<directory>");
    }
    return entries;
}

// Lowers the file size limit of this process (and so of the compiler it starts) and ignores SIGXFSZ, so that
// a write past the limit fails with EFBIG as on a full disk instead of killing the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
        previousHandler_ = signal(SIGXFSZ, SIG_IGN);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    sighandler_t previousHandler_ = SIG_DFL;
};

class FaultBuild : public buildtest::BuildTest {
protected:
    void SetUp() override {
        BuildTest::SetUp();
        fs::copy(QP_EXAMPLES_DIR "/lighthouse", dir / "lighthouse", fs::copy_options::recursive);
    }
    // Puts a stand-in for an earlier book at the output path and remembers the source folder as it is.
    void keepEarlierBook() {
        write("lighthouse/lighthouse.kova", kPreviousBook);
        before_ = snapshot(dir / "lighthouse");
    }
    qptest::RunResult compileExample() { return compile({"lighthouse/lighthouse.opf"}); }
    // Compiles with TMPDIR naming the given path in the compiler's environment only, since the test's own
    // scratch files need a working temporary directory.
    qptest::RunResult compileExampleWithTemporaryDirectory(const fs::path& temporary) {
        return qptest::run("/usr/bin/env", {"TMPDIR=" + temporary.string(), QP_QUILLPRESS_BIN,
                                            "lighthouse/lighthouse.opf"},
                           dir.path());
    }

    // The run failed with a reason, and the source folder (with the earlier book) and the temporary
    // directory are as they were before it.
    void expectCleanFailure(const qptest::RunResult& result) {
        EXPECT_EQ(result.exitCode, 2) << result.out << result.err;
        EXPECT_NE((result.out + result.err).find("Error("), std::string::npos) << result.out << result.err;
        EXPECT_NE(result.out.find("KOVA File could not be generated because of errors!"), std::string::npos)
            << result.out;
        if (!before_.empty()) {
            EXPECT_EQ(snapshot(dir / "lighthouse"), before_);
        }
        EXPECT_TRUE(temporaryDirectoryEmpty());
    }

    std::map<std::string, std::string> before_;
};

TEST_F(FaultBuild, OutputPathHeldByADirectory) {
    fs::create_directory(dir / "lighthouse/lighthouse.kova");
    before_ = snapshot(dir / "lighthouse");
    expectCleanFailure(compileExample());
    EXPECT_TRUE(fs::is_directory(dir / "lighthouse/lighthouse.kova"));
}

TEST_F(FaultBuild, ReadOnlyOutputDirectory) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories; OutputPathHeldByADirectory "
                                        "covers the unwritable output path there";
    keepEarlierBook();
    fs::permissions(dir / "lighthouse", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    auto result = compileExample();
    fs::permissions(dir / "lighthouse", fs::perms::owner_write, fs::perm_options::add);
    expectCleanFailure(result);
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
    EXPECT_NE(result.out.find("in file: " + (dir / "vanished/quillpress-").string()), std::string::npos)
        << result.out;
    EXPECT_FALSE(fs::exists(dir / "vanished"));
}

// A temporary directory path that names a regular file: no store can be created below it, also for root.
TEST_F(FaultBuild, TemporaryDirectoryIsAFile) {
    keepEarlierBook();
    write("not-a-directory", "plain file");
    expectCleanFailure(compileExampleWithTemporaryDirectory(dir / "not-a-directory"));
    EXPECT_EQ(qptest::readFile(dir / "not-a-directory"), "plain file");
}

TEST_F(FaultBuild, ReadOnlyTemporaryDirectory) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories; TemporaryDirectoryIsAFile "
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

// The disk fills up at different points of the build: while the text and the stores are written, and while
// the book itself is saved. The limit is set from the size of the book a free run writes.
TEST_F(FaultBuild, FullDiskAtEveryStage) {
    auto free = compileExample();
    ASSERT_EQ(free.exitCode, 0) << free.out;
    const auto bookSize = static_cast<rlim_t>(fs::file_size(dir / "lighthouse/lighthouse.kova"));
    ASSERT_GT(bookSize, 4096u);
    for (rlim_t limit : {rlim_t{2048}, bookSize / 4, bookSize / 2, bookSize - 1}) {
        SCOPED_TRACE("file size limit " + std::to_string(limit));
        keepEarlierBook();
        qptest::RunResult result;
        {
            FileSizeLimit full(limit);
            result = compileExample();
        }
        expectCleanFailure(result);
    }
}

}  // namespace
