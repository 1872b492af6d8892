// SPDX-License-Identifier: GPL-3.0-or-later
// Properties of the catalogue that hold whatever its texts say. That each call site passes what its code's
// layout takes is the compiler's job: report() checks the arguments against the layout at compile time.
#include "core/message_catalogue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <string>

namespace {

std::string readFile(const std::filesystem::path& path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

const std::filesystem::path kSources = std::filesystem::path(QP_TEST_DATA_DIR) / ".." / ".." / "src";

// The enumerators of one code enum and their numbers, as the header declares them (None excluded).
std::map<std::string, int> declaredCodes(const std::string& header, const std::string& enumName) {
    const size_t start = header.find("enum class " + enumName);
    const std::string body = header.substr(start, header.find("};", start) - start);
    std::map<std::string, int> codes;
    const std::regex enumerator(R"((\w+) = (\d+),)");
    for (auto it = std::sregex_iterator(body.begin(), body.end(), enumerator); it != std::sregex_iterator(); ++it)
        if ((*it)[1] != "None") codes[(*it)[1]] = std::stoi((*it)[2]);
    return codes;
}

TEST(MessageCatalogue, CodesAreUniqueAndSortedBySeverityThenNumber) {
    const auto rows = qp::messageCatalogue();
    ASSERT_FALSE(rows.empty());
    for (size_t i = 1; i < rows.size(); ++i) {
        const qp::MessageCode& before = rows[i - 1].code;
        const qp::MessageCode& after = rows[i].code;
        EXPECT_TRUE(before.severity < after.severity ||
                    (before.severity == after.severity && before.number < after.number))
            << "row " << i << " (" << after.number << ") is out of order or repeated";
    }
}

TEST(MessageCatalogue, EveryRowHasAText) {
    for (const qp::MessageRow& row : qp::messageCatalogue()) EXPECT_FALSE(row.text.empty()) << row.code.number;
}

// A code that nothing raises has no place in the catalogue: each enumerator must appear in the sources
// outside the catalogue itself.
TEST(MessageCatalogue, EveryCodeIsRaisedSomewhere) {
    const std::string header = readFile(kSources / "core" / "message_catalogue.h");
    ASSERT_FALSE(header.empty()) << "catalogue header not found under " << kSources;
    std::string sources;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(kSources)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && name.rfind("message_catalogue", 0) != 0) sources += readFile(entry.path());
    }
    for (const std::string enumName : {"ErrorCode", "WarningCode", "InfoCode"}) {
        const std::map<std::string, int> codes = declaredCodes(header, enumName);
        EXPECT_FALSE(codes.empty()) << enumName;
        for (const auto& [name, number] : codes)
            EXPECT_NE(sources.find(enumName + "::" + name), std::string::npos)
                << enumName << "::" << name << " is never raised";
    }
}

// Every declared code has its row, and every row its declared code.
TEST(MessageCatalogue, EveryDeclaredCodeHasARow) {
    const std::string header = readFile(kSources / "core" / "message_catalogue.h");
    size_t declared = 0;
    for (const auto& [name, number] : declaredCodes(header, "ErrorCode"))
        EXPECT_NE(qp::messageRow(static_cast<qp::ErrorCode>(number)), nullptr) << name;
    for (const auto& [name, number] : declaredCodes(header, "WarningCode"))
        EXPECT_NE(qp::messageRow(static_cast<qp::WarningCode>(number)), nullptr) << name;
    for (const auto& [name, number] : declaredCodes(header, "InfoCode"))
        EXPECT_NE(qp::messageRow(static_cast<qp::InfoCode>(number)), nullptr) << name;
    for (const std::string enumName : {"ErrorCode", "WarningCode", "InfoCode"})
        declared += declaredCodes(header, enumName).size();
    EXPECT_EQ(qp::messageCatalogue().size(), declared);
}

TEST(MessageCatalogue, LooksUpRowsBySeverityAndCode) {
    const qp::MessageRow* row = qp::messageRow(qp::ErrorCode::NotEnoughMemory);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text, "Error(mkbook): Not enough memory.");
    EXPECT_EQ(qp::messageRow(qp::InfoCode::RecordCount)->text, "Info(mkbook): Building KOVA file, record count: ");
    EXPECT_EQ(qp::messageRow(static_cast<qp::WarningCode>(1)), nullptr);
}

}  // namespace
