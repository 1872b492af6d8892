// SPDX-License-Identifier: GPL-3.0-or-later
#include "container/pdb_database.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "core/big_endian.h"
#include "test_support.h"

using Bytes = std::vector<uint8_t>;

namespace {

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

uint32_t be32(const Bytes& b, size_t at) {
    return uint32_t{b[at]} << 24 | uint32_t{b[at + 1]} << 16 | uint32_t{b[at + 2]} << 8 | b[at + 3];
}

}  // namespace

TEST(PdbDatabase, EmptyDatabaseIsEightyBytes) {
    qptest::TempDir dir;
    qp::PdbDatabase db;
    ASSERT_TRUE(db.create(dir / "empty.pdb", qp::fourCc("BOOK"), qp::fourCc("KOVA")));
    db.setName("Empty_Book");
    Bytes image = db.image();
    ASSERT_EQ(image.size(), 80u);
    EXPECT_EQ(std::string(image.begin(), image.begin() + 10), "Empty_Book");
    for (size_t i = 10; i < 32; ++i) EXPECT_EQ(image[i], 0) << i;
    EXPECT_EQ(Bytes(image.begin() + 32, image.begin() + 36), (Bytes{0, 0, 0, 0}));  // attributes, version
    EXPECT_EQ(be32(image, 36), db.creationDate());
    EXPECT_EQ(be32(image, 44), 0u);  // last backup
    EXPECT_EQ(be32(image, 48), 0u);  // modification number
    EXPECT_EQ(be32(image, 52), 0u);  // app info
    EXPECT_EQ(be32(image, 56), 0u);  // sort info
    EXPECT_EQ(std::string(image.begin() + 60, image.begin() + 68), "BOOKKOVA");
    EXPECT_EQ(be32(image, 72), 0u);                                          // next record list
    EXPECT_EQ(Bytes(image.begin() + 76, image.end()), (Bytes{0, 0, 0, 0}));  // count 0 and the gap
}

TEST(PdbDatabase, RecordEntriesAndDataLayout) {
    qptest::TempDir dir;
    qp::PdbDatabase db;
    ASSERT_TRUE(db.create(dir / "two.pdb", qp::fourCc("TEMP"), qp::fourCc("KOVA")));
    ASSERT_TRUE(db.appendRecord(bytesOf("abc")));
    ASSERT_TRUE(db.appendRecord(bytesOf("defgh")));
    Bytes image = db.image();
    // 78 + 2 * 8 + 2 = 96: first record at 96, second at 99.
    ASSERT_EQ(image.size(), 96u + 3 + 5);
    EXPECT_EQ(Bytes(image.begin() + 76, image.begin() + 78), (Bytes{0, 2}));
    EXPECT_EQ(Bytes(image.begin() + 78, image.begin() + 82), (Bytes{0, 0, 0, 96}));
    EXPECT_EQ(image[82], 0);  // attributes
    EXPECT_EQ(Bytes(image.begin() + 86, image.begin() + 90), (Bytes{0, 0, 0, 99}));
    EXPECT_EQ(Bytes(image.begin() + 94, image.begin() + 96), (Bytes{0, 0}));
    EXPECT_EQ(std::string(image.begin() + 96, image.end()), "abcdefgh");
    // Unique IDs are distinct.
    EXPECT_NE(Bytes(image.begin() + 83, image.begin() + 86), Bytes(image.begin() + 91, image.begin() + 94));
}

TEST(PdbDatabase, RecordOperations) {
    qptest::TempDir dir;
    qp::PdbDatabase db;
    ASSERT_TRUE(db.create(dir / "ops.pdb", qp::fourCc("TEMP"), qp::fourCc("KOVA")));
    ASSERT_TRUE(db.appendRecord(bytesOf("one")));
    ASSERT_TRUE(db.appendRecord(bytesOf("three")));
    ASSERT_TRUE(db.createRecord(3, 1));  // inserted between
    ASSERT_TRUE(db.writeRecord(1, 0, bytesOf("two")));
    ASSERT_TRUE(db.createRecord(2, 500));  // past the end appends
    ASSERT_EQ(db.recordCount(), 4u);
    EXPECT_EQ(Bytes(db.record(1).begin(), db.record(1).end()), bytesOf("two"));
    EXPECT_EQ(Bytes(db.record(3).begin(), db.record(3).end()), (Bytes{0, 0}));

    ASSERT_TRUE(db.resizeRecord(0, 5));
    EXPECT_EQ(Bytes(db.record(0).begin(), db.record(0).end()), (Bytes{'o', 'n', 'e', 0, 0}));
    ASSERT_TRUE(db.deleteRecord(0));
    EXPECT_EQ(db.recordCount(), 3u);
    EXPECT_EQ(Bytes(db.record(0).begin(), db.record(0).end()), bytesOf("two"));

    ASSERT_TRUE(db.appendRecord(bytesOf("ab"), 4));
    EXPECT_EQ(Bytes(db.record(3).begin(), db.record(3).end()), (Bytes{'a', 'b', 0, 0}));
}

TEST(PdbDatabase, RefusedRecordOperationsReportNotEnoughMemory) {
    qptest::TempDir dir;
    qp::PdbDatabase db;
    db.quiet = false;
    ASSERT_TRUE(db.create(dir / "limits.pdb", qp::fourCc("TEMP"), qp::fourCc("KOVA")));
    EXPECT_FALSE(db.createRecord(qp::PdbDatabase::kMaxRecordLength + 1));
    EXPECT_EQ(db.lastError, qp::ErrorCode::NotEnoughMemory);
    EXPECT_FALSE(db.writeRecord(0, 0, bytesOf("x")));
    ASSERT_TRUE(db.appendRecord(bytesOf("ab")));
    EXPECT_FALSE(db.writeRecord(0, 1, bytesOf("xy")));  // would run past the record
    EXPECT_TRUE(db.record(7).empty());
}

TEST(PdbDatabase, SaveAndOpenRoundTrip) {
    qptest::TempDir dir;
    std::filesystem::path path = dir / "round.pdb";
    {
        qp::PdbDatabase db;
        ASSERT_TRUE(db.create(path, qp::fourCc("BOOK"), qp::fourCc("KOVA")));
        db.setName("A_name_that_is_far_longer_than_thirty_one_bytes");
        ASSERT_TRUE(db.appendRecord(bytesOf("first")));
        ASSERT_TRUE(db.appendRecord({}));
        ASSERT_TRUE(db.appendRecord(bytesOf("third")));
        ASSERT_TRUE(db.save());
        // The file is written piece by piece; it must be the image byte for byte.
        const Bytes image = db.image();
        EXPECT_EQ(qptest::readFile(path), std::string(image.begin(), image.end()));
    }
    qp::PdbDatabase read;
    ASSERT_TRUE(read.open(path));
    EXPECT_TRUE(read.readOnly());
    EXPECT_EQ(read.name(), "A_name_that_is_far_longer_than_");
    EXPECT_EQ(read.type(), qp::fourCc("BOOK"));
    ASSERT_EQ(read.recordCount(), 3u);
    EXPECT_EQ(read.recordLength(1), 0u);
    EXPECT_EQ(Bytes(read.record(2).begin(), read.record(2).end()), bytesOf("third"));
    EXPECT_FALSE(read.appendRecord(bytesOf("no")));
}

TEST(PdbDatabase, OpenRejectsBrokenFiles) {
    qptest::TempDir dir;
    qp::PdbDatabase db;
    EXPECT_FALSE(db.open(dir / "missing.pdb"));
    qptest::writeFile(dir / "short.pdb", std::string(40, 'x'));
    EXPECT_FALSE(db.open(dir / "short.pdb"));
    // Header claiming two records, but the file ends inside the record list.
    std::string header(78, '\0');
    header[77] = 2;
    qptest::writeFile(dir / "cut.pdb", header + std::string(8, '\0'));
    EXPECT_FALSE(db.open(dir / "cut.pdb"));
}

TEST(PdbDatabase, UnsavedDatabaseWritesNothing) {
    qptest::TempDir dir;
    std::filesystem::path path = dir / "never.pdb";
    {
        qp::PdbDatabase db;
        ASSERT_TRUE(db.create(path, qp::fourCc("BOOK"), qp::fourCc("KOVA")));
        ASSERT_TRUE(db.appendRecord(bytesOf("lost")));
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(PdbDatabase, SaveReplacesAnOldFileOnlyWhenComplete) {
    qptest::TempDir dir;
    std::filesystem::path path = dir / "book.pdb";
    qptest::writeFile(path, "old book");
    {
        qp::PdbDatabase db;
        ASSERT_TRUE(db.create(path, qp::fourCc("BOOK"), qp::fourCc("KOVA")));
        ASSERT_TRUE(db.appendRecord(bytesOf("new")));
    }
    EXPECT_EQ(qptest::readFile(path), "old book");
    qp::PdbDatabase db;
    ASSERT_TRUE(db.create(path, qp::fourCc("BOOK"), qp::fourCc("KOVA")));
    ASSERT_TRUE(db.appendRecord(bytesOf("new")));
    ASSERT_TRUE(db.save());
    EXPECT_EQ(qptest::readFile(path).size(), 80u + 8 + 3);
    // Saving twice works; the directory holds only the book.
    ASSERT_TRUE(db.save());
    std::filesystem::directory_iterator entries(dir.path());
    EXPECT_EQ(std::distance(entries, std::filesystem::directory_iterator{}), 1);
}

TEST(PdbDatabase, CreateFailsForAnUnwritableTarget) {
    qptest::TempDir dir;
    qp::PdbDatabase db;
    EXPECT_FALSE(db.create(dir / "no-such-directory" / "book.pdb", qp::fourCc("BOOK"), qp::fourCc("KOVA")));
    std::filesystem::create_directory(dir / "a-directory");
    EXPECT_FALSE(db.create(dir / "a-directory", qp::fourCc("BOOK"), qp::fourCc("KOVA")));
}
