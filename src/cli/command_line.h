#pragma once
// The quillpress command: banner, options, the source lookup, the paths, and the choice of the build.
#include <optional>
#include <string>
#include <string_view>

namespace qp {

// Runs the command with its arguments (UTF-8; argv[0] is the program) and returns the exit code:
// 0 built (or usage, release notes), 1 built with warnings, 2 nothing built.
int runCommandLine(int argc, const char* const* argv);

// The build a source file goes to, by the extension of its name (case-blind on A-Z).
enum class SourceKind { Html, Opf, Epub, StyleSheet, Unknown };
SourceKind sourceKindOf(std::string_view fileName);

// The name of the first file that matches a source argument ("\" or "/" separators, wildcards allowed),
// as stored on disk; nothing when no file matches.
std::optional<std::string> findSourceName(std::string_view argument);

// The argument made absolute ("." and ".." steps resolved, "/" separators) with its file name replaced by
// the name found on disk. An absolute path longer than 519 characters leaves the argument as it was.
std::string absoluteSourcePath(std::string_view argument, std::string_view nameOnDisk);

// With an output name: the source's directory followed by that name. Without: the source path with its
// extension replaced by "kova".
std::string outputPathFor(std::string_view sourcePath, std::string_view outputName);

}  // namespace qp
