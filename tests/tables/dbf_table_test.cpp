// The table access layer: round trips of character and numeric fields, navigation, find
// first, new rows, UTF-8 cuts, error numbers, and rows that survive a killed process.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "support/test_support.h"
#include "tables/dbf_table.h"
#include "tables/table_test_helpers.h"

namespace bx::test {
namespace {

namespace fs = std::filesystem;

// A small table: a 6-byte key, a 5-byte text and a numeric field of width 7 with 2 decimals.
const std::vector<DbfFieldDef> kFields = {
    {"KEY", 'C', 6, 0}, {"NOTE", 'C', 5, 0}, {"AMOUNT", 'N', 7, 2}};

fs::path makeTable(const fs::path& folder, const std::string& name,
                   const std::vector<std::vector<std::string>>& rows) {
    const fs::path path = folder / name;
    const TableError e = DbfTable::create(path.string(), kFields, rows);
    EXPECT_FALSE(e) << e.description;
    return path;
}

std::vector<std::string> column(DbfTable& t, std::string_view field) {
    std::vector<std::string> values;
    for (TableError e = t.moveFirst(); !e && !t.eof(); e = t.moveNext()) {
        values.push_back(t.fieldText(field));
    }
    return values;
}

TEST(DbfTableRoundTrip, CharacterAndNumericFieldsComeBackAsWritten) {
    const fs::path dir = freshScratch("roundtrip");
    makeTable(dir, "t.dbf", {});
    {
        DbfTable t;
        ASSERT_FALSE(t.open(dir.string(), "t.dbf"));
        EXPECT_TRUE(t.eof());
        ASSERT_FALSE(t.addNew());
        ASSERT_FALSE(t.writeField("KEY", "a b"));
        ASSERT_FALSE(t.writeField("NOTE", " lead"));  // a leading blank is kept
        ASSERT_FALSE(t.writeField("AMOUNT", "12.5"));
        ASSERT_FALSE(t.store());
        ASSERT_FALSE(t.addNew());
        ASSERT_FALSE(t.writeField("key", "x"));  // field names ignore letter case
        ASSERT_FALSE(t.store());
    }
    DbfTable t;
    ASSERT_FALSE(t.open(dir.string(), "t", DbfOpenMode::ReadOnly));  // ".dbf" added
    EXPECT_EQ(t.recordCount(), 2);
    ASSERT_EQ(t.fields().size(), 3U);
    EXPECT_EQ(t.fields()[2].decimals, 2);
    EXPECT_EQ(t.rowPosition(), 0);
    EXPECT_EQ(t.fieldText("KEY"), "a b");
    EXPECT_EQ(t.fieldText("NOTE"), " lead");
    EXPECT_EQ(t.fieldText("AMOUNT"), "12.5");  // stored right-aligned, read without blanks
    ASSERT_FALSE(t.moveNext());
    EXPECT_EQ(t.rowPosition(), 1);
    EXPECT_EQ(t.fieldText("KEY"), "x");
    EXPECT_EQ(t.fieldText("NOTE"), "");  // a field never set reads empty
    ASSERT_FALSE(t.moveNext());
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(t.rowPosition(), -1);
    EXPECT_EQ(t.moveNext().number, kErrNoCurrentRecord);
    std::string text;
    EXPECT_EQ(t.readField("KEY", text).number, kErrNoCurrentRecord);
}

TEST(DbfTableRoundTrip, EditingAnExistingRowRewritesOnlyThatRow) {
    const fs::path dir = freshScratch("edit");
    makeTable(dir, "t.dbf", {{"r1"}, {"r2"}, {"r3"}});
    {
        DbfTable t;
        ASSERT_FALSE(t.open(dir.string(), "t.dbf"));
        ASSERT_FALSE(t.moveNext());
        ASSERT_FALSE(t.writeField("NOTE", "two"));
        ASSERT_FALSE(t.store());
        EXPECT_EQ(t.rowPosition(), 1);
        ASSERT_FALSE(t.moveNext());
        ASSERT_FALSE(t.writeField("NOTE", "lost"));  // not stored: dropped by the move
        ASSERT_FALSE(t.moveFirst());
    }
    DbfTable t;
    ASSERT_FALSE(t.open(dir.string(), "t.dbf", DbfOpenMode::ReadOnly));
    EXPECT_EQ(column(t, "KEY"), (std::vector<std::string>{"r1", "r2", "r3"}));
    EXPECT_EQ(column(t, "NOTE"), (std::vector<std::string>{"", "two", ""}));
}

TEST(DbfTableRoundTrip, NewRowNotStoredIsDroppedAndTheCurrentRowStays) {
    const fs::path dir = freshScratch("dropnew");
    makeTable(dir, "t.dbf", {{"r1"}, {"r2"}});
    DbfTable t;
    ASSERT_FALSE(t.open(dir.string(), "t.dbf"));
    ASSERT_FALSE(t.addNew());
    EXPECT_EQ(t.rowPosition(), 2);  // the number it would get
    ASSERT_FALSE(t.writeField("KEY", "r3"));
    ASSERT_FALSE(t.addNew());    // drops the first new row
    ASSERT_FALSE(t.moveNext());  // drops the second; moves on from row 0
    EXPECT_EQ(t.fieldText("KEY"), "r2");
    t.close();
    ASSERT_FALSE(t.open(dir.string(), "t.dbf"));
    EXPECT_EQ(t.recordCount(), 2);
}

TEST(DbfTableFind, FirstMatchInFileOrderWithTrailingBlanksIgnored) {
    const fs::path dir = freshScratch("find");
    makeTable(dir, "t.dbf", {{"3,3", "a", "1"}, {"10,2", "b", "2"}, {"3,3", "c", "3"}});
    DbfTable t;
    ASSERT_FALSE(t.open(dir.string(), "t.dbf", DbfOpenMode::ReadOnly));
    ASSERT_FALSE(t.findFirst("KEY", "3,3  "));
    EXPECT_FALSE(t.noMatch());
    EXPECT_EQ(t.fieldText("NOTE"), "a");
    ASSERT_FALSE(t.findFirst("KEY", "10,2"));
    EXPECT_EQ(t.rowPosition(), 1);
    // No match: noMatch() and the current row stays where it was.
    ASSERT_FALSE(t.findFirst("KEY", "3"));
    EXPECT_TRUE(t.noMatch());
    EXPECT_EQ(t.fieldText("NOTE"), "b");
    // A numeric field compares without its alignment blanks.
    ASSERT_FALSE(t.findFirst("AMOUNT", "3"));
    EXPECT_EQ(t.fieldText("NOTE"), "c");
    EXPECT_EQ(t.findFirst("NOPE", "x").number, kErrFieldNotFound);
}

TEST(DbfTableFind, RowsMarkedDeletedAreSkipped) {
    const fs::path dir = freshScratch("deleted");
    const fs::path path = makeTable(dir, "t.dbf", {{"r1"}, {"r2"}, {"r3"}});
    // Mark row 2 as deleted: the flag byte of the second record.
    std::string bytes = readFileBytes(path);
    const std::size_t header = 32 + 3 * 32 + 1;
    const std::size_t record = 1 + 6 + 5 + 7;
    bytes[header + record] = '*';
    writeBytes(path, bytes);
    DbfTable t;
    ASSERT_FALSE(t.open(dir.string(), "t.dbf", DbfOpenMode::ReadOnly));
    EXPECT_EQ(column(t, "KEY"), (std::vector<std::string>{"r1", "r3"}));
    ASSERT_FALSE(t.findFirst("KEY", "r2"));
    EXPECT_TRUE(t.noMatch());
}

TEST(DbfTableFields, MissingFieldIs3265AndWritingAReadOnlyTableBadFileMode) {
    const fs::path dir = freshScratch("fields");
    makeTable(dir, "t.dbf", {{"r1"}});
    DbfTable t;
    ASSERT_FALSE(t.open(dir.string(), "t.dbf"));
    EXPECT_FALSE(t.requireFields({"KEY", "note", "AMOUNT"}));
    const TableError e = t.requireFields({"KEY", "SAMPID"});
    EXPECT_EQ(e.number, kErrFieldNotFound);
    EXPECT_NE(e.description.find("SAMPID"), std::string::npos);
    std::string text;
    EXPECT_EQ(t.readField("SAMPID", text).number, kErrFieldNotFound);
    EXPECT_EQ(t.writeField("SAMPID", "x").number, kErrFieldNotFound);
    EXPECT_EQ(t.fieldIndex("amount"), 2);
    EXPECT_EQ(t.fieldIndex("AMOUNTS"), -1);
    t.close();
    ASSERT_FALSE(t.open(dir.string(), "t.dbf", DbfOpenMode::ReadOnly));
    EXPECT_EQ(t.writeField("KEY", "x").number, kErrBadFileMode);
    EXPECT_EQ(t.addNew().number, kErrBadFileMode);
    EXPECT_EQ(t.store().number, kErrBadFileMode);
}

TEST(DbfTableUtf8, PrefixNeverEndsInsideACharacter) {
    // "é" is 2 bytes (C3 A9), "€" 3 bytes (E2 82 AC), "𝄞" 4 bytes (F0 9D 84 9E); the last
    // row is not UTF-8 (continuation bytes only) and is cut where the width says.
    const struct {
        std::string_view text;
        std::size_t width;
        std::string_view prefix;
    } kCases[] = {
        {"abcd\xC3\xA9", 5, "abcd"},
        {"abcd\xC3\xA9", 6, "abcd\xC3\xA9"},
        {"ab\xE2\x82\xAC\xE2\x82\xAC", 5, "ab\xE2\x82\xAC"},
        {"ab\xE2\x82\xAC\xE2\x82\xAC", 7, "ab\xE2\x82\xAC"},
        {"a\xF0\x9D\x84\x9E", 4, "a"},
        {"\xF0\x9D\x84\x9E", 3, ""},
        {"\x80\x80\x80\x80\x80\x80", 5, "\x80\x80\x80\x80\x80"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(utf8Prefix(c.text, c.width), c.prefix) << c.text << " in " << c.width;
    }
}

TEST(DbfTableUtf8, TooLongTextIsCutAtACharacterAndReported) {
    const fs::path dir = freshScratch("cut");
    makeTable(dir, "t.dbf", {{"r1"}});
    std::vector<FieldCut> cuts;
    {
        DbfTable t;
        t.setCutHandler([&cuts](const FieldCut& c) { cuts.push_back(c); });
        ASSERT_FALSE(t.open(dir.string(), "t.dbf"));
        ASSERT_FALSE(t.writeField("NOTE", "caf\xC3\xA9!"));  // 6 bytes into 5
        ASSERT_FALSE(t.store());
        ASSERT_FALSE(t.addNew());
        ASSERT_FALSE(t.writeField("NOTE", "\xC3\xA9t\xC3\xA9"));  // exactly 5 bytes: kept
        ASSERT_FALSE(t.writeField("AMOUNT", "12345678"));         // 8 digits into 7
        ASSERT_FALSE(t.store());
    }
    ASSERT_EQ(cuts.size(), 2U);
    EXPECT_EQ(cuts[0].field, "NOTE");
    EXPECT_EQ(cuts[0].row, 1);
    EXPECT_EQ(cuts[0].givenBytes, 6U);
    EXPECT_EQ(cuts[0].keptBytes, 5U);  // "café" is exactly 5 bytes
    EXPECT_EQ(cuts[1].field, "AMOUNT");
    EXPECT_EQ(cuts[1].row, 2);
    EXPECT_EQ(describeCut(cuts[0]),
              "     WARNING - Text too long for field NOTE in row 1: 5 of 6 bytes kept.");

    DbfTable t;
    ASSERT_FALSE(t.open(dir.string(), "t.dbf", DbfOpenMode::ReadOnly));
    EXPECT_EQ(column(t, "NOTE"), (std::vector<std::string>{"caf\xC3\xA9", "\xC3\xA9t\xC3\xA9"}));
}

TEST(DbfTableOpen, FileNamesMatchWithoutRegardToLetterCase) {
    const fs::path dir = freshScratch("case");
    makeTable(dir, "Mixed.dbf", {{"r1"}});
    fs::rename(dir / "Mixed.dbf", dir / "MIXED.Dbf");
    DbfTable t;
    ASSERT_FALSE(t.open(dir.string(), "mixed.dbf"));
    EXPECT_EQ(fs::path(t.path()).filename(), "MIXED.Dbf");
    EXPECT_EQ(t.fieldText("KEY"), "r1");
    ASSERT_FALSE(t.addNew());
    ASSERT_FALSE(t.writeField("KEY", "r2"));
    ASSERT_FALSE(t.store());
    t.close();
    ASSERT_FALSE(t.open(dir.string(), "MIXED"));
    EXPECT_EQ(column(t, "KEY"), (std::vector<std::string>{"r1", "r2"}));
}

// A file held open by an office suite (its lock file) opens for reading only.
TEST(DbfTableOpen, MissingLockedAndBadNamesGiveTheirNumbers) {
    const fs::path dir = freshScratch("missing");
    DbfTable t;
    EXPECT_EQ(t.open(dir.string(), "none.dbf").number, kErrFileNotFound);
    EXPECT_EQ(t.open((dir / "no folder").string(), "none.dbf").number, kErrPathNotFound);
    EXPECT_EQ(t.open(dir.string(), "").number, kErrBadFileName);
    EXPECT_EQ(t.open(dir.string(), "../x.dbf").number, kErrBadFileName);
    fs::create_directory(dir / "folder.dbf");
    EXPECT_EQ(t.open(dir.string(), "folder.dbf").number, kErrPathFileAccess);
    EXPECT_FALSE(t.isOpen());
    makeTable(dir, "t.dbf", {{"r1"}});
    writeBytes(dir / ".~lock.t.dbf#", "someone,host,1234;");
    EXPECT_EQ(t.open(dir.string(), "t.dbf").number, kErrPermissionDenied);
    EXPECT_FALSE(t.open(dir.string(), "t.dbf", DbfOpenMode::ReadOnly));
}

TEST(DbfTableOpen, ReadOnlyFileOrFolderIsPermissionDenied) {
    if (runningAsRoot()) {
        GTEST_SKIP() << "permission checks do not fail for root";
    }
    const fs::path dir = freshScratch("perm");
    const fs::path path = makeTable(dir, "t.dbf", {{"r1"}});
    fs::permissions(path, fs::perms::owner_read);
    DbfTable t;
    EXPECT_EQ(t.open(dir.string(), "t.dbf").number, kErrPermissionDenied);
    EXPECT_FALSE(t.open(dir.string(), "t.dbf", DbfOpenMode::ReadOnly));
    t.close();
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    const TableError e = DbfTable::create((dir / "new.dbf").string(), kFields);
    fs::permissions(dir, fs::perms::owner_all);
    EXPECT_EQ(e.number, kErrPermissionDenied);
}

TEST(DbfTableCreate, RefusesValuesAndFieldsThatDoNotFit) {
    const fs::path dir = freshScratch("create");
    const std::string path = (dir / "t.dbf").string();
    EXPECT_EQ(DbfTable::create(path, kFields, {{"toolongkey"}}).number, kErrBadRecordLength);
    EXPECT_FALSE(fs::exists(path));  // nothing written on failure
    EXPECT_EQ(DbfTable::create(path, {{"ELEVENCHARS", 'C', 5, 0}}).number, kErrBadRecordLength);
    EXPECT_EQ(DbfTable::create(path, {{"WIDE", 'C', 255, 0}}).number, kErrBadRecordLength);
    EXPECT_EQ(DbfTable::create(path, {}).number, kErrBadRecordLength);
    // dBASE III's record limit of 4000 bytes.
    std::vector<DbfFieldDef> many;
    for (int i = 0; i < 16; ++i) {
        many.push_back({"F" + std::to_string(i), 'C', 254, 0});
    }
    EXPECT_EQ(DbfTable::create(path, many).number, kErrBadRecordLength);
    EXPECT_EQ(DbfTable::create((dir / "t.txt").string(), kFields).number, kErrBadFileName);
    EXPECT_EQ(DbfTable::create((dir / "none" / "t.dbf").string(), kFields).number,
              kErrPathNotFound);
    // No temporary files are left behind.
    EXPECT_TRUE(fs::is_empty(dir));
}

TEST(DbfTableCreate, ReplacesAnExistingFileWhole) {
    const fs::path dir = freshScratch("replace");
    makeTable(dir, "t.dbf", {{"old1"}, {"old2"}, {"old3"}});
    makeTable(dir, "t.dbf", {{"new"}});
    DbfTable t;
    ASSERT_FALSE(t.open(dir.string(), "t.dbf", DbfOpenMode::ReadOnly));
    EXPECT_EQ(column(t, "KEY"), (std::vector<std::string>{"new"}));
    // Header 32 + 3 descriptors + terminator, one 19-byte record, the end-of-file mark.
    EXPECT_EQ(fs::file_size(dir / "t.dbf"), 32U + 96U + 1U + 19U + 1U);
}

// A store is on disk when it returns: a process killed right afterwards (SIGKILL, so no
// destructor, no stdio flush at exit) loses nothing.
TEST(DbfTableDurability, RowsStoredBeforeAKillSurvive) {
    const fs::path dir = freshScratch("kill");
    makeTable(dir, "t.dbf", {});
    ASSERT_TRUE(runThenKill([&dir] {
        DbfTable t;
        bool ok = !t.open(dir.string(), "t.dbf");
        for (int i = 1; ok && i <= 3; ++i) {
            ok = !t.addNew() && !t.writeField("KEY", "row" + std::to_string(i)) &&
                 !t.writeField("AMOUNT", std::to_string(i) + ".25") && !t.store();
        }
        // A fourth row is started but not stored: it must not appear.
        return ok && !t.addNew() && !t.writeField("KEY", "row4");
    }));

    DbfTable t;
    ASSERT_FALSE(t.open(dir.string(), "t.dbf", DbfOpenMode::ReadOnly));
    EXPECT_EQ(t.recordCount(), 3);
    EXPECT_EQ(column(t, "KEY"), (std::vector<std::string>{"row1", "row2", "row3"}));
    EXPECT_EQ(column(t, "AMOUNT"), (std::vector<std::string>{"1.25", "2.25", "3.25"}));
}

// A full disk (simulated by a file-size limit in a child process: writes beyond it fail with
// EFBIG) fails the store with 61 and leaves every row stored before readable.
TEST(DbfTableDurability, DiskFullFailsTheStoreAndKeepsTheEarlierRows) {
    const fs::path dir = freshScratch("diskfull");
    const fs::path path = makeTable(dir, "t.dbf", {{"r1"}});
    const auto sizeBefore = fs::file_size(path);
    int result[2];
    ASSERT_EQ(pipe(result), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(result[0]);
        signal(SIGXFSZ, SIG_IGN);
        // Room for two more rows of 19 bytes, not three.
        const rlim_t limit = static_cast<rlim_t>(sizeBefore) + 2 * 19 + 10;
        const struct rlimit fsize { limit, limit };
        setrlimit(RLIMIT_FSIZE, &fsize);
        DbfTable t;
        int stored = 0;
        int number = t.open(dir.string(), "t.dbf").number;
        while (number == 0 && stored < 10) {
            number = t.addNew().number;
            if (number == 0) {
                number = t.writeField("KEY", "n" + std::to_string(stored + 1)).number;
            }
            if (number == 0) {
                number = t.store().number;
            }
            if (number == 0) {
                ++stored;
            }
        }
        const bool stillOpen = t.isOpen();
        t.close();
        const int report[3] = {number, stored, stillOpen ? 1 : 0};
        (void)!write(result[1], report, sizeof report);
        _exit(0);
    }
    close(result[1]);
    int report[3] = {0, 0, 0};
    ASSERT_EQ(read(result[0], report, sizeof report), static_cast<ssize_t>(sizeof report));
    close(result[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(report[0], kErrDiskFull);
    EXPECT_EQ(report[1], 2);
    EXPECT_EQ(report[2], 1);  // the table stays usable after the failed store

    DbfTable t;
    ASSERT_FALSE(t.open(dir.string(), "t.dbf", DbfOpenMode::ReadOnly));
    EXPECT_EQ(column(t, "KEY"), (std::vector<std::string>{"r1", "n1", "n2"}));
}

// Files this layer writes are read correctly by an independent dBASE reader.
TEST(DbfTableInterop, DbfreadReadsWhatWasStored) {
    const fs::path dir = freshScratch("interop");
    if (!pythonHas(dir, "dbfread")) {
        GTEST_SKIP() << "python3-dbfread not installed";
    }
    makeTable(dir, "t.dbf", {});
    {
        DbfTable t;
        ASSERT_FALSE(t.open(dir.string(), "t.dbf"));
        ASSERT_FALSE(t.addNew());
        ASSERT_FALSE(t.writeField("KEY", "\xC3\xA9t\xC3\xA9"));
        ASSERT_FALSE(t.writeField("AMOUNT", "-3.5"));
        ASSERT_FALSE(t.store());
    }
    const fs::path script = dir / "read.py";
    writeBytes(script,
               "import sys\n"
               "from dbfread import DBF\n"
               "t = DBF(sys.argv[1], encoding='utf-8')\n"
               "for r in t:\n"
               "    print(repr(r['KEY']), repr(r['NOTE']), r['AMOUNT'])\n");
    std::string output;
    ASSERT_EQ(runPython(script, "'" + (dir / "t.dbf").string() + "'", output), 0) << output;
    EXPECT_EQ(output, "'\xC3\xA9t\xC3\xA9' '' -3.5\n");
}

}  // namespace
}  // namespace bx::test
