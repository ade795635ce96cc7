// SPDX-License-Identifier: MIT
// Damaged and hostile table files: each gives its error number on open, never a crash or a
// read outside the file. The base file is a valid table made by the access layer; each case
// changes a few bytes of it.

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"
#include "tables/dbf_layout.h"
#include "tables/dbf_table.h"
#include "tables/table_test_helpers.h"

namespace bx::test {
namespace {

namespace fs = std::filesystem;

// Two fields (C 4, N 5), two rows: header 32 + 2*32 + 1 = 97 bytes, records 1 + 4 + 5 = 10.
constexpr std::size_t kHeader = 97;
constexpr std::size_t kRecord = 10;

// `v` as `n` little-endian bytes.
std::string le(std::uint32_t v, std::size_t n) {
    std::string bytes;
    for (std::size_t i = 0; i < n; ++i) {
        bytes += static_cast<char>((v >> (8U * i)) & 0xFFU);
    }
    return bytes;
}

class DamagedTable : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = freshScratch(::testing::UnitTest::GetInstance()->current_test_info()->name());
        const TableError e =
            DbfTable::create((dir / "good.dbf").string(), {{"KEY", 'C', 4, 0}, {"VAL", 'N', 5, 0}},
                             {{"a", "1"}, {"b", "2"}});
        ASSERT_FALSE(e) << e.description;
        good = readFileBytes(dir / "good.dbf");
        ASSERT_EQ(good.size(), kHeader + 2 * kRecord + 1);
    }

    // The good file with `bytes` written at `at`.
    std::string patched(std::size_t at, const std::string& bytes) const {
        return std::string(good).replace(at, bytes.size(), bytes);
    }

    // Writes `bytes` as bad.dbf and opens it; the table must stay closed on an error.
    TableError openBad(const std::string& bytes) {
        writeBytes(dir / "bad.dbf", bytes);
        DbfTable t;
        TableError e = t.open(dir.string(), "bad.dbf", DbfOpenMode::ReadOnly);
        EXPECT_EQ(t.isOpen(), !e);
        return e;
    }

    fs::path dir;
    std::string good;
};

// Each damage with the number its open gives (0: the undamaged file opens). Offsets: record
// count at 4, header length at 8, record length at 10, the first field descriptor at 32 (its
// type at 43, its width at 48).
TEST_F(DamagedTable, EachDamageGivesItsErrorNumber) {
    const std::string terminator(1, static_cast<char>(kDbfHeaderTerminator));
    const struct {
        const char* damage;
        std::string bytes;
        int number;
    } kCases[] = {
        {"none", good, 0},
        {"empty file", "", kErrInputPastEnd},
        {"short file", good.substr(0, 31), kErrInputPastEnd},
        {"header cut inside the field list", good.substr(0, 70), kErrInputPastEnd},
        {"header length beyond the file", patched(8, le(0xFFFF, 2)), kErrInputPastEnd},
        {"header without room for a field", patched(8, le(33, 2)), kErrPathFileAccess},
        {"header length 0", patched(8, le(0, 2)), kErrPathFileAccess},
        {"terminator where field 1 starts", patched(32, terminator), kErrPathFileAccess},
        {"field list without terminator", patched(96, "X"), kErrPathFileAccess},
        {"record length 9", patched(10, le(9, 2)), kErrBadRecordLength},
        {"record length 65535", patched(10, le(0xFFFF, 2)), kErrBadRecordLength},
        {"field KEY claims 100 bytes", patched(48, le(100, 1)), kErrBadRecordLength},
        {"zero-width field", patched(48, le(0, 1)), kErrBadRecordLength},
        {"binary field type", patched(43, "B"), kErrPathFileAccess},
        {"nameless field", patched(32, le(0, 1)), kErrPathFileAccess},
        {"one row more than the file holds", patched(4, le(3, 4)), kErrInputPastEnd},
        {"record count 2^31 - 1", patched(4, le(0x7FFFFFFF, 4)), kErrInputPastEnd},
        {"record count beyond any count", patched(4, le(0xFFFFFFFF, 4)), kErrBadRecordNumber},
        {"truncated last record", good.substr(0, kHeader + kRecord + 5), kErrInputPastEnd},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(openBad(c.bytes).number, c.number) << c.damage;
    }
}

TEST_F(DamagedTable, MissingEndOfFileMarkAndTrailingBytesAreHarmless) {
    DbfTable t;
    writeBytes(dir / "bad.dbf", good.substr(0, good.size() - 1));
    ASSERT_FALSE(t.open(dir.string(), "bad.dbf", DbfOpenMode::ReadOnly));
    EXPECT_EQ(t.recordCount(), 2);
    writeBytes(dir / "bad.dbf", good + std::string(100, 'Z'));
    ASSERT_FALSE(t.open(dir.string(), "bad.dbf", DbfOpenMode::ReadOnly));
    EXPECT_EQ(t.recordCount(), 2);
    ASSERT_FALSE(t.moveNext());
    EXPECT_EQ(t.fieldText("KEY"), "b");
}

TEST_F(DamagedTable, GarbageInsideRecordsIsReadAsText) {
    std::string b = good;
    b[kHeader + 1] = '\0';  // a NUL at the start of KEY of row 1
    b[kHeader + 5] = 'x';   // letters in the numeric field
    writeBytes(dir / "bad.dbf", b);
    DbfTable t;
    ASSERT_FALSE(t.open(dir.string(), "bad.dbf", DbfOpenMode::ReadOnly));
    EXPECT_EQ(t.fieldText("KEY"), "");
    EXPECT_EQ(t.fieldText("VAL"), "x   1");
}

}  // namespace
}  // namespace bx::test
