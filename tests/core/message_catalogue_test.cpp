// The catalogue against the golden list of every message: severity, code, layout, console filter and text,
// one line each (a line end in a text written as \n). A row that differs from its golden line fails.
#include "core/message_catalogue.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

namespace {

using qp::MessageLayout;

std::string layoutName(MessageLayout layout) {
    switch (layout) {
        case MessageLayout::Plain: return "Plain";
        case MessageLayout::ArgumentAfterText: return "ArgumentAfterText";
        case MessageLayout::FileLine: return "FileLine";
        case MessageLayout::SourceLine: return "SourceLine";
        case MessageLayout::InFile: return "InFile";
        case MessageLayout::SourcePosition: return "SourcePosition";
        case MessageLayout::Argument: return "Argument";
        case MessageLayout::ArgumentInFile: return "ArgumentInFile";
        case MessageLayout::Url: return "Url";
        case MessageLayout::Number: return "Number";
        case MessageLayout::Quoted: return "Quoted";
        case MessageLayout::NumberIndexName: return "NumberIndexName";
        case MessageLayout::NumberKeyType: return "NumberKeyType";
        case MessageLayout::Percent: return "Percent";
        case MessageLayout::Digit: return "Digit";
        case MessageLayout::BytesRecords: return "BytesRecords";
        case MessageLayout::BytesEntries: return "BytesEntries";
    }
    return "?";
}

std::string severityName(qp::Severity severity) {
    switch (severity) {
        case qp::Severity::Error: return "error";
        case qp::Severity::Warning: return "warning";
        case qp::Severity::Info: return "info";
    }
    return "?";
}

std::string filterName(qp::ConsoleFilter filter) {
    switch (filter) {
        case qp::ConsoleFilter::Shown: return "Shown";
        case qp::ConsoleFilter::VerboseOnly: return "VerboseOnly";
        case qp::ConsoleFilter::Hidden: return "Hidden";
    }
    return "?";
}

std::string goldenLine(const qp::MessageRow& row) {
    char code[8];
    std::snprintf(code, sizeof code, "%03d", row.code.number);
    std::string text;
    for (char c : row.text) text += c == '\n' ? std::string("\\n") : std::string(1, c);
    return severityName(row.code.severity) + " " + code + " " + layoutName(row.layout) + " " + filterName(row.console) +
           " " + text;
}

TEST(MessageCatalogue, EveryRowMatchesTheGoldenList) {
    std::ifstream file(QP_TEST_DATA_DIR "/message_catalogue.golden");
    ASSERT_TRUE(file) << "golden list missing";
    std::set<std::string> golden;
    for (std::string line; std::getline(file, line);)
        if (!line.empty()) golden.insert(line);

    std::set<std::string> rows;
    for (const qp::MessageRow& row : qp::messageCatalogue()) rows.insert(goldenLine(row));

    for (const std::string& line : rows) EXPECT_TRUE(golden.count(line)) << "not in the golden list: " << line;
    for (const std::string& line : golden) EXPECT_TRUE(rows.count(line)) << "no catalogue row: " << line;
}

TEST(MessageCatalogue, LooksUpRowsBySeverityAndCode) {
    const qp::MessageRow* row = qp::messageRow(qp::ErrorCode::NotEnoughMemory);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text, "Error(mkbook): Not enough memory.");
    EXPECT_EQ(qp::messageRow(qp::InfoCode::RecordCount)->text, "Info(mkbook): Building KOVA file, record count: ");
    EXPECT_EQ(qp::messageRow(static_cast<qp::WarningCode>(1)), nullptr);
}

}  // namespace
