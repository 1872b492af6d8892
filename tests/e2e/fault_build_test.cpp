// Builds that meet a broken environment: an output path that cannot be written, a temporary directory that
// is missing or unusable, a content file that is a directory, a source file removed while the book is built,
// a disk that fills up, media too large for a book file. Each must end with an error line and exit code 2,
// leave no partial book and no temporary store behind, and leave an existing book at the output path exactly
// as it was.
#include <gtest/gtest.h>
#include <signal.h>
#include <string.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "../build/epub_zip_writer.h"
#include "build_fixture.h"
#include "convert/image_test_pictures.h"

namespace {

namespace fs = std::filesystem;

const std::string kPreviousBook = "the book of an earlier run";

// Every entry below a directory with the bytes of its regular files (only the size of the huge sparse ones).
std::map<std::string, std::string> snapshot(const fs::path& root) {
    constexpr uintmax_t kComparedBytes = 16 << 20;
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = fs::relative(entry.path(), root).string();
        if (!entry.is_regular_file()) {
            entries[name] = "<directory>";
        } else if (entry.file_size() > kComparedBytes) {
            entries[name] = "<" + std::to_string(entry.file_size()) + " bytes>";
        } else {
            entries[name] = qptest::readFile(entry.path());
        }
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

class FaultBuild : public buildtest::BuildTest {
protected:
    void SetUp() override {
        BuildTest::SetUp();
        fs::copy(QP_EXAMPLES_DIR "/lighthouse", dir / "lighthouse", fs::copy_options::recursive);
    }
    // Puts a stand-in for an earlier book at the output path and remembers the source folder as it is.
    void keepEarlierBook(const std::string& book = "lighthouse/lighthouse.kova") {
        folder_ = fs::path(book).parent_path().string();
        write(book, kPreviousBook);
        before_ = snapshot(dir / folder_);
    }
    qptest::RunResult compileExample() { return compile({"lighthouse/lighthouse.opf"}); }
    // Compiles with a preloaded helper that acts as soon as the compiler has opened a file whose path ends
    // with `trigger`: it removes `victim` (a file or a directory tree, relative to the scratch directory) or
    // raises `signal`. `environment` adds variables of the compiler's environment.
    qptest::RunResult compileWithHook(const std::string& source, const std::string& trigger,
                                      const std::string& victim, int signal = 0,
                                      const std::vector<std::string>& environment = {}) {
        std::vector<std::string> args = environment;
        args.insert(args.end(), {std::string("LD_PRELOAD=") + QP_OPEN_HOOK, "QP_HOOK_AFTER_OPENING=" + trigger});
        if (!victim.empty()) args.push_back("QP_HOOK_REMOVE=" + (dir / victim).string());
        if (signal != 0) args.push_back("QP_HOOK_SIGNAL=" + std::to_string(signal));
        args.insert(args.end(), {QP_QUILLPRESS_BIN, source});
        return qptest::run("/usr/bin/env", args, dir.path());
    }
    // Builds while `victim` is removed once `trigger` has been opened: the build fails cleanly, names the file
    // and leaves the rest of the folder as it was.
    void expectFailureWhenRemoved(const std::string& source, const std::string& trigger, const std::string& victim) {
        auto result = compileWithHook(source, trigger, victim);
        ASSERT_FALSE(exists(victim)) << "the file was not removed during the build";
        const std::string name = fs::path(victim).filename().string();
        before_.erase(name);
        expectCleanFailure(result);
        EXPECT_NE(result.out.find(name), std::string::npos) << result.out;
    }
    // A package of two pages, the first showing two pictures, with audio files between them in the spine.
    void writeAlbum(const std::vector<std::string>& audio = {"song.mp3"}) {
        const imagetest::Bytes first = imagetest::noisyGif(40, 30);
        const imagetest::Bytes second = imagetest::noisyGif(30, 40);
        write("album/first.gif", std::string(first.begin(), first.end()));
        write("album/second.gif", std::string(second.begin(), second.end()));
        write("album/one.html", buildtest::htmlPage("<p>Pictures</p><img src=\"first.gif\"/><img src=\"second.gif\"/>"));
        write("album/two.html", buildtest::htmlPage("<p>The end</p>"));
        std::string items = "<item id=\"one\" href=\"one.html\" media-type=\"text/x-oeb1-document\"/>";
        std::string spine = "<itemref idref=\"one\"/>";
        for (const std::string& name : audio) {
            write("album/" + name, std::string(150'000, '\x5A'));
            items += "<item id=\"" + name + "\" href=\"" + name + "\" media-type=\"audio/mpeg\"/>";
            spine += "<itemref idref=\"" + name + "\"/>";
        }
        items += "<item id=\"two\" href=\"two.html\" media-type=\"text/x-oeb1-document\"/>";
        spine += "<itemref idref=\"two\"/>";
        write("album/album.opf",
              buildtest::package(buildtest::dcMetadata("<dc:Title>Album</dc:Title><dc:Language>en</dc:Language>"),
                                 items, spine));
    }

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
            EXPECT_EQ(snapshot(dir / folder_), before_);
        }
        EXPECT_TRUE(temporaryDirectoryEmpty());
    }

    std::string folder_ = "lighthouse";
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
    EXPECT_NE(result.out.find("in file: " + (dir / "vanished/quillpress-").string()), std::string::npos)
        << result.out;
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

TEST_F(FaultBuild, ContentFileRemovedWhileAnEarlierOneIsConverted) {
    keepEarlierBook();
    expectFailureWhenRemoved("lighthouse/lighthouse.opf", "/chapter1.html", "lighthouse/chapter2.html");
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

// A build ended by a signal removes what it made so far: the text stream while the text is converted; the
// record stores and the unfinished book beside the output path while the book is written. The earlier book
// stays as it was.
TEST_F(FaultBuild, InterruptedBuildsLeaveNothingBehind) {
    keepEarlierBook();
    for (const auto& [trigger, signal] : {std::pair{"/chapter2.html", SIGTERM}, std::pair{"/cover.png", SIGINT},
                                          std::pair{"/cover.png", SIGHUP}}) {
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
        auto result = qptest::run("/usr/bin/unshare", {"-rm", "sh", "-c", kSmallDisksScript, "small-disks",
                                              (dir / "temporary-disk").string(), (dir / "folder-disk").string(),
                                              (dir / disks.source).string(), disks.main, kPreviousBook,
                                              QP_QUILLPRESS_BIN, std::to_string(disks.temporaryKiB),
                                              std::to_string(disks.folderKiB)});
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
