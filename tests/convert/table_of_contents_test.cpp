// SPDX-License-Identifier: GPL-3.0-or-later
// Reading an NCX file and placing its nodes in the text through the anchors.
#include "convert/table_of_contents.h"

#include <gtest/gtest.h>

#include "captured_sink.h"
#include "convert/link_table.h"
#include "test_support.h"

namespace {

using qp::TableOfContents;

class TocTest : public ::testing::Test {
protected:
    // An NCX beside chapter.html, whose anchors a1..a9 stand at 100, 200, ... 900.
    void SetUp() override {
        chapter = (dir / "chapter.html").string();
        qptest::writeFile(chapter, "");
        for (int i = 1; i <= 9; ++i) links.registerAnchor(chapter, "a" + std::to_string(i), i * 100u, false);
    }

    bool readAndPlace(const std::string& body, uint64_t textLength = 1000) {
        const std::string ncx = (dir / "toc.ncx").string();
        qptest::writeFile(ncx, "<?xml version=\"1.0\"?><ncx>" + body + "</ncx>");
        return qp::readNcx(ncx, toc, faults) && qp::placeTableOfContents(toc, links, ncx, textLength, faults);
    }

    static std::string point(int anchor, const std::string& label, const std::string& inner = "") {
        return "<navPoint><navLabel><text>" + label + "</text></navLabel><content src=\"chapter.html#a" +
               std::to_string(anchor) + "\"/>" + inner + "</navPoint>";
    }

    qptest::TempDir dir;
    std::string chapter;
    CapturedSink log;
    qp::FaultHeader faults{&log};
    qp::LinkTable links{faults};
    TableOfContents toc;
};

TEST_F(TocTest, LengthsReachToTheNextNodeAtTheSameDepthOrAbove) {
    ASSERT_TRUE(readAndPlace("<navMap>" + point(1, "One", point(2, "One.a") + point(4, "One.b")) + point(6, "Two") +
                             "</navMap>"));
    ASSERT_EQ(toc.navMap.size(), 4u);
    EXPECT_EQ(toc.navMap[0].label, "One");
    EXPECT_EQ(toc.navMap[0].length, 500u);  // to Two at 600
    EXPECT_EQ(toc.navMap[1].length, 200u);  // to One.b
    EXPECT_EQ(toc.navMap[2].length, 200u);  // to Two
    EXPECT_EQ(toc.navMap[3].length, 400u);  // to the end of the text
    EXPECT_EQ(toc.navMap[0].firstChild, 1);
    EXPECT_EQ(toc.navMap[0].lastChild, 2);
    EXPECT_EQ(toc.navMap[2].parent, 0);
}

TEST_F(TocTest, TopLevelNodesOnOnePlaceReachToTheEnd) {
    ASSERT_TRUE(readAndPlace("<navMap>" + point(2, "A") + point(2, "B") + point(5, "C") + "</navMap>"));
    EXPECT_EQ(toc.navMap[0].length, 800u);  // not 0: shares its place with B
    EXPECT_EQ(toc.navMap[1].length, 300u);
}

TEST_F(TocTest, SiblingsOnOnePlaceInsideAParentEndAtTheParentsEnd) {
    ASSERT_TRUE(readAndPlace("<navMap>" + point(1, "P", point(2, "A") + point(2, "B")) + point(5, "Q") + "</navMap>"));
    EXPECT_EQ(toc.navMap[1].length, 300u);  // to P's end at 500, so that P still holds it
    EXPECT_EQ(toc.navMap[2].length, 300u);
}

TEST_F(TocTest, DepthFollowsTheNesting) {
    ASSERT_TRUE(readAndPlace("<navMap>" + point(1, "0", point(2, "1", point(3, "2"))) + "</navMap>"));
    ASSERT_EQ(toc.navMap.size(), 3u);
    EXPECT_EQ(toc.navMap[2].depth, 2u);
    EXPECT_EQ(toc.navMap[2].parent, 1);
}

TEST_F(TocTest, NavigationListWithItsTargets) {
    const std::string target = "<navTarget class=\"fig\"><navLabel><text>T</text></navLabel>"
                               "<content src=\"chapter.html#a3\"/></navTarget>";
    ASSERT_TRUE(readAndPlace("<navMap>" + point(1, "One") +
                             "</navMap><navList><navLabel><text>Figures</text>"
                             "</navLabel>" +
                             target + target + target + "</navList>"));
    ASSERT_EQ(toc.navLists.size(), 4u);
    EXPECT_EQ(toc.navLists[0].label, "Figures");
    EXPECT_EQ(toc.navLists[0].depth, 0u);
    EXPECT_EQ(toc.navLists[3].depth, 1u);
    EXPECT_EQ(toc.navLists[3].position, 300u);
    EXPECT_EQ(toc.navLists[3].className, "fig");
    EXPECT_EQ(toc.navLists[0].lastChild, 3);
}

TEST_F(TocTest, ChildOutsideItsParentFails) {
    for (const std::string& map :
         {point(3, "P", point(2, "Before")) + point(5, "Q"), point(3, "P", point(6, "After")) + point(5, "Q")}) {
        TableOfContents fresh;
        toc = fresh;
        EXPECT_FALSE(readAndPlace("<navMap>" + map + "</navMap>")) << map;
        EXPECT_EQ(faults.lastError, qp::ErrorCode::TocScopeOutsideParent);
    }
}

TEST_F(TocTest, UnknownOrEmptyTargetFailsNamingIt) {
    // An empty src names no place: it is not the start of the text.
    const std::string unresolved = "Error(mkbook): Hyperlink not resolved in toc:";
    const std::string list = "<navList><navLabel><text>L</text></navLabel><navTarget><navLabel><text>T</text>"
                             "</navLabel><content src=\"\"/></navTarget></navList>";
    const std::pair<std::string, std::string> cases[] = {
        {"<navMap><navPoint><navLabel><text>X</text></navLabel><content src=\"chapter.html#nowhere\"/></navPoint>"
         "</navMap>",
         unresolved + "chapter.html#nowhere"},
        {"<navMap><navPoint><navLabel><text>X</text></navLabel><content src=\"\"/></navPoint></navMap>", unresolved},
        {"<navMap>" + point(1, "One") + "</navMap>" + list, unresolved}};
    for (const auto& [ncx, line] : cases) {
        toc = TableOfContents();
        faults = qp::FaultHeader{&log};
        log.lines.clear();
        EXPECT_FALSE(readAndPlace(ncx)) << ncx;
        EXPECT_EQ(faults.lastError, qp::ErrorCode::TocLinkUnresolved) << ncx;
        EXPECT_TRUE(log.printed(line)) << ncx;
    }
}

TEST_F(TocTest, LabelsPropertiesAndReferences) {
    ASSERT_TRUE(readAndPlace("<navMap><navPoint class=\"ch\"><navLabel><text>Caf&#233; &amp; co</text></navLabel>"
                             "<content src=\"chapter.html#a1\"/><tqp:meta name=\"mood\">calm</tqp:meta>"
                             "<tqp:meta-img name=\"icon\" src=\"pics/i.gif\"/></navPoint></navMap>"));
    const qp::TocNode& node = toc.navMap[0];
    EXPECT_EQ(node.label, "Caf\xC3\xA9 & co");
    EXPECT_EQ(node.className, "ch");
    ASSERT_EQ(node.properties.size(), 2u);
    EXPECT_EQ(node.properties[0].value, "calm");
    EXPECT_TRUE(node.properties[1].image);
    EXPECT_EQ(node.properties[1].value, (dir / "pics" / "i.gif").string());
}

TEST_F(TocTest, NodesWithoutLabelOrTargetAndFilesWithoutNcxAreRefused) {
    EXPECT_FALSE(readAndPlace("<navMap><navPoint><content src=\"chapter.html#a1\"/></navPoint></navMap>"));
    EXPECT_FALSE(readAndPlace("<navMap><navPoint><navLabel><text>X</text></navLabel></navPoint></navMap>"));
    EXPECT_FALSE(qp::readNcx((dir / "missing.ncx").string(), toc, faults));
    EXPECT_EQ(faults.lastError, qp::ErrorCode::FileNotAccessible);
}

}  // namespace
