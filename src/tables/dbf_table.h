// SPDX-License-Identifier: MIT
#pragma once
// DbfTable: one open dBASE III table with a current row, the operations the program's table
// controls offer (open by folder and file name, move first/next, find first, add new, store,
// row position, fields read and written by name as text), and the creation of new tables.
// The one place that talks to shapelib.
//
// Text is UTF-8. A value longer than its field is cut at a character boundary and the cut is
// handed to the cut handler, so that the caller can report it. Every store is on disk when it
// returns: the row, the header's record count, flushed and synced (unless the table is told
// otherwise, for a file that no one else sees yet).
//
// DbfAppender adds rows to the end of a table in groups, for the logs: a group's rows reach the
// disk before the header counts them.

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tables/dbf_layout.h"
#include "tables/table_error.h"

namespace bx {

class FileLock;

enum class DbfOpenMode { ReadOnly, ReadWrite };

// A field of a table to be created: character fields hold text, numeric fields numbers
// written right-aligned with `decimals` places.
struct DbfFieldDef {
    std::string name;  // at most 10 characters
    char type = 'C';   // 'C' or 'N'
    int width = 1;     // 1..254
    int decimals = 0;
};

// A value that did not fit its field.
struct FieldCut {
    std::string field;
    long row = 0;                // 1 for the first row of the table
    std::size_t givenBytes = 0;  // the value's length in bytes
    std::size_t keptBytes = 0;   // what the field kept
};

// The status line that reports a cut, e.g.
// "     WARNING - Text too long for field PROJECT in row 1: 254 of 300 bytes kept.".
std::string describeCut(const FieldCut& cut);

// The longest prefix of `text` that has at most `maxBytes` bytes and does not end inside a
// UTF-8 character.
std::string_view utf8Prefix(std::string_view text, std::size_t maxBytes);

class DbfTable {
  public:
    DbfTable();
    ~DbfTable();
    DbfTable(DbfTable&& other) noexcept;
    DbfTable& operator=(DbfTable&& other) noexcept;
    DbfTable(const DbfTable&) = delete;
    DbfTable& operator=(const DbfTable&) = delete;

    // Opens `fileName` (".dbf" added when missing; letter case of the name does not matter
    // when no file of exactly that name exists) in `folder`. The file is checked before use;
    // the current row becomes the first row. Opening for writing fails with 70 while another
    // program holds the file open (tables/file_lock.h).
    TableError open(const std::string& folder, const std::string& fileName,
                    DbfOpenMode mode = DbfOpenMode::ReadWrite);
    // The same for a file that this program holds with `lock` (it is the one writer).
    TableError open(const std::string& folder, const std::string& fileName, DbfOpenMode mode,
                    const FileLock& lock);
    // The path open() would open for `fileName` in `folder` (".dbf" added when missing, a
    // name differing in letter case found); empty when there is no such file.
    static std::string resolvePath(const std::string& folder, const std::string& fileName);

    // Releases the file; a new row that was not stored is dropped.
    void close();
    bool isOpen() const;
    const std::string& path() const { return path_; }

    const std::vector<DbfField>& fields() const { return layout_.fields; }
    // Index of a field by name (letter case ignored), -1 when the table has none.
    int fieldIndex(std::string_view name) const;
    // 3265 naming the first of `names` that the table lacks.
    TableError requireFields(const std::vector<std::string_view>& names) const;
    // Rows in the file (rows marked as deleted included).
    long recordCount() const;

    // Navigation over the rows in file order; rows marked as deleted are skipped.
    TableError moveFirst();
    TableError moveNext();
    bool eof() const;
    // Number of the current row counted from 0 in file order (a new row: the number it will
    // get); -1 when there is none.
    long rowPosition() const { return pendingNew_ ? records_ : current_; }

    // Makes the first row whose `field` equals `key` the current row. Both sides are compared
    // as text with trailing blanks ignored. When none matches, noMatch() is true and the
    // current row is left as it was.
    TableError findFirst(std::string_view field, std::string_view key);
    bool noMatch() const { return noMatch_; }

    // The text of a field of the current (or new) row: character fields without trailing
    // blanks, numeric fields without surrounding blanks.
    TableError readField(std::string_view name, std::string& text) const;
    // The same, or the empty text when there is no such field or no current row.
    std::string fieldText(std::string_view name) const;

    // Sets a field of the current (or new) row in memory; store() writes it. A text longer
    // than the field is cut at a UTF-8 character boundary and reported to the cut handler.
    TableError writeField(std::string_view name, std::string_view text);
    // Starts a new, blank row after the last one; an earlier new row not yet stored is dropped.
    TableError addNew();
    // Writes the new row (which then becomes the current row) or the changes of the current
    // row, then the header, and forces both to disk. The row goes first: a store that fails
    // for want of space (61) leaves the table open and as it was. Changes not stored are
    // dropped when the current row moves.
    TableError store();

    void setCutHandler(std::function<void(const FieldCut&)> handler) {
        onCut_ = std::move(handler);
    }

    // For a file that no other program sees yet (a temporary file that will replace another
    // when complete): stores write without forcing anything to disk; sync() does that once.
    void skipSyncOnStore() { syncEachStore_ = false; }
    // Forces everything stored so far to disk.
    TableError sync();

    // Creates the table `path` (which must end in ".dbf") with `fields` and `rows` (texts in
    // field order), replacing any file there only once the new one is complete. A value that
    // does not fit its field is an error.
    static TableError create(const std::string& path, const std::vector<DbfFieldDef>& fields,
                             const std::vector<std::vector<std::string>>& rows = {});

  private:
    struct Handle;

    TableError openChecked(const std::string& folder, const std::string& fileName, DbfOpenMode mode,
                           const FileLock* lock);
    TableError loadRow(long index);
    TableError seekVisible(long from);
    std::string_view rawField(int index) const;

    std::unique_ptr<Handle> handle_;
    std::string path_;
    DbfOpenMode mode_ = DbfOpenMode::ReadOnly;
    DbfLayout layout_;
    long records_ = 0;   // rows in the file
    long current_ = -1;  // index of the current row in the file; -1 none
    bool pendingNew_ = false;
    bool dirty_ = false;
    bool noMatch_ = false;
    bool syncEachStore_ = true;
    std::string row_;  // the raw bytes of the current or new row
    std::function<void(const FieldCut&)> onCut_;
};

// Rows added to the end of a table in groups. Each row is laid out in memory; commit() writes
// the group after the table's last counted row, forces it to disk, and only then advances the
// header's record count (and date) and forces that. A reader, and the table after a crash or a
// failed write, sees every committed group and nothing of one that was not.
class DbfAppender {
  public:
    // Opens the table at `path`, which `lock` holds: this program is its one writer. The lock
    // must stay held while the appender is open. Rows past the header's count (left by a writer
    // that was killed or failed between the rows and the header) are cut off the file;
    // removedRows() says how many.
    TableError open(const std::string& path, const FileLock& lock);
    // The whole rows the last open() cut off the file.
    long removedRows() const { return removed_; }
    void close();
    bool isOpen() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }
    const std::vector<DbfField>& fields() const { return layout_.fields; }
    // Index of a field by name (letter case ignored), -1 when the table has none.
    int fieldIndex(std::string_view name) const;

    // Starts a new blank row at the end of the group.
    void addRow();
    // Sets a field of the row being added, cut and reported as DbfTable::writeField does.
    TableError setField(int index, std::string_view text);
    TableError setField(std::string_view name, std::string_view text);
    // Rows added since the last commit.
    long pendingRows() const { return pending_; }
    // Rows the header counts.
    long committedRows() const { return committed_; }
    // Writes the pending rows and forces them to disk, then the header that counts them. On
    // failure the pending rows are dropped and the file is cut back to the rows of the last
    // commit, so that nothing past the header's count remains.
    TableError commit();
    // Takes back committed rows: the header counts `rows` (fewer than committedRows()), then
    // the file is cut after them.
    TableError truncateTo(long rows);
    // Drops the pending rows.
    void discard();
    // Drops the pending rows after the first `kept` of them.
    void dropRowsAfter(long kept);

    void setCutHandler(std::function<void(const FieldCut&)> handler) {
        onCut_ = std::move(handler);
    }

  private:
    // Where the committed rows end.
    off_t rowsEnd() const;
    // Cuts the file after the committed rows and puts the end-of-file mark there.
    TableError cutAfterRows();

    int fd_ = -1;  // the lock's descriptor, not owned
    std::string path_;
    DbfLayout layout_;
    long committed_ = 0;
    long pending_ = 0;
    long removed_ = 0;
    std::string group_;  // the pending rows' bytes
    std::function<void(const FieldCut&)> onCut_;
};

}  // namespace bx
