// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared set-up of the build tests: a scratch directory as the working and temporary directory of the
// compiler, sources written into it, and the book read back with the independent reader.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "kova_book.h"
#include "test_support.h"

namespace buildtest {

namespace fs = std::filesystem;

class BuildTest : public ::testing::Test {
protected:
    void write(const std::string& name, const std::string& text) {
        fs::create_directories((dir / name).parent_path());
        qptest::writeFile(dir / name, text);
    }
    qptest::RunResult compile(const std::vector<std::string>& args) { return qptest::runQuillpress(args, dir.path()); }
    kova::Book book(const std::string& name) { return kova::Book::fromFile(dir / name); }
    bool exists(const std::string& name) { return fs::exists(dir / name); }
    // The compiler's temporary directory holds nothing after a run.
    bool temporaryDirectoryEmpty() { return fs::is_empty(temporaryDir.path()); }

    qptest::TempDir dir;
    qptest::PrivateTemporaryDirectory temporaryDir;
};

// A package around the given metadata, manifest items, spine and guide.
inline std::string package(const std::string& metadata, const std::string& items, const std::string& spine,
                           const std::string& guide = "") {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<package><metadata>" + metadata + "</metadata><manifest>" +
           items + "</manifest><spine>" + spine + "</spine>" + (guide.empty() ? "" : "<guide>" + guide + "</guide>") +
           "</package>";
}

inline std::string dcMetadata(const std::string& fields, const std::string& extra = "") {
    return "<dc-metadata>" + fields + "</dc-metadata><x-metadata>" + extra + "</x-metadata>";
}

inline std::string htmlPage(const std::string& body, const std::string& head = "") {
    return "<html><head>" + head + "</head><body>" + body + "</body></html>";
}

// The first end tag of an element HTML defines as empty ("</br>"), or "" when the text has none.
inline std::string endTagOfEmptyElement(const std::string& text) {
    static const std::regex endTag("</(br|hr|img|meta|link|input|col|area|base|wbr|param|source|embed|track)>",
                                   std::regex::icase);
    std::smatch found;
    return std::regex_search(text, found, endTag) ? found.str() : "";
}

// Every filepos link of the text: its ten digits, read as a position.
inline std::vector<uint64_t> fileposTargets(const std::string& text) {
    std::vector<uint64_t> targets;
    const std::regex filepos("filepos=([0-9]{10})");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), filepos); it != std::sregex_iterator(); ++it) {
        targets.push_back(std::stoull((*it)[1].str()));
    }
    return targets;
}

}  // namespace buildtest
