// SPDX-License-Identifier: GPL-3.0-or-later
#include "package/opf_package.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace {

using qp::ItemKind;
using qp::OpfPackage;

const std::string kManifestAndSpine = "<manifest>"
                                      "<item id=\"item1\" href=\"a.html\" media-type=\"text/x-oeb1-document\"/>"
                                      "<item id=\"item7\" href=\"sub\\b.html\" media-type=\"application/xhtml+xml\"/>"
                                      "<item id=\"cover\" href=\"images/c.jpg\" media-type=\"image/jpeg\"/>"
                                      "</manifest><spine><itemref idref=\"item7\"/><itemref idref=\"item1\"/></spine>";

class OpfPackageTest : public ::testing::Test {
protected:
    // Writes the package and opens it; `checked` also runs the check.
    bool load(const std::string& body, bool checked = true) {
        qptest::writeFile(dir / "book.opf", "<?xml version=\"1.0\"?><package>" + body + "</package>");
        if (!package.open(qp::String::fromUtf8((dir / "book.opf").string()))) return false;
        return !checked || package.check();
    }

    qptest::TempDir dir;
    OpfPackage package;
};

TEST_F(OpfPackageTest, NextItemNumberFollowsTheLargestItemId) {
    ASSERT_TRUE(load("<metadata><dc-metadata><dc:Title>T</dc:Title></dc-metadata></metadata>" + kManifestAndSpine));
    EXPECT_EQ(package.nextItemNumber(), 8u);
}

TEST_F(OpfPackageTest, NextItemNumberIsOneWithoutNumberedIds) {
    ASSERT_TRUE(load("<metadata><dc:Title>T</dc:Title></metadata><manifest><item id=\"itemx\" href=\"a.html\"/>"
                     "<item id=\"front\" href=\"b.html\"/></manifest><spine/>"));
    EXPECT_EQ(package.nextItemNumber(), 1u);
}

TEST_F(OpfPackageTest, MissingElementsAreReportedInCheckOrder) {
    ASSERT_TRUE(load("<metadata><dc-metadata/></metadata><spine/>", false));
    EXPECT_FALSE(package.check());
    EXPECT_EQ(package.lastError, qp::ErrorCode::NoManifest);

    OpfPackage noSpine;
    qptest::writeFile(dir / "b.opf", "<package><metadata><dc-metadata/></metadata><manifest/></package>");
    ASSERT_TRUE(noSpine.open(qp::String::fromUtf8((dir / "b.opf").string())));
    EXPECT_FALSE(noSpine.check());
    EXPECT_EQ(noSpine.lastError, qp::ErrorCode::NoSpine);

    OpfPackage noMetadata;
    qptest::writeFile(dir / "c.opf", "<package><metadata><x-metadata/></metadata><manifest/><spine/></package>");
    ASSERT_TRUE(noMetadata.open(qp::String::fromUtf8((dir / "c.opf").string())));
    EXPECT_FALSE(noMetadata.check());
    EXPECT_EQ(noMetadata.lastError, qp::ErrorCode::NoDcMetadata);
}

TEST_F(OpfPackageTest, FlatLayoutReadsLikeDcMetadata) {
    ASSERT_TRUE(load("<metadata><dc:Title> Flat  title </dc:Title><dc:creator>A</dc:creator>"
                     "<dc:Creator>B</dc:Creator><meta name=\"cover\" content=\"cover\"/></metadata>" +
                     kManifestAndSpine));
    EXPECT_EQ(package.metadata("dc:Title"), "Flat  title");
    EXPECT_EQ(package.metadataCount("DC:CREATOR"), 2u);
    EXPECT_EQ(package.metadata("dc:Creator", 1), "B");
    EXPECT_EQ(package.metadataAttribute("meta", "content"), "cover");
    EXPECT_FALSE(package.metadata("dc:Creator", 2).has_value());
}

TEST_F(OpfPackageTest, MetadataFiltersByAttributeValueWithoutCase) {
    ASSERT_TRUE(load("<metadata><dc-metadata><dc:Identifier scheme=\"UUID\">u-1</dc:Identifier>"
                     "<dc:Identifier scheme=\"isbn\">978</dc:Identifier></dc-metadata>"
                     "<x-metadata><SRP Currency=\"EUR\">4.99</SRP></x-metadata></metadata>" +
                     kManifestAndSpine));
    EXPECT_EQ(package.metadata("dc:Identifier", 0, "scheme", "ISBN"), "978");
    EXPECT_EQ(package.metadata("dc:Identifier"), "u-1");
    EXPECT_EQ(package.metadata("SRP"), "4.99");
    EXPECT_EQ(package.metadataAttribute("SRP", "Currency"), "EUR");
    EXPECT_FALSE(package.metadata("dc:SRP").has_value()) << "dc: names are not looked up in the x-metadata";
}

TEST_F(OpfPackageTest, MetadataValuesAreDecodedOnceAsPlainText) {
    ASSERT_TRUE(load("<metadata><dc:Title>Developer&#39;s Reference</dc:Title>"
                     "<dc:Creator>Rapha&#235;l &amp;#39; <i>Caf&eacute;</i><![CDATA[ &#39;]]></dc:Creator>"
                     "<meta name=\"cover\" content=\"c&#x6F;ver\"/></metadata>" +
                     kManifestAndSpine));
    EXPECT_EQ(package.metadata("dc:Title"), "Developer's Reference");
    // "&amp;#39;" is the text "&#39;"; a CDATA section is taken as it stands.
    EXPECT_EQ(package.metadata("dc:Creator"), "Rapha\xC3\xABl &#39; Caf\xC3\xA9 &#39;");
    EXPECT_EQ(package.metadataAttribute("meta", "content"), "cover");
}

TEST_F(OpfPackageTest, SpineResolvesItemsInOrderAgainstThePackageDirectory) {
    ASSERT_TRUE(load("<metadata><dc:Title>T</dc:Title></metadata>" + kManifestAndSpine));
    auto spine = package.spine();
    ASSERT_TRUE(spine.has_value());
    ASSERT_EQ(spine->size(), 2u);
    EXPECT_EQ((*spine)[0].id, "item7");
    EXPECT_EQ((*spine)[0].path, (dir.path() / "sub" / "b.html").string());
    EXPECT_EQ((*spine)[0].kind, ItemKind::Content);
    EXPECT_EQ((*spine)[1].path, (dir.path() / "a.html").string());
    ASSERT_NE(package.item("cover"), nullptr);
    EXPECT_EQ(package.item("cover")->kind, ItemKind::Image);
}

TEST_F(OpfPackageTest, SpineIdrefWithoutItemIsError172) {
    ASSERT_TRUE(load("<metadata><dc:Title>T</dc:Title></metadata><manifest><item id=\"a\" href=\"a.html\"/>"
                     "</manifest><spine><itemref idref=\"a\"/><itemref idref=\"ghost\"/></spine>"));
    EXPECT_FALSE(package.spine().has_value());
    EXPECT_EQ(package.lastError, qp::ErrorCode::SpineIdUnknown);
}

TEST_F(OpfPackageTest, OutputRequestsGiveContentTypeEncodingAndAudioLimits) {
    ASSERT_TRUE(load("<metadata><dc:Title>T</dc:Title><x-metadata>"
                     "<output content-type=\"TEXT/PLAIN\" encoding=\"UTF-8\" flatten-dynamic-dir=\"yes\"/>"
                     "<audio-output max-bit-rate=\"0\" max-frequency=\"8000\" max-channels=\"5\""
                     " ogg-pass-through=\"No\"/></x-metadata></metadata>" +
                     kManifestAndSpine));
    const qp::OutputRequests requests = package.outputRequests();
    EXPECT_EQ(requests.contentType, 517u);
    EXPECT_EQ(requests.encoding, 65001);
    EXPECT_FALSE(requests.aspAsBinary);
    EXPECT_FALSE(requests.flattenDynamicDir);
    EXPECT_EQ(requests.maxBitRate, -1);
    EXPECT_EQ(requests.maxFrequency, -1);
    EXPECT_EQ(requests.maxChannels, 2);
    EXPECT_FALSE(requests.oggPassThrough);
}

TEST_F(OpfPackageTest, OutputRequestDefaultsAndOtherCharsets) {
    ASSERT_TRUE(load("<metadata><dc:Title>T</dc:Title><x-metadata><output encoding=\"iso-8859-2\""
                     " asp-as-binary=\"YES\"/><audio-output max-bit-rate=\"64\" max-frequency=\"22050\""
                     " max-channels=\"1\"/></x-metadata></metadata>" +
                     kManifestAndSpine));
    const qp::OutputRequests requests = package.outputRequests();
    EXPECT_EQ(requests.contentType, 2u);
    EXPECT_EQ(requests.encoding, 1252);
    EXPECT_TRUE(requests.aspAsBinary);
    EXPECT_TRUE(requests.flattenDynamicDir);
    EXPECT_EQ(requests.maxBitRate, 64);
    EXPECT_EQ(requests.maxFrequency, 22050);
    EXPECT_EQ(requests.maxChannels, 1);
    EXPECT_TRUE(requests.oggPassThrough);
}

TEST(OpfMediaTypes, SpineItemsAreClassifiedByMediaType) {
    EXPECT_EQ(qp::classifyMediaType("text/x-oeb1-document"), ItemKind::Content);
    EXPECT_EQ(qp::classifyMediaType("TEXT/HTML"), ItemKind::Content);
    EXPECT_EQ(qp::classifyMediaType("application/xhtml+xml"), ItemKind::Content);
    EXPECT_EQ(qp::classifyMediaType("application/x-dtbook+xml"), ItemKind::Content);
    EXPECT_EQ(qp::classifyMediaType("text/asp"), ItemKind::ScriptPage);
    EXPECT_EQ(qp::classifyMediaType("application/vnd.palm"), ItemKind::PalmDatabase);
    EXPECT_EQ(qp::classifyMediaType("image/png"), ItemKind::Image);
    EXPECT_EQ(qp::classifyMediaType("application/x-dtbncx+xml"), ItemKind::TableOfContents);
    EXPECT_EQ(qp::classifyMediaType("audio/mpeg"), ItemKind::Media);
    EXPECT_EQ(qp::classifyMediaType(""), ItemKind::Media);
}

TEST_F(OpfPackageTest, GuideReferencesKeepTheirAttributes) {
    ASSERT_TRUE(load("<metadata><dc:Title>T</dc:Title></metadata>" + kManifestAndSpine +
                     "<guide><reference type=\"start\" title=\"Go\" href=\"a.html#x\" onclick=\"f_go()\"/>"
                     "<reference type=\"cover\" href=\"images/c.jpg\"/></guide>"));
    const auto guide = package.guide();
    ASSERT_EQ(guide.size(), 2u);
    EXPECT_EQ(guide[0].type, "start");
    EXPECT_EQ(guide[0].title, "Go");
    EXPECT_EQ(guide[0].href, "a.html#x");
    EXPECT_EQ(guide[0].onclick, "f_go()");
    EXPECT_TRUE(guide[1].title.empty());
}

TEST_F(OpfPackageTest, MissingFileCannotBeOpened) {
    EXPECT_FALSE(package.open(qp::String::fromUtf8((dir.path() / "none.opf").string())));
    EXPECT_TRUE(package.failed());
}

}  // namespace
