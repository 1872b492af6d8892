// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The quillpress command: the arguments become a build job without side effects; running the job prints the
// banner and the option lines, checks the source, forms the paths and starts the build its kind names.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pipeline/build_options.h"

namespace qp {

struct BuildJob {
    enum class Action { Build, ShowUsage, ShowReleaseNotes, Refuse };
    Action action = Action::Build;
    BuildOptions options;
    std::string sourceArgument;  // the last argument that is not an option
    std::string outputName;      // bare file name given with -o
    bool verbose = false;
    bool lowPriority = false;
    // The lines the options print, in order; for a refused job the error line comes last.
    std::vector<std::string> console;
};

// Reads the arguments (UTF-8; argv[0] is the program). Prints nothing and changes nothing in the process.
BuildJob parseCommandLine(int argc, const char* const* argv);
// Prints, checks the source and builds.
BuildResult runJob(const BuildJob& job);

// The source a command-line argument names ("\" or "/" separators): the argument itself when something of
// that name exists (a file or a directory), else the first file that matches it as a wildcard pattern, with
// the names as stored on disk. Nothing when neither.
std::optional<std::string> findSourcePath(std::string_view argument);

// A found source path made absolute ("." and ".." steps resolved). A result longer than 519 characters
// leaves the path as it was.
std::string absoluteSourcePath(std::string_view foundPath);

// With an output name: the source's directory followed by that name. Without: the source path with its
// extension replaced by "kova".
std::string outputPathFor(std::string_view sourcePath, std::string_view outputName);

}  // namespace qp
