// SPDX-License-Identifier: GPL-3.0-or-later
// Node requests over a parsed package: absolute and relative paths, predicates, attribute steps.
#include "markup/node_selector.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "markup/xml_parser.h"
#include "xml_test_support.h"

namespace {

using qp::NodeIndex;
using qp::NodeSelector;
using qp::XmlParser;

constexpr const char* kPackage =
    "<?xml version=\"1.0\"?>\n"
    "<Package>"
    "<metadata><x-metadata>"
    "<output encoding=\"utf-8\" content-type=\"text/x-oeb1-document\" asp-as-binary=\"YES\"/>"
    "<audio-output max-bit-rate=\"64\"/>"
    "</x-metadata></metadata>"
    "<manifest>"
    "<item id=\"a\" media-type=\"text/html\"/>"
    "<item id=\"b\" media-type=\"\"/>"
    "<item id=\"c\"/>"
    "<ITEM id=\"d\" media-type=\"image/gif\"/>"
    "</manifest>"
    "</Package>";

class NodeRequestTest : public ::testing::Test {
protected:
    NodeRequestTest() : parser(qp::String(kPackage, 1252), qp::ParseMode::Xml), requests(parser) { parser.parse(); }

    std::vector<std::string> ids(const std::vector<NodeIndex>& nodes) {
        std::vector<std::string> result;
        for (NodeIndex node : nodes) result.push_back(parser.attribute(node, "id").toUtf8());
        return result;
    }
    NodeIndex manifest() { return requests.selectOne("/package/manifest"); }

    XmlParser parser;
    NodeSelector requests;
};

TEST_F(NodeRequestTest, AbsolutePathWithEqualityPredicate) {
    std::vector<NodeIndex> found = requests.select("/package/metadata/x-metadata/output[@asp-as-binary='yes']");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_TRUE(parser.hasName(found[0], "output"));
    EXPECT_TRUE(requests.select("/package/metadata/x-metadata/output[@flatten-dynamic-dir='yes']").empty());
}

TEST_F(NodeRequestTest, AttributeStep) {
    NodeIndex type = requests.selectOne("/package/metadata/x-metadata/output/@content-type");
    ASSERT_NE(type, qp::kNoNode);
    EXPECT_EQ(parser.kind(type), qp::NodeKind::Attribute);
    EXPECT_EQ(parser.text(type).toUtf8(), "text/x-oeb1-document");
    EXPECT_EQ(requests.selectOne("/package/metadata/x-metadata/audio-output/@max-channels"), qp::kNoNode);
}

TEST_F(NodeRequestTest, RelativeStepsFromANode) {
    EXPECT_EQ(ids(requests.select("item", manifest())), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(ids(requests.select("item[@media-type!='']", manifest())), (std::vector<std::string>{"a", "d"}));
    EXPECT_EQ(ids(requests.select("item[@media-type=\"\"]", manifest())), (std::vector<std::string>{"b"}));
    EXPECT_EQ(ids(requests.select("item[@media-type!=''][@id='D']", manifest())), (std::vector<std::string>{"d"}));
}

TEST_F(NodeRequestTest, RelativePathDoesNotStartAtTheRoot) {
    EXPECT_TRUE(requests.select("manifest/item", manifest()).empty());
    EXPECT_EQ(requests.select("manifest/item", requests.selectOne("/package")).size(), 4u);
}

TEST_F(NodeRequestTest, SeveralNodesWhereOneIsNeededWarns) {
    NodeIndex first = requests.selectOne("item", manifest());
    EXPECT_EQ(parser.attribute(first, "id").toUtf8(), "a");
    EXPECT_EQ(requests.lastWarning, qp::WarningCode::SeveralNodes);
}

TEST_F(NodeRequestTest, MalformedRequestsSelectNothing) {
    for (const char* bad : {"", "/", "/package//manifest", "item[@id='a'", "item[id='a']", "item[@id=a]", "@id/item",
                            "item[@id~'a']", "item/"}) {
        requests.lastError = qp::ErrorCode::None;
        EXPECT_TRUE(requests.select(bad, manifest()).empty()) << bad;
        EXPECT_EQ(requests.lastError, qp::ErrorCode::BadNodeRequest) << bad;
    }
}

TEST(NodeRequestDepth, DeepPathsOnDeepDocuments) {
    std::string text;
    for (int i = 0; i < 5000; ++i) text += "<d>";
    XmlParser parser(qp::String(text, 1252), qp::ParseMode::Xml);
    parser.parse();
    NodeSelector requests(parser);
    std::string path;
    for (int i = 0; i < 5000; ++i) path += "/d";
    EXPECT_EQ(requests.selectOne(path), 5000u);
}

}  // namespace
