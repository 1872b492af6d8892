#include "core/storage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "captured_sink.h"
#include "core/string.h"

namespace {

using qp::Storage;

TEST(Storage, NewStorageHasSixSlotsAndNoElements) {
    Storage<int> storage;
    EXPECT_EQ(storage.capacity(), 6u);
    EXPECT_EQ(storage.count(), 0u);
    EXPECT_EQ(storage.elementCount(), 0u);
}

TEST(Storage, AccessWithinTheSlotsDoesNotGrow) {
    Storage<int> storage;
    storage.at(4) = 7;  // slot 5, the last one
    EXPECT_EQ(storage.capacity(), 6u);
    EXPECT_EQ(storage.count(), 6u);
    EXPECT_EQ(storage.get(4), 7);
}

TEST(Storage, AccessToIndex10GrowsToSeventeenSlots) {
    Storage<int> storage;
    storage.at(0) = 1;
    storage.at(10) = 42;
    EXPECT_EQ(storage.capacity(), 17u);  // 10 + 10/2 + 2
    EXPECT_EQ(storage.count(), 12u);
    EXPECT_EQ(storage.get(0), 1);  // moved along
    EXPECT_EQ(storage.get(10), 42);
    storage.at(5) = 3;
    EXPECT_EQ(storage.capacity(), 17u);
    EXPECT_EQ(storage.count(), 12u);
    storage.at(15);  // the last slot
    EXPECT_EQ(storage.capacity(), 17u);
    storage.at(16);  // capacity - 1: grows to 16 + 8 + 2
    EXPECT_EQ(storage.capacity(), 26u);
    EXPECT_EQ(storage.count(), 18u);
}

TEST(Storage, FailedAccessReturnsTheDefaultElement) {
    Storage<qp::String> storage;
    storage.defaultElement() = qp::String("none", 1252);
    EXPECT_EQ(storage.get(99).bytes(), "none");
    storage.push(qp::String("first", 1252));
    storage.push(qp::String("second", 1252));
    EXPECT_EQ(storage.elementCount(), 2u);
    EXPECT_EQ(storage.get(1).bytes(), "second");
    EXPECT_EQ(storage.get(2).bytes(), "none");
}

TEST(Storage, ImpossibleGrowthIsError14AndKeepsTheArray) {
    CapturedSink recorder;
    Storage<std::string> storage;
    storage.at(1) = "kept";
    std::string& fallback = storage.at(SIZE_MAX / 2);
    EXPECT_EQ(&fallback, &storage.defaultElement());
    EXPECT_EQ(storage.lastError, qp::ErrorCode::StorageAllocationFailed);
    EXPECT_TRUE(recorder.saw(qp::ErrorCode::StorageAllocationFailed));
    EXPECT_EQ(storage.capacity(), 6u);
    EXPECT_EQ(storage.get(1), "kept");

    storage.at(SIZE_MAX - 1);  // the slot count itself would overflow
    EXPECT_EQ(storage.capacity(), 6u);
}

TEST(Storage, ClearReturnsToTheInitialSlots) {
    Storage<int> storage;
    storage.at(30) = 1;
    storage.clear();
    EXPECT_EQ(storage.capacity(), 6u);
    EXPECT_EQ(storage.count(), 0u);
    EXPECT_EQ(storage.get(0), 0);
}

}  // namespace
