// SPDX-License-Identifier: MIT
// The table access layer: round trips of character and numeric fields, editing and new rows,
// deleted rows, UTF-8 cuts, error numbers, and rows that survive a killed process or a full
// disk. Expected values are the texts written (by hand) and the file error numbers.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "support/test_support.h"
#include "tables/dbf_table.h"
#include "tables/file_lock.h"
#include "tables/table_test_helpers.h"

namespace bx::test {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

// A small table: a 6-byte key, a 5-byte text and a numeric field of width 7 with 2 decimals
// (records of 1 + 6 + 5 + 7 = 19 bytes).
const std::vector<DbfFieldDef> kFields = {
    {"KEY", 'C', 6, 0}, {"NOTE", 'C', 5, 0}, {"AMOUNT", 'N', 7, 2}};

fs::path makeTable(const fs::path& folder, const std::string& name,
                   const std::vector<std::vector<std::string>>& rows) {
    const fs::path path = folder / name;
    const TableError e = DbfTable::create(path.string(), kFields, rows);
    EXPECT_FALSE(e) << e.description;
    return path;
}

Texts column(DbfTable& t, std::string_view field) {
    Texts values;
    for (TableError e = t.moveFirst(); !e && !t.eof(); e = t.moveNext()) {
        values.push_back(t.fieldText(field));
    }
    return values;
}

Texts columnOf(const fs::path& dir, std::string_view field) {
    DbfTable t;
    EXPECT_FALSE(t.open(dir.string(), "t.dbf", DbfOpenMode::ReadOnly));
    return column(t, field);
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
    EXPECT_EQ(t.fieldText("NOTE"), " lead");
    EXPECT_EQ(t.fieldText("AMOUNT"), "12.5");  // stored right-aligned, read without blanks
    EXPECT_EQ(column(t, "KEY"), (Texts{"a b", "x"}));
    EXPECT_EQ(column(t, "NOTE"), (Texts{" lead", ""}));  // a field never set reads empty
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(t.moveNext().number, kErrNoCurrentRecord);
    std::string text;
    EXPECT_EQ(t.readField("KEY", text).number, kErrNoCurrentRecord);
}

// A stored edit rewrites its row only; a value not stored is dropped by the next move, a new
// row not stored by the next addNew or move (which moves on from the row before).
TEST(DbfTableRoundTrip, EditsAndNewRowsCountOnlyWhenStored) {
    const fs::path dir = freshScratch("edit");
    makeTable(dir, "t.dbf", {{"r1"}, {"r2"}, {"r3"}});
    {
        DbfTable t;
        ASSERT_FALSE(t.open(dir.string(), "t.dbf"));
        ASSERT_FALSE(t.moveNext());
        ASSERT_FALSE(t.writeField("NOTE", "two"));
        ASSERT_FALSE(t.store());
        ASSERT_FALSE(t.moveNext());
        ASSERT_FALSE(t.writeField("NOTE", "lost"));
        ASSERT_FALSE(t.moveFirst());
        ASSERT_FALSE(t.addNew());
        ASSERT_FALSE(t.writeField("KEY", "r4"));
        ASSERT_FALSE(t.addNew());
        ASSERT_FALSE(t.moveNext());
        EXPECT_EQ(t.fieldText("KEY"), "r2");
    }
    EXPECT_EQ(columnOf(dir, "KEY"), (Texts{"r1", "r2", "r3"}));
    EXPECT_EQ(columnOf(dir, "NOTE"), (Texts{"", "two", ""}));
}

TEST(DbfTableRoundTrip, RowsMarkedDeletedAreSkipped) {
    const fs::path dir = freshScratch("deleted");
    const fs::path path = makeTable(dir, "t.dbf", {{"r1"}, {"r2"}, {"r3"}});
    // The flag byte of the second record: after the header (32 + 3 * 32 + 1) and one record.
    std::string bytes = readFileBytes(path);
    bytes[32 + 3 * 32 + 1 + 19] = '*';
    writeBytes(path, bytes);
    EXPECT_EQ(columnOf(dir, "KEY"), (Texts{"r1", "r3"}));
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
    t.close();
    ASSERT_FALSE(t.open(dir.string(), "t.dbf", DbfOpenMode::ReadOnly));
    EXPECT_EQ(t.writeField("KEY", "x").number, kErrBadFileMode);
    EXPECT_EQ(t.addNew().number, kErrBadFileMode);
    EXPECT_EQ(t.store().number, kErrBadFileMode);
}

// "é" is 2 bytes (C3 A9), "€" 3 bytes (E2 82 AC), "𝄞" 4 bytes (F0 9D 84 9E); the last row is
// not UTF-8 (continuation bytes only) and is cut where the width says.
TEST(DbfTableUtf8, PrefixNeverEndsInsideACharacter) {
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

// Overwrites bytes of a file at `offset`.
void patchBytes(const fs::path& path, std::streamoff offset, std::string_view bytes) {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(offset);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The first row's KEY field: after the header (32 bytes, 3 fields of 32, the terminator) and
// the row's deletion mark.
constexpr std::streamoff kFirstKey = 32 + 3 * 32 + 1 + 1;

TEST(DbfTableText, TooLongTextIsCutAndReported) {
    const fs::path dir = freshScratch("cut");
    makeTable(dir, "t.dbf", {{"r1"}});
    std::vector<FieldCut> cuts;
    {
        DbfTable t;
        t.setCutHandler([&cuts](const FieldCut& c) { cuts.push_back(c); });
        ASSERT_FALSE(t.open(dir.string(), "t.dbf"));
        ASSERT_FALSE(t.writeField("NOTE", "caf\xC3\xA9s!"));  // 6 characters, a byte each, into 5
        ASSERT_FALSE(t.store());
        ASSERT_FALSE(t.addNew());
        ASSERT_FALSE(t.writeField("NOTE", "\xC3\xA9t\xC3\xA9s"));  // 5 characters: kept
        ASSERT_FALSE(t.writeField("AMOUNT", "12345678"));          // 8 digits into 7
        ASSERT_FALSE(t.store());
    }
    ASSERT_EQ(cuts.size(), 2U);
    EXPECT_EQ(cuts[1].field, "AMOUNT");
    EXPECT_EQ(cuts[1].row, 2);
    EXPECT_EQ(describeCut(cuts[0]),
              "     WARNING - Text too long for field NOTE in row 1: 5 of 6 bytes kept.");
    EXPECT_EQ(columnOf(dir, "NOTE"), (Texts{"caf\xC3\xA9s", "\xC3\xA9t\xC3\xA9s"}));
}

// Text is kept in Windows-1252 under its language driver mark (byte 29 = 3), one byte a
// character; a character the code page lacks refuses the value and names it.
TEST(DbfTableText, WindowsAnsiCodePageRoundTrip) {
    const fs::path dir = freshScratch("codepage");
    makeTable(dir, "t.dbf", {{"r1"}});
    {
        DbfTable t;
        ASSERT_FALSE(t.open(dir.string(), "t.dbf"));
        ASSERT_FALSE(t.writeField("KEY", "\xC3\x89t\xC3\xA9 \xC3\x9F"));  // "Été ß"
        const TableError refused = t.writeField("NOTE", "\xCE\xA9 \xE2\x82\xAC \xE4\xB8\xAD");
        EXPECT_EQ(refused.number, kErrInvalidArgument);
        EXPECT_NE(refused.cause.find("\xCE\xA9, \xE4\xB8\xAD"), std::string::npos) << refused.cause;
        ASSERT_FALSE(t.store());
    }
    const std::string bytes = readFileBytes(dir / "t.dbf");
    EXPECT_EQ(bytes[29], '\x03');
    EXPECT_EQ(bytes.substr(kFirstKey, 6), "\xC9t\xE9 \xDF ");
    EXPECT_EQ(columnOf(dir, "KEY"), (Texts{"\xC3\x89t\xC3\xA9 \xC3\x9F"}));
    EXPECT_EQ(columnOf(dir, "NOTE"), (Texts{""}));
    DbfTable t;
    ASSERT_FALSE(t.open(dir.string(), "t.dbf", DbfOpenMode::ReadOnly));
    ASSERT_FALSE(t.findFirst("KEY", "\xC3\x89t\xC3\xA9 \xC3\x9F"));
    EXPECT_FALSE(t.noMatch());
}

// Files without the mark: an earlier version's UTF-8 reads as UTF-8 and stays UTF-8 when
// written to; the Windows program's ANSI bytes (not UTF-8) read as Windows-1252.
TEST(DbfTableText, UnmarkedFilesOfEarlierVersions) {
    const fs::path dir = freshScratch("unmarked");
    const fs::path path = makeTable(dir, "t.dbf", {{"r1"}, {"r2"}});
    patchBytes(path, 29, std::string(1, '\0'));
    patchBytes(path, kFirstKey, "\xC3\x89t\xC3\xA9");          // UTF-8 "Été"
    patchBytes(path, kFirstKey + 1 + 6 + 5 + 7, "\xC9t\xE9");  // ANSI "Été"
    EXPECT_EQ(columnOf(dir, "KEY"), (Texts{"\xC3\x89t\xC3\xA9", "\xC3\x89t\xC3\xA9"}));
    std::vector<FieldCut> cuts;
    {
        DbfTable t;
        t.setCutHandler([&cuts](const FieldCut& c) { cuts.push_back(c); });
        ASSERT_FALSE(t.open(dir.string(), "t.dbf"));
        ASSERT_FALSE(t.writeField("NOTE", "cafe\xC3\xA9"));  // 6 bytes of UTF-8 into 5
        ASSERT_FALSE(t.store());
    }
    ASSERT_EQ(cuts.size(), 1U);
    EXPECT_EQ(cuts[0].keptBytes, 4U);  // not inside the "é"
    EXPECT_EQ(readFileBytes(path).substr(kFirstKey + 6, 5), "cafe ");
    EXPECT_EQ(readFileBytes(path)[29], '\0');
}

// File names match without regard to letter case; a file held open by an office suite (its
// lock file) opens for reading only.
TEST(DbfTableOpen, NamesAndTheirErrorNumbers) {
    const fs::path dir = freshScratch("open");
    DbfTable t;
    EXPECT_EQ(t.open(dir.string(), "none.dbf").number, kErrFileNotFound);
    EXPECT_EQ(t.open((dir / "no folder").string(), "none.dbf").number, kErrPathNotFound);
    EXPECT_EQ(t.open(dir.string(), "").number, kErrBadFileName);
    EXPECT_EQ(t.open(dir.string(), "../x.dbf").number, kErrBadFileName);
    fs::create_directory(dir / "folder.dbf");
    EXPECT_EQ(t.open(dir.string(), "folder.dbf").number, kErrPathFileAccess);
    EXPECT_FALSE(t.isOpen());

    makeTable(dir, "Mixed.dbf", {{"r1"}});
    fs::rename(dir / "Mixed.dbf", dir / "MIXED.Dbf");
    ASSERT_FALSE(t.open(dir.string(), "mixed.dbf"));
    EXPECT_EQ(fs::path(t.path()).filename(), "MIXED.Dbf");
    ASSERT_FALSE(t.addNew());
    ASSERT_FALSE(t.writeField("KEY", "r2"));
    ASSERT_FALSE(t.store());
    t.close();
    ASSERT_FALSE(t.open(dir.string(), "MIXED"));
    EXPECT_EQ(column(t, "KEY"), (Texts{"r1", "r2"}));
    t.close();

    writeBytes(dir / ".~lock.MIXED.Dbf#", "someone,host,1234;");
    EXPECT_EQ(t.open(dir.string(), "MIXED.Dbf").number, kErrPermissionDenied);
    EXPECT_FALSE(t.open(dir.string(), "MIXED.Dbf", DbfOpenMode::ReadOnly));
}

TEST(DbfTableCreate, RefusesWhatDoesNotFitAndReplacesAnExistingFileWhole) {
    const fs::path dir = freshScratch("create");
    const std::string path = (dir / "t.dbf").string();
    EXPECT_EQ(DbfTable::create(path, kFields, {{"toolongkey"}}).number, kErrBadRecordLength);
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
    // Nothing written on failure, no temporary files left behind.
    EXPECT_TRUE(fs::is_empty(dir));

    makeTable(dir, "t.dbf", {{"old1"}, {"old2"}, {"old3"}});
    makeTable(dir, "t.dbf", {{"new"}});
    EXPECT_EQ(columnOf(dir, "KEY"), (Texts{"new"}));
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
    EXPECT_EQ(columnOf(dir, "KEY"), (Texts{"row1", "row2", "row3"}));
    EXPECT_EQ(columnOf(dir, "AMOUNT"), (Texts{"1.25", "2.25", "3.25"}));
}

// A full disk (simulated by a file-size limit in a child process: writes beyond it fail with
// EFBIG) fails the third store with 61, the table stays usable, and every row stored before
// stays readable.
TEST(DbfTableDurability, DiskFullFailsTheStoreAndKeepsTheEarlierRows) {
    const fs::path dir = freshScratch("diskfull");
    const fs::path path = makeTable(dir, "t.dbf", {{"r1"}});
    const auto sizeBefore = fs::file_size(path);
    EXPECT_TRUE(runThenKill([&] {
        signal(SIGXFSZ, SIG_IGN);
        // Room for two more rows of 19 bytes, not three.
        const rlim_t limit = static_cast<rlim_t>(sizeBefore) + 2 * 19 + 10;
        const struct rlimit fsize { limit, limit };
        setrlimit(RLIMIT_FSIZE, &fsize);
        DbfTable t;
        int stored = 0;
        int number = t.open(dir.string(), "t.dbf").number;
        while (number == 0 && stored < 10) {
            const std::string key = "n" + std::to_string(stored + 1);
            if ((number = t.addNew().number) == 0 &&
                (number = t.writeField("KEY", key).number) == 0 &&
                (number = t.store().number) == 0) {
                ++stored;
            }
        }
        return number == kErrDiskFull && stored == 2 && t.isOpen();
    }));
    EXPECT_EQ(columnOf(dir, "KEY"), (Texts{"r1", "n1", "n2"}));
}

// Nothing stays past the header's count: a group that does not fit (the file-size limit again)
// is cut off the file, and rows a killed writer left there go when the table is next opened for
// appending, counted.
TEST(DbfTableDurability, NoAppendedRowStaysPastTheCount) {
    const fs::path dir = freshScratch("appender");
    const fs::path path = makeTable(dir, "t.dbf", {{"r1"}});
    const auto sizeBefore = fs::file_size(path);
    const auto appender = [&](FileLock& lock, DbfAppender& a) {
        return FileLock::acquire(path.string(), std::chrono::milliseconds(0), lock).number == 0 &&
               a.open(path.string(), lock).number == 0;
    };
    EXPECT_TRUE(runThenKill([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlim_t limit = static_cast<rlim_t>(sizeBefore) + 2 * 19;  // not five rows
        const struct rlimit fsize { limit, limit };
        setrlimit(RLIMIT_FSIZE, &fsize);
        FileLock lock;
        DbfAppender a;
        if (!appender(lock, a)) {
            return false;
        }
        for (int i = 0; i < 5; ++i) {
            a.addRow();
            (void)a.setField("KEY", "n" + std::to_string(i));
        }
        return a.commit().number == kErrDiskFull && a.committedRows() == 1;
    }));
    EXPECT_EQ(fs::file_size(path), sizeBefore);
    std::ofstream(path, std::ios::binary | std::ios::app) << std::string(3 * 19, 'x');
    FileLock lock;
    DbfAppender a;
    ASSERT_TRUE(appender(lock, a));
    EXPECT_EQ(a.removedRows(), 3);
    a.close();
    EXPECT_EQ(fs::file_size(path), sizeBefore);
    EXPECT_EQ(columnOf(dir, "KEY"), (Texts{"r1"}));
}

// Files this layer writes, rows edited in place and rows added, are read correctly by an
// independent dBASE reader (which stops at an end-of-file mark wherever it finds one) as
// dBASE III (version byte 3), its text by the file's own code page mark.
TEST(DbfTableInterop, DbfreadReadsWhatWasStored) {
    const fs::path dir = freshScratch("interop");
    if (!pythonHas(dir, "dbfread")) {
        GTEST_SKIP() << "python3-dbfread not installed";
    }
    makeTable(dir, "t.dbf", {{"r1"}, {"r2"}});
    {
        DbfTable t;
        ASSERT_FALSE(t.open(dir.string(), "t.dbf"));
        ASSERT_FALSE(t.writeField("NOTE", "one"));
        ASSERT_FALSE(t.store());
        ASSERT_FALSE(t.addNew());
        ASSERT_FALSE(t.writeField("KEY", "\xC3\xA9t\xC3\xA9"));
        ASSERT_FALSE(t.writeField("AMOUNT", "-3.5"));
        ASSERT_FALSE(t.store());
    }
    const fs::path script = dir / "read.py";
    writeBytes(script,
               "import sys\n"
               "from dbfread import DBF\n"
               "t = DBF(sys.argv[1])\n"
               "print(t.header.dbversion)\n"
               "for r in t:\n"
               "    print(repr(r['KEY']), repr(r['NOTE']), r['AMOUNT'])\n");
    std::string output;
    ASSERT_EQ(runPython(script, "'" + (dir / "t.dbf").string() + "'", output), 0) << output;
    EXPECT_EQ(output, "3\n'r1' 'one' None\n'r2' '' None\n'\xC3\xA9t\xC3\xA9' '' -3.5\n");
}

}  // namespace
}  // namespace bx::test
