// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/command_line.h"

#include <glob.h>
#include <sys/resource.h>

#include <filesystem>
#include <system_error>

#include "cli/progress_line.h"
#include "core/ascii_text.h"
#include "core/interrupt_cleanup.h"
#include "core/message_sink.h"
#include "core/path_text.h"
#include "core/string.h"
#include "pipeline/source_builds.h"

namespace qp {

namespace {

constexpr unsigned kVersionMajor = 1;
constexpr unsigned kVersionMinor = 0;
constexpr unsigned kBuildNumber = 85;
constexpr size_t kMaxFullPathChars = 519;
constexpr int kLowPriorityNice = 10;

constexpr const char* kUsage =
    "Usage : quillpress filename.opf/.htm/.html/.epub [-lowpriority] [-nomin] [-c0 or -c1 or c2] [-verbose] "
    "[-nocopypaste] [-rebuild] [-onlydeps or -nodeps] [-unicode] [-o <file name>]\n"
    "Options:\n"
    "   -c0: no compression\n"
    "   -c1: standard DOC compression\n"
    "   -c2: Tavra huffdic compression\n"
    "   -o <file name>: create the output file named <file name>.Do not specify directory location in "
    "<file name>. Create output kova file in same directory as .opf file. \n"
    "   -verbose: verbose output\n"
    "   -nocopypaste: does not allow any copy paste of content in Reader\n"
    "   -nomin: do not minimize version\n"
    "   -rebuild: rebuilds all dependencies\n"
    "   -onlydeps: build only needed dependencies\n"
    "   -nodeps: do not check/build dependencies\n"
    "   -unicode: force build of Unicode book\n"
    "   -lowpriority: set the QUILLPRESS thread priority to low (background build)\n"
    "   -releasenotes: display release notes\n"
    "   -gif: images are converted to GIF format (no JPEG in the book)\n";

constexpr const char* kReleaseNotes =
    "Release Notes:\n"
    "- Quillpress is now supported in Linux\n"
    "- Improved image compression algorithm\n"
    "- Support for Macintosh encoding\n"
    "- Fixed NCX related issues\n"
    "- Added a feature to insert a missing image if there is a image tag that points\n"
    "  to a image that doesn't exists\n"
    "Developed from Corvel 6.2 build 43\n"
    "\n"
    "For the latest release notes and known issues, see http://www.orvane.example/publishing/quillpress\n";

enum class Option {
    PreserveImages,
    Image128K,
    Gif,
    NoMinimize,
    Compression0,
    Compression1,
    Compression2,
    NoCopyPaste,
    AllScript,
    Rebuild,
    OnlyDependencies,
    NoDependencies,
    Unicode,
    Verbose,
    OutputName,
    LowPriority,
    ReleaseNotes,
};

struct OptionEntry {
    const char* name;
    Option option;
    const char* message;  // printed when the option is applied; nullptr for none
};

// Compared in this order; the first match applies.
constexpr OptionEntry kOptions[] = {
    {"-preserve_img", Option::PreserveImages, "opt: original Image size will be preserved\n"},
    {"-image128K", Option::Image128K, "opt: the maximum size of the image is restricted to 128K\n"},
    {"-gif", Option::Gif, "opt: gif image conversion (no jpeg)\n"},
    {"-nomin", Option::NoMinimize, "opt version: not minimizing\n"},
    {"-c0", Option::Compression0, "opt compression: no compression\n"},
    {"-c1", Option::Compression1, "opt compression: standard DOC compression\n"},
    {"-c2", Option::Compression2, "opt compression: Tavra Huffdic compression\n"},
    {"-nocopypaste", Option::NoCopyPaste, nullptr},
    {"-allscript", Option::AllScript, "opt allscript : authorize all scripting\n"},
    {"-rebuild", Option::Rebuild, "opt rebuild: will remove dynamic files\n"},
    {"-onlydeps", Option::OnlyDependencies, "opt onlydeps: won't build actual book, only dependencies\n"},
    {"-nodeps", Option::NoDependencies,
     "opt nodeps: dependencies won't be built, even if necessary, built book will probably be bad\n"},
    {"-unicode", Option::Unicode, "opt unicode: forces UTF8 output\n"},
    {"-verbose", Option::Verbose, "opt verbose: verbose output\n"},
    {"-o", Option::OutputName, "opt -o:  output file name\n"},
    {"-lowpriority", Option::LowPriority, "opt: mkbook main thread priority set to 'below normal'\n"},
    {"-releasenotes", Option::ReleaseNotes, nullptr},
};

const OptionEntry* findOption(std::string_view argument) {
    for (const OptionEntry& entry : kOptions)
        if (equalsCaseBlind(argument, entry.name)) return &entry;
    return nullptr;
}

bool beginsLikeOption(std::string_view argument) {
    return !argument.empty() && (argument.front() == '-' || argument.front() == '/');
}

// A leading "/" marks an option, but on this system it also starts every absolute path: an argument that
// names something on disk, or has the shape of a path (a further separator or an extension), is a source.
bool isUnsupportedOption(std::string_view argument) {
    if (argument.empty()) return false;
    if (argument.front() == '-') return true;
    if (argument.front() != '/') return false;
    const std::string_view rest = argument.substr(1);
    const bool pathShaped =
        rest.find_first_of("/\\") != std::string_view::npos || rest.find('.') != std::string_view::npos;
    return !pathShaped && !findSourcePath(argument);
}

size_t characterCount(std::string_view utf8) {
    size_t count = 0;
    for (char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    return count;
}

void printBanner() {
    consolePrint("\n***********************************************\n");
    consolePrint("* Orvane quillpress(Linux) V%u.%.1u build %u      *\n", kVersionMajor, kVersionMinor, kBuildNumber);
    consolePrint("* A command line e-book compiler              *\n");
    consolePrint("***********************************************\n\n");
}

void setOption(Option option, BuildJob& job) {
    BuildOptions& options = job.options;
    switch (option) {
        case Option::PreserveImages: options.imageMode = ImageMode::Preserve; break;
        case Option::Image128K: options.imageMode = ImageMode::Limit128K; break;
        case Option::Gif: options.allowJpeg = false; break;
        case Option::NoMinimize: options.minimize = false; break;
        case Option::Compression0: options.compression = Compression::None; break;
        case Option::Compression1: options.compression = Compression::PalmDoc; break;
        case Option::Compression2: options.compression = Compression::Huffman; break;
        case Option::NoCopyPaste: options.noCopyPaste = true; break;
        case Option::AllScript: options.allowAllScripts = true; break;
        case Option::Rebuild: options.rebuild = true; break;
        case Option::OnlyDependencies: options.onlyDependencies = true; break;
        case Option::NoDependencies: options.noDependencies = true; break;
        case Option::Unicode: options.forceUnicode = true; break;
        case Option::Verbose: job.verbose = true; break;
        case Option::LowPriority:
            job.lowPriority = true;
            options.oneThread = true;
            break;
        case Option::ReleaseNotes:
        case Option::OutputName: break;
    }
}

// Stops the job with a line to print and the failed result.
BuildJob& refuse(BuildJob& job, std::string line) {
    job.action = BuildJob::Action::Refuse;
    job.console.push_back(std::move(line));
    return job;
}

}  // namespace

BuildJob parseCommandLine(int argc, const char* const* argv) {
    BuildJob job;
    if (argc < 2) {
        job.action = BuildJob::Action::ShowUsage;
        return job;
    }
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const OptionEntry* entry = findOption(argument);
        if (!entry) {
            if (isUnsupportedOption(argument))
                return refuse(job, "Error: unsupported argument " + std::string(argument) + "\n");
            job.sourceArgument = argument;
            continue;
        }
        if (entry->option == Option::OutputName) {
            if (i + 1 >= argc) return refuse(job, "output file name not specified after the -o argument \n");
            if (beginsLikeOption(argv[i + 1]) || argv[i + 1][0] == '\0')
                return refuse(job, "output file name not specified after the -o argument\n");
        }
        if (entry->message) job.console.push_back(entry->message);
        if (entry->option == Option::ReleaseNotes) {
            job.action = BuildJob::Action::ShowReleaseNotes;
            return job;
        }
        if (entry->option == Option::OutputName) {
            job.outputName = argv[++i];
            if (lastPathSeparator(job.outputName) != std::string::npos) {
                return refuse(job, "output file should not contain directory path\n");
            }
        }
        setOption(entry->option, job);
    }
    if (job.sourceArgument.empty()) return refuse(job, "Error: Source file not specified\n");
    if (job.options.minimize) job.console.push_back("opt version: try to minimize (default)\n");
    if (job.options.onlyDependencies && job.options.noDependencies) {
        job.options.onlyDependencies = job.options.noDependencies = false;
        job.console.push_back("opt onlydeps & nodeps: conflict, building normally\n");
    }
    return job;
}

std::optional<std::string> findSourcePath(std::string_view argument) {
    const std::string path = withForwardSlashes(argument);
    std::error_code error;
    if (std::filesystem::exists(path, error)) return path;
    // Only a name that is not on disk is a pattern; a pattern never selects a directory.
    glob_t matches{};
    std::optional<std::string> found;
    if (glob(path.c_str(), GLOB_MARK, nullptr, &matches) == 0) {
        for (size_t i = 0; i < matches.gl_pathc && !found; ++i) {
            const std::string_view match = matches.gl_pathv[i];
            if (!match.empty() && match.back() != '/') found = std::string(match);
        }
    }
    globfree(&matches);
    return found;
}

std::string absoluteSourcePath(std::string_view foundPath) {
    std::error_code failure;
    const std::string absolute = std::filesystem::absolute(std::string(foundPath), failure).lexically_normal().string();
    if (failure || characterCount(absolute) > kMaxFullPathChars) return std::string(foundPath);
    return absolute;
}

std::string outputPathFor(std::string_view sourcePath, std::string_view outputName) {
    size_t separator = lastPathSeparator(sourcePath);
    size_t nameStart = separator == std::string_view::npos ? 0 : separator + 1;
    if (!outputName.empty()) return std::string(sourcePath.substr(0, nameStart)) + std::string(outputName);
    size_t dot = sourcePath.rfind('.');
    if (dot == std::string_view::npos || dot < nameStart) return std::string(sourcePath) + ".kova";
    return std::string(sourcePath.substr(0, dot + 1)) + "kova";
}

BuildResult runJob(const BuildJob& job) {
    printBanner();
    for (const std::string& line : job.console) consolePrint("%s", line.c_str());
    switch (job.action) {
        case BuildJob::Action::ShowUsage: consolePrint("%s", kUsage); return BuildResult::Generated;
        case BuildJob::Action::ShowReleaseNotes: consolePrint("%s", kReleaseNotes); return BuildResult::Generated;
        case BuildJob::Action::Refuse: return BuildResult::Failed;
        case BuildJob::Action::Build: break;
    }
    ConsoleSink console;
    console.setVerbose(job.verbose);
    if (job.lowPriority) setpriority(PRIO_PROCESS, 0, kLowPriorityNice);

    const std::optional<std::string> foundPath = findSourcePath(job.sourceArgument);
    if (!foundPath) {
        consolePrint("Error: Could not find file \"%s\"\n", job.sourceArgument.c_str());
        return BuildResult::Failed;
    }
    std::error_code error;
    if (std::filesystem::is_directory(*foundPath, error)) {
        consolePrint("Error: \"%s\" is a directory, not a source file\n", job.sourceArgument.c_str());
        return BuildResult::Failed;
    }
    const std::string sourcePath = absoluteSourcePath(*foundPath);
    const BuildPaths paths{sourcePath, outputPathFor(sourcePath, job.outputName)};
    if (outputReplacesSource(paths.source, paths.output)) return BuildResult::Failed;
    // An interrupted build leaves no temporary file, unpacked archive or unfinished book behind.
    installInterruptCleanup();
    ProgressLine progressLine = ProgressLine::forStandardError(job.verbose);
    BuildOptions options = job.options;
    options.progress = &progressLine;
    options.messages = &console;
    console.setProgressDisplay(&progressLine);
    return buildSource(sourceKindOf(sourcePath), paths, options);
}

}  // namespace qp
