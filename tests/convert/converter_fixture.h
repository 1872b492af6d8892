// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A book-sized conversion in a scratch directory: content files written there, converted into a text stream,
// the resulting bytes and the messages raised kept for the tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "captured_sink.h"
#include "convert/html_converter.h"
#include "convert/link_table.h"
#include "convert/media_table.h"
#include "convert/text_stream.h"
#include "core/message_sink.h"
#include "core/string.h"
#include "index/index_markup.h"
#include "test_support.h"

class ConverterTest : public ::testing::Test {
protected:
    void SetUp() override {
        stream.messages = media.messages = index.messages = &log;
        ASSERT_TRUE(stream.open());
    }

    std::string path(const std::string& name) const { return (dir / name).string(); }
    void writeContent(const std::string& name, const std::string& bytes) { qptest::writeFile(dir / name, bytes); }

    // Converts a file of the scratch directory (written from `html` first when given).
    bool convert(const std::string& name, const std::string& html, bool first = true) {
        writeContent(name, html);
        qp::String source(html, codePage);
        source.messages = &log;
        return converter.convertFile(source, qp::String::fromUtf8(path(name)), first);
    }
    std::string text() {
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(stream.readAll(bytes));
        return std::string(bytes.begin(), bytes.end());
    }

    CapturedSink log;
    qptest::TempDir dir;
    qp::FaultHeader faults{&log};
    qp::TextStream stream;
    qp::LinkTable links{faults};
    qp::MediaTable media;
    qp::IndexMarkup index;
    int32_t codePage = qp::kCodePageUtf8;
    qp::HtmlConverter converter{faults, stream, links, media, index, {.textCodePage = qp::kCodePageWestern}};
};
