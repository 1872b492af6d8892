// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_support.h"

namespace {

using qptest::runQuillpress;

const std::string kBanner = "\n"
                            "***********************************************\n"
                            "* Orvane quillpress(Linux) V1.0 build 85      *\n"
                            "* A command line e-book compiler              *\n"
                            "***********************************************\n"
                            "\n";

const std::string kMinimize = "opt version: try to minimize (default)\n";

// A directory holding an existing source of no known kind, the usual target of these runs.
class CommandLine : public ::testing::Test {
protected:
    void SetUp() override { qptest::writeFile(dir / "notes.txt", "plain text\n"); }

    qptest::RunResult runHere(const std::vector<std::string>& args) { return runQuillpress(args, dir.path()); }

    qptest::TempDir dir;
};

TEST_F(CommandLine, BannerLinesAreAllAsWideAsTheFrame) {
    auto result = runHere({});
    size_t start = 1;
    for (int line = 0; line < 4; ++line) {
        size_t end = result.out.find('\n', start);
        ASSERT_NE(end, std::string::npos);
        EXPECT_EQ(end - start, 47u) << result.out.substr(start, end - start);
        start = end + 1;
    }
}

TEST_F(CommandLine, NoArgumentsPrintsTheUsage) {
    auto result = runHere({});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out,
              kBanner + "Usage : quillpress filename.opf/.htm/.html/.epub [-lowpriority] [-nomin] [-c0 or -c1 or c2] "
                        "[-verbose] [-nocopypaste] [-rebuild] [-onlydeps or -nodeps] [-unicode] [-o <file name>]\n"
                        "Options:\n"
                        "   -c0: no compression\n"
                        "   -c1: standard DOC compression\n"
                        "   -c2: Tavra huffdic compression\n"
                        "   -o <file name>: create the output file named <file name>.Do not specify directory "
                        "location in <file name>. Create output kova file in same directory as .opf file. \n"
                        "   -verbose: verbose output\n"
                        "   -nocopypaste: does not allow any copy paste of content in Reader\n"
                        "   -nomin: do not minimize version\n"
                        "   -rebuild: rebuilds all dependencies\n"
                        "   -onlydeps: build only needed dependencies\n"
                        "   -nodeps: do not check/build dependencies\n"
                        "   -unicode: force build of Unicode book\n"
                        "   -lowpriority: set the QUILLPRESS thread priority to low (background build)\n"
                        "   -releasenotes: display release notes\n"
                        "   -gif: images are converted to GIF format (no JPEG in the book)\n");
}

TEST_F(CommandLine, ReleaseNotesStopTheRunWhereverTheyStand) {
    auto result = runHere({"notes.txt", "-c0", "-releasenotes", "-x", "missing.opf"});
    EXPECT_EQ(result.exitCode, 0);
    const std::string notes = "Release Notes:\n"
                              "- Quillpress is now supported in Linux\n"
                              "- Improved image compression algorithm\n"
                              "- Support for Macintosh encoding\n"
                              "- Fixed NCX related issues\n"
                              "- Added a feature to insert a missing image if there is a image tag that points\n"
                              "  to a image that doesn't exists\n"
                              "Developed from Corvel 6.2 build 43\n"
                              "\n";
    const std::string before = kBanner + "opt compression: no compression\n" + notes;
    ASSERT_TRUE(result.out.starts_with(before)) << result.out;
    std::string last = result.out.substr(before.size());
    EXPECT_NE(last.find("orvane.example"), std::string::npos) << last;
    EXPECT_EQ(last.find('\n'), last.size() - 1);
}

TEST_F(CommandLine, OptionNamesIgnoreCase) {
    auto result = runHere({"-C1", "-VERBOSE", "-O", "out.kova", "-Gif", "-NOMIN", "notes.txt"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, kBanner + "opt compression: standard DOC compression\n"
                                    "opt verbose: verbose output\n"
                                    "opt -o:  output file name\n"
                                    "opt: gif image conversion (no jpeg)\n"
                                    "opt version: not minimizing\n");
}

TEST_F(CommandLine, EveryOptionPrintsItsMessage) {
    auto result = runHere({"-preserve_img", "-image128k", "-c2", "-nocopypaste", "-allscript", "-rebuild", "-unicode",
                           "-lowpriority", "notes.txt"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, kBanner +
                              "opt: original Image size will be preserved\n"
                              "opt: the maximum size of the image is restricted to 128K\n"
                              "opt compression: Tavra Huffdic compression\n"
                              "opt allscript : authorize all scripting\n"
                              "opt rebuild: will remove dynamic files\n"
                              "opt unicode: forces UTF8 output\n"
                              "opt: mkbook main thread priority set to 'below normal'\n" +
                              kMinimize);
}

TEST_F(CommandLine, UnsupportedArgumentsAreNamed) {
    auto dash = runHere({"notes.txt", "-x", "-c0"});
    EXPECT_EQ(dash.exitCode, 2);
    EXPECT_EQ(dash.out, kBanner + "Error: unsupported argument -x\n");
    auto slash = runHere({"/x"});
    EXPECT_EQ(slash.exitCode, 2);
    EXPECT_EQ(slash.out, kBanner + "Error: unsupported argument /x\n");
}

TEST_F(CommandLine, AnAbsolutePathIsASourceNotAnOption) {
    auto result = runHere({(dir / "notes.txt").string()});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, kBanner + kMinimize);
}

TEST_F(CommandLine, TheLastSourceArgumentIsBuilt) {
    auto secondFound = runHere({"missing.opf", "notes.txt"});
    EXPECT_EQ(secondFound.exitCode, 2);
    EXPECT_EQ(secondFound.out, kBanner + kMinimize);
    auto secondMissing = runHere({"notes.txt", "missing.opf"});
    EXPECT_EQ(secondMissing.exitCode, 2);
    EXPECT_EQ(secondMissing.out, kBanner + kMinimize + "Error: Could not find file \"missing.opf\"\n");
}

TEST_F(CommandLine, SourceLookupAcceptsWildcardsAndBackslashes) {
    qptest::writeFile(dir / "sub" / "other.txt", "x");
    EXPECT_EQ(runHere({"n*.txt"}).out, kBanner + kMinimize);
    EXPECT_EQ(runHere({"sub\\other.txt"}).out, kBanner + kMinimize);
    EXPECT_EQ(runHere({"q*.txt"}).out, kBanner + kMinimize + "Error: Could not find file \"q*.txt\"\n");
}

TEST_F(CommandLine, OutputNameRules) {
    auto withDirectory = runHere({"-o", "d/out.kova", "notes.txt"});
    EXPECT_EQ(withDirectory.exitCode, 2);
    EXPECT_EQ(withDirectory.out,
              kBanner + "opt -o:  output file name\noutput file should not contain directory path\n");
    EXPECT_EQ(runHere({"-o", "d\\out.kova", "notes.txt"}).out,
              kBanner + "opt -o:  output file name\noutput file should not contain directory path\n");

    auto atTheEnd = runHere({"notes.txt", "-o"});
    EXPECT_EQ(atTheEnd.exitCode, 2);
    EXPECT_EQ(atTheEnd.out, kBanner + "output file name not specified after the -o argument \n");

    auto beforeAnOption = runHere({"-o", "-c1", "notes.txt"});
    EXPECT_EQ(beforeAnOption.exitCode, 2);
    EXPECT_EQ(beforeAnOption.out, kBanner + "output file name not specified after the -o argument\n");

    auto empty = runHere({"-o", "", "notes.txt"});
    EXPECT_EQ(empty.exitCode, 2);
    EXPECT_EQ(empty.out, kBanner + "output file name not specified after the -o argument\n");
}

TEST_F(CommandLine, NamesThatAreNoSourceGetAnErrorNamingThem) {
    const std::string missingPath = (dir / "gone" / "book.opf").string();
    const std::string directory = dir.path().string();
    const struct {
        std::string argument;
        std::string error;
    } cases[] = {
        {missingPath, "Error: Could not find file \"" + missingPath + "\"\n"},
        {"/nowhere.opf", "Error: Could not find file \"/nowhere.opf\"\n"},
        {"ol*/book.opf", "Error: Could not find file \"ol*/book.opf\"\n"},
        {directory, "Error: \"" + directory + "\" is a directory, not a source file\n"},
    };
    for (const auto& c : cases) {
        auto result = runHere({c.argument});
        EXPECT_EQ(result.exitCode, 2) << c.argument;
        EXPECT_EQ(result.out, kBanner + kMinimize + c.error);
    }
}

// Brackets and stars are pattern characters, yet a file whose name holds them is found as it is, and a
// pattern in the folder part finds the folder.
TEST_F(CommandLine, AnExistingFileNameIsNeverReadAsAPattern) {
    const std::string page = "<html><head><title>V2</title></head><body><p>Two</p></body></html>";
    qptest::writeFile(dir / "my book [v2].html", page);
    auto brackets = runHere({"my book [v2].html"});
    EXPECT_EQ(brackets.exitCode, 0) << brackets.out;
    EXPECT_TRUE(std::filesystem::exists(dir / "my book [v2].kova"));

    qptest::writeFile(dir / "older" / "page.html", page);
    auto folderPattern = runHere({"ol*/page.html"});
    EXPECT_EQ(folderPattern.exitCode, 0) << folderPattern.out;
    EXPECT_TRUE(std::filesystem::exists(dir / "older" / "page.kova"));
}

// The book is written last and replaces whatever the output path names: never the source itself.
TEST_F(CommandLine, OutputThatWouldReplaceTheSourceIsRefused) {
    const std::string page = "<html><body><p>the only copy</p></body></html>";
    qptest::writeFile(dir / "page.html", page);
    auto result = runHere({"-o", "page.html", "page.html"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, kBanner + "opt -o:  output file name\n" + kMinimize +
                              "Error: The book would replace its own source file \"" + (dir / "page.html").string() +
                              "\"\n");
    EXPECT_EQ(qptest::readFile(dir / "page.html"), page);
}

TEST_F(CommandLine, NoSourceIsRefused) {
    auto result = runHere({"-c0"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, kBanner + "opt compression: no compression\nError: Source file not specified\n");
}

TEST_F(CommandLine, ConflictingDependencyOptionsBuildNormally) {
    auto result = runHere({"-onlydeps", "-nodeps", "notes.txt"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, kBanner +
                              "opt onlydeps: won't build actual book, only dependencies\n"
                              "opt nodeps: dependencies won't be built, even if necessary, built book will "
                              "probably be bad\n" +
                              kMinimize + "opt onlydeps & nodeps: conflict, building normally\n");
}

TEST_F(CommandLine, UnknownExtensionEndsSilentlyWithoutOutput) {
    auto result = runHere({"notes.txt"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, kBanner + kMinimize);
    EXPECT_TRUE(result.err.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "notes.kova"));
}

}  // namespace
