// SPDX-License-Identifier: GPL-3.0-or-later
// Disks that fill up during a build: simulated by a file size limit, and real small file systems where the
// machine allows them. The build ends with the file named and the system's reason, and leaves nothing behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "fault_fixture.h"

namespace {

namespace fs = std::filesystem;
using faulttest::FaultBuild;
using faulttest::kPreviousBook;

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
        // Whichever file the disk refused, the message names it and says why in the system's words.
        EXPECT_NE(result.out.find("      Reason: " + std::string(std::strerror(EFBIG)) + "\n"), std::string::npos)
            << result.out;
    }
}

// A real full disk, where the machine allows it: in a private user and mount namespace, two small tmpfs file
// systems hold the temporary directory and the book's folder. The script copies the source in, keeps an
// earlier book beside it, runs the compiler and reports the exit code, the temporary directory's entries,
// the folder's entries and whether the earlier book is unchanged. Exit 77: no such namespace here.
const char* const kSmallDisksScript = R"script(
temporary=$1 folder=$2 source=$3 main=$4 earlier=$5 compiler=$6
mount -t tmpfs -o size=$7k tmpfs "$temporary" && mount -t tmpfs -o size=$8k tmpfs "$folder" || exit 77
cp -R "$source"/. "$folder/" && printf '%s' "$earlier" > "$folder/book.kova" || exit 78
TMPDIR="$temporary" "$compiler" -o book.kova "$folder/$main"
echo "exit=$?"
echo "temporary:$(ls -A "$temporary" | tr '\n' ' ')"
echo "folder:$(ls -A "$folder" | tr '\n' ' ')"
[ "$(cat "$folder/book.kova")" = "$earlier" ] && echo "earlier book kept"
exit 0
)script";

std::vector<std::string> sortedWords(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string word; in >> word;) words.push_back(word);
    std::sort(words.begin(), words.end());
    return words;
}

struct SmallDisks {
    std::string source;  // a folder of the scratch directory
    std::string main;    // the file to compile in it
    int temporaryKiB;
    int folderKiB;
    std::string failure;  // the error line expected; empty: the book is built
};

TEST_F(FaultBuild, FullFileSystemAtEveryStage) {
    // A page long enough that the text stream writes to its file while the text is converted.
    std::string paragraphs;
    for (int i = 0; i < 6000; ++i) paragraphs += "<p>Paragraph " + std::to_string(i) + " of the long page.</p>\n";
    write("long/page.html", buildtest::htmlPage(paragraphs));
    const std::string listing = "chapter1.html chapter2.html chapter3.html contents.html images lighthouse.opf "
                                "style.css book.kova ";
    const SmallDisks cases[] = {
        {"long", "page.html", 64, 1024, "Error(core): Could not access file."},
        {"lighthouse", "lighthouse.opf", 16, 1024, "Error(mkbook): could not open file:"},
        {"lighthouse", "lighthouse.opf", 1024, 56, "Error(mkbook): can not write to output file."},
        {"lighthouse", "lighthouse.opf", 1024, 1024, ""},
    };
    if (!fs::exists("/usr/bin/unshare")) GTEST_SKIP() << "no unshare here; FullDiskAtEveryStage covers it";
    fs::create_directory(dir / "temporary-disk");
    fs::create_directory(dir / "folder-disk");
    for (const SmallDisks& disks : cases) {
        SCOPED_TRACE(disks.main + " with " + std::to_string(disks.temporaryKiB) + " KiB of temporary space and " +
                     std::to_string(disks.folderKiB) + " KiB for the folder");
        auto result =
            qptest::run("/usr/bin/unshare",
                        {"-rm", "sh", "-c", kSmallDisksScript, "small-disks", (dir / "temporary-disk").string(),
                         (dir / "folder-disk").string(), (dir / disks.source).string(), disks.main, kPreviousBook,
                         QP_QUILLPRESS_BIN, std::to_string(disks.temporaryKiB), std::to_string(disks.folderKiB)});
        if (result.exitCode == 77) GTEST_SKIP() << "no private mount namespace here; FullDiskAtEveryStage covers it";
        ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
        EXPECT_NE(result.out.find("temporary:\n"), std::string::npos) << result.out;
        if (disks.failure.empty()) {
            EXPECT_NE(result.out.find("exit=0\n"), std::string::npos) << result.out;
            continue;
        }
        EXPECT_NE(result.out.find("exit=2\n"), std::string::npos) << result.out;
        EXPECT_NE(result.out.find(disks.failure), std::string::npos) << result.out;
        EXPECT_NE(result.out.find("      Reason: " + std::string(std::strerror(ENOSPC)) + "\n"), std::string::npos)
            << result.out;
        EXPECT_NE(result.out.find("earlier book kept\n"), std::string::npos) << result.out;
        // Nothing new in the folder: no unfinished book beside the earlier one.
        const size_t line = result.out.find("folder:");
        ASSERT_NE(line, std::string::npos) << result.out;
        EXPECT_EQ(sortedWords(result.out.substr(line + 7, result.out.find('\n', line) - line - 7)),
                  sortedWords(disks.source == "long" ? "book.kova page.html" : listing));
    }
}

}  // namespace
