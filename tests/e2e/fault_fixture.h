// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fixture of the fault tests: the sample book copied into a scratch directory, an earlier book at the
// output path, and the checks that a failed build left everything as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "build_fixture.h"
#include "convert/image_test_pictures.h"

namespace faulttest {

namespace fs = std::filesystem;

inline const std::string kPreviousBook = "the book of an earlier run";

// Every entry below a directory with the bytes of its regular files (only the size of the huge sparse ones).
inline std::map<std::string, std::string> snapshot(const fs::path& root) {
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
    qptest::RunResult compileWithHook(const std::string& source, const std::string& trigger, const std::string& victim,
                                      int signal = 0, const std::vector<std::string>& environment = {}) {
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
        write("album/one.html",
              buildtest::htmlPage("<p>Pictures</p><img src=\"first.gif\"/><img src=\"second.gif\"/>"));
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
        return qptest::run("/usr/bin/env",
                           {"TMPDIR=" + temporary.string(), QP_QUILLPRESS_BIN, "lighthouse/lighthouse.opf"},
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

}  // namespace faulttest
