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

    // Writes `bytes` as bad.dbf and opens it; the table must stay closed on an error.
    TableError openBad(const std::string& bytes) {
        writeBytes(dir / "bad.dbf", bytes);
        DbfTable t;
        TableError e = t.open(dir.string(), "bad.dbf", DbfOpenMode::ReadOnly);
        EXPECT_EQ(t.isOpen(), !e);
        return e;
    }

    static void setU16(std::string& b, std::size_t at, unsigned v) {
        b[at] = static_cast<char>(v & 0xFFU);
        b[at + 1] = static_cast<char>((v >> 8U) & 0xFFU);
    }
    static void setU32(std::string& b, std::size_t at, std::uint32_t v) {
        for (std::size_t i = 0; i < 4; ++i) {
            b[at + i] = static_cast<char>((v >> (8U * i)) & 0xFFU);
        }
    }

    fs::path dir;
    std::string good;
};

// Each damage with the number its open gives (0: the undamaged file opens).
TEST_F(DamagedTable, EachDamageGivesItsErrorNumber) {
    const auto u16 = [this](std::size_t at, unsigned v) {
        std::string b = good;
        setU16(b, at, v);
        return b;
    };
    const auto u32 = [this](std::size_t at, std::uint32_t v) {
        std::string b = good;
        setU32(b, at, v);
        return b;
    };
    const auto byte = [this](std::size_t at, char v) {
        std::string b = good;
        b[at] = v;
        return b;
    };
    const struct {
        const char* damage;
        std::string bytes;
        int number;
    } kCases[] = {
        {"none", good, 0},
        {"empty file", "", kErrInputPastEnd},
        {"short file", good.substr(0, 31), kErrInputPastEnd},
        {"header cut inside the field list", good.substr(0, 70), kErrInputPastEnd},
        {"header length beyond the file", u16(8, 0xFFFF), kErrInputPastEnd},
        {"header without room for a field", u16(8, 33), kErrPathFileAccess},
        {"header length 0", u16(8, 0), kErrPathFileAccess},
        {"terminator where field 1 starts", byte(32, static_cast<char>(kDbfHeaderTerminator)),
         kErrPathFileAccess},
        {"field list without terminator", byte(96, 'X'), kErrPathFileAccess},
        {"record length 9", u16(10, 9), kErrBadRecordLength},
        {"record length 65535", u16(10, 0xFFFF), kErrBadRecordLength},
        {"field KEY claims 100 bytes", byte(32 + 16, 100), kErrBadRecordLength},
        {"zero-width field", byte(32 + 16, 0), kErrBadRecordLength},
        {"binary field type", byte(32 + 11, 'B'), kErrPathFileAccess},
        {"nameless field", byte(32, '\0'), kErrPathFileAccess},
        {"one row more than the file holds", u32(4, 3), kErrInputPastEnd},
        {"record count 2^31 - 1", u32(4, 0x7FFFFFFF), kErrInputPastEnd},
        {"record count beyond any count", u32(4, 0xFFFFFFFF), kErrBadRecordNumber},
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

TEST(DbfLayoutParse, FieldsOffsetsAndCountsOfAGoodHeader) {
    const fs::path dir = freshScratch("layout");
    ASSERT_FALSE(DbfTable::create((dir / "t.dbf").string(),
                                  {{"A", 'C', 3, 0}, {"B", 'N', 6, 2}, {"C", 'C', 254, 0}},
                                  {{"x"}}));
    const std::string bytes = readFileBytes(dir / "t.dbf");
    DbfLayout layout;
    ASSERT_FALSE(parseDbfLayout(bytes, bytes.size(), "t.dbf", layout));
    EXPECT_EQ(layout.recordCount, 1U);
    EXPECT_EQ(layout.headerLength, 32 + 3 * 32 + 1);
    EXPECT_EQ(layout.recordLength, 1 + 3 + 6 + 254);
    ASSERT_EQ(layout.fields.size(), 3U);
    EXPECT_EQ(layout.fields[1].offset, 4);
    EXPECT_EQ(layout.fields[1].decimals, 2);
    EXPECT_EQ(layout.fields[2].offset, 10);
    // Given fewer bytes than the header claims, the parse refuses rather than read past them.
    EXPECT_EQ(parseDbfLayout(std::string_view(bytes).substr(0, 100), bytes.size(), "t.dbf", layout)
                  .number,
              kErrInputPastEnd);
}

}  // namespace
}  // namespace bx::test
