// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/href_normalize.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace {

TEST(HrefNormalizer, TakesTheCaseStoredOnDiskAndListsEachDirectoryOnce) {
    qptest::TempDir dir;
    qptest::writeFile(dir / "Text" / "Chapter1.html", "x");
    const std::string base = dir.path().string();
    qp::HrefNormalizer normalizer;
    const struct {
        const char* href;
        std::string file;
    } cases[] = {
        {"text/chapter1.html", base + "/Text/Chapter1.html"},
        {"./TEXT/../text/CHAPTER1.HTML#p2", base + "/Text/Chapter1.html"},
        {"Text/Chapter1.html", base + "/Text/Chapter1.html"},
        {"text/missing.html", base + "/text/missing.html"},
        {"%74ext/chapter1.html", base + "/Text/Chapter1.html"},
    };
    for (int round = 0; round < 3; ++round) {
        for (const auto& c : cases) EXPECT_EQ(normalizer.target(base + "/index.html", c.href).file, c.file) << c.href;
        for (int i = 0; i < 50; ++i) normalizer.target(base + "/index.html", "text/gone" + std::to_string(i) + ".html");
    }
    EXPECT_EQ(normalizer.target(base + "/index.html", "text/chapter1.html#p2").fragment, "p2");
    EXPECT_EQ(normalizer.directoriesRead(), 2u) << "the book's folder and Text";
}

}  // namespace
