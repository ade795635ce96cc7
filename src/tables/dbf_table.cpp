// SPDX-License-Identifier: MIT
#include "tables/dbf_table.h"

#include <fcntl.h>
#include <shapefil.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>

#include "base/code_page.h"
#include "base/text_format.h"
#include "tables/file_lock.h"
#include "tables/temp_files.h"

namespace bx {
namespace {

namespace fs = std::filesystem;

// dBASE III limits a record to 128 fields and 4000 bytes; tables made here keep to them.
constexpr int kMaxCreatedFields = 128;
constexpr int kMaxCreatedRecordLength = 4000;
constexpr int kMaxFieldWidth = 254;

char foldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldAscii(a[i]) != foldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

bool endsWithDbf(std::string_view name) {
    return name.size() >= 4 && equalIgnoringCase(name.substr(name.size() - 4), ".dbf");
}

std::string_view trimTrailingBlanks(std::string_view text) {
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

bool isNumericType(char type) {
    return type == 'N' || type == 'F';
}

// The file `name` in `folder`: the exact name when it exists, else the first name in sorted
// order that differs only in letter case; empty when there is none.
std::string resolveName(const std::string& folder, const std::string& name) {
    const fs::path exact = fs::path(folder) / name;
    std::error_code ec;
    if (fs::exists(exact, ec)) {
        return exact.string();
    }
    std::string best;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string candidate = it->path().filename().string();
        if (equalIgnoringCase(candidate, name) && (best.empty() || candidate < best)) {
            best = candidate;
        }
    }
    return best.empty() ? std::string() : (fs::path(folder) / best).string();
}

// shapelib file hooks: the library's own stdio functions, with an open that also finds a
// file whose name differs in letter case (the library tries only ".dbf" and ".DBF"), sets
// close-on-exec, and no printing of errors (they come back as results).
SAFile openFoldingCase(const char* filename, const char* access) {
    const std::string mode = std::string(access) + "e";
    FILE* file = std::fopen(filename, mode.c_str());
    if (file == nullptr && errno == ENOENT && mode[0] == 'r') {
        const fs::path p(filename);
        const std::string resolved = resolveName(
            p.has_parent_path() ? p.parent_path().string() : ".", p.filename().string());
        if (!resolved.empty()) {
            file = std::fopen(resolved.c_str(), mode.c_str());
        }
    }
    return reinterpret_cast<SAFile>(file);
}

void ignoreLibraryMessage(const char* /*message*/) {}

SAHooks tableHooks() {
    SAHooks hooks{};
    SASetupDefaultHooks(&hooks);
    hooks.FOpen = openFoldingCase;
    hooks.Error = ignoreLibraryMessage;
    return hooks;
}

FILE* streamOf(DBFHandle dbf) {
    return reinterpret_cast<FILE*>(dbf->fp);
}

// Forces what the library wrote to disk: stdio buffers, then (with `sync`) the file itself.
TableError syncToDisk(DBFHandle dbf, const std::string& path, bool sync = true) {
    FILE* stream = streamOf(dbf);
    errno = 0;
    if (std::fflush(stream) != 0 || std::ferror(stream) != 0) {
        const int err = errno != 0 ? errno : EIO;
        std::clearerr(stream);
        return errorFromErrno(err, path);
    }
    if (sync && ::fsync(fileno(stream)) != 0) {
        return errorFromErrno(errno, path);
    }
    return {};
}

// Writes the bytes of row `index` (and, for a new last row, the end-of-file mark after it)
// through the library's stream, then forces them to disk.
TableError writeRowToDisk(DBFHandle dbf, const std::string& path, const DbfLayout& layout,
                          long index, const std::string& row, bool append, bool sync) {
    constexpr char kEndOfFile = 0x1A;
    FILE* stream = streamOf(dbf);
    const auto offset = static_cast<off_t>(layout.headerLength) +
                        static_cast<off_t>(index) * static_cast<off_t>(layout.recordLength);
    errno = 0;
    bool ok = fseeko(stream, offset, SEEK_SET) == 0 &&
              std::fwrite(row.data(), 1, row.size(), stream) == row.size() &&
              (!append || std::fputc(kEndOfFile, stream) != EOF) && std::fflush(stream) == 0;
    if (!ok || std::ferror(stream) != 0) {
        const int err = errno != 0 ? errno : EIO;
        std::clearerr(stream);
        return errorFromErrno(err, path);
    }
    if (sync && ::fsync(fileno(stream)) != 0) {
        return errorFromErrno(errno, path);
    }
    return {};
}

// Today as a dBASE III header holds it: years since 1900, month, day.
bool today(int& year, int& month, int& day) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) {
        return false;
    }
    year = local.tm_year;
    month = local.tm_mon + 1;
    day = local.tm_mday;
    return true;
}

void stampToday(DBFHandle dbf) {
    int year = 0;
    int month = 0;
    int day = 0;
    if (today(year, month, day)) {
        DBFSetLastModifiedDate(dbf, year, month, day);
    }
}

// Writes all of `bytes` at `offset` of `fd`; false with errno set on failure.
bool writeAllAt(int fd, const char* bytes, std::size_t size, off_t offset) {
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, bytes, size, offset);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
        offset += n;
    }
    return true;
}

// A value refused for characters (`missing`, listed) that Windows-1252 has no byte for.
TableError codePageRefusal(const std::string& path, const std::string& field,
                           const std::string& missing) {
    return makeFileError(
        kErrInvalidArgument, path,
        "field " + field + " cannot hold " + missing + " (the file keeps its text in Windows-1252)",
        path + " (field " + field + ": " + missing + " not in the file's code page Windows-1252)");
}

// The bytes a field keeps of `text` into `kept`: numbers without surrounding blanks; text in
// the table's code page (Windows-1252 for a marked table, UTF-8 for an unmarked one of an
// earlier version); cut to the field at a character boundary, reporting a cut of row `row`.
// A character that the code page has no byte for refuses the value, naming it.
TableError keptValue(const DbfField& f, std::string_view text, bool windows1252, long row,
                     const std::function<void(const FieldCut&)>& onCut, const std::string& path,
                     std::string& kept) {
    const std::string_view value = isNumericType(f.type) ? trimBlanks(text) : text;
    const auto width = static_cast<std::size_t>(f.width);
    if (windows1252) {
        std::string missing;
        if (!utf8ToWindows1252(value, kept, missing)) {
            return codePageRefusal(path, f.name, missing);
        }
    } else {
        kept.assign(value);
    }
    const std::size_t given = kept.size();
    kept.resize(windows1252 ? std::min(given, width) : utf8Prefix(kept, width).size());
    if (kept.size() < given && onCut) {
        onCut(FieldCut{f.name, row, given, kept.size()});
    }
    return {};
}

// The text of a character field's bytes: a marked table's Windows-1252; an unmarked table's
// UTF-8 (earlier versions of this program) or, where the bytes are not UTF-8, Windows-1252
// (the Windows program before the mark).
std::string textOfField(std::string_view bytes, bool windows1252) {
    return windows1252 || !isUtf8(bytes) ? windows1252ToUtf8(bytes) : std::string(bytes);
}

// Index of the field `name` in `fields` (letter case ignored), -1 when there is none.
int indexOfField(const std::vector<DbfField>& fields, std::string_view name) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (equalIgnoringCase(fields[i].name, name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The `width` bytes that hold `text` in a field: character fields left-aligned, numeric
// fields right-aligned, blank-padded. `text` must fit.
void placeText(std::string& record, int offset, int width, char type, std::string_view text) {
    const auto w = static_cast<std::size_t>(width);
    const std::size_t start = isNumericType(type) ? w - text.size() : 0;
    record.replace(static_cast<std::size_t>(offset), w, w, ' ');
    record.replace(static_cast<std::size_t>(offset) + start, text.size(), text);
}

// Adding or storing a row needs a table open for writing.
TableError checkWritable(bool open, DbfOpenMode mode, const std::string& path) {
    if (!open) {
        return makeTableError(kErrNoCurrentRecord, "no table open");
    }
    if (mode != DbfOpenMode::ReadWrite) {
        return makeTableError(kErrBadFileMode, path + " (opened for reading)");
    }
    return {};
}

}  // namespace

std::string_view utf8Prefix(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text;
    }
    std::size_t cut = maxBytes;
    // Back up over the bytes of a character that the cut would split (at most three
    // continuation bytes; beyond that the text is not UTF-8 and is cut where it must be).
    for (int step = 0; step < 3 && cut > 0; ++step) {
        if ((static_cast<unsigned char>(text[cut]) & 0xC0U) != 0x80U) {
            return text.substr(0, cut);
        }
        --cut;
    }
    if ((static_cast<unsigned char>(text[cut]) & 0xC0U) != 0x80U) {
        return text.substr(0, cut);
    }
    return text.substr(0, maxBytes);
}

std::string describeCut(const FieldCut& cut) {
    return "     WARNING - Text too long for field " + cut.field + " in row " +
           numberToText(static_cast<double>(cut.row)) + ": " +
           numberToText(static_cast<double>(cut.keptBytes)) + " of " +
           numberToText(static_cast<double>(cut.givenBytes)) + " bytes kept.";
}

struct DbfTable::Handle {
    explicit Handle(DBFHandle h) : dbf(h) {}
    ~Handle() { DBFClose(dbf); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    DBFHandle dbf;
};

DbfTable::DbfTable() = default;
DbfTable::~DbfTable() = default;
DbfTable::DbfTable(DbfTable&& other) noexcept = default;
DbfTable& DbfTable::operator=(DbfTable&& other) noexcept = default;

std::string DbfTable::resolvePath(const std::string& folder, const std::string& fileName) {
    if (fileName.empty() || fileName.find('/') != std::string::npos) {
        return {};
    }
    return resolveName(folder, endsWithDbf(fileName) ? fileName : fileName + ".dbf");
}

TableError DbfTable::open(const std::string& folder, const std::string& fileName,
                          DbfOpenMode mode) {
    return openChecked(folder, fileName, mode, nullptr);
}

TableError DbfTable::open(const std::string& folder, const std::string& fileName, DbfOpenMode mode,
                          const FileLock& lock) {
    return openChecked(folder, fileName, mode, &lock);
}

TableError DbfTable::openChecked(const std::string& folder, const std::string& fileName,
                                 DbfOpenMode mode, const FileLock* lock) {
    close();
    if (fileName.empty() || fileName.find('/') != std::string::npos) {
        return makeTableError(kErrBadFileName, fileName);
    }
    const std::string name = endsWithDbf(fileName) ? fileName : fileName + ".dbf";
    std::error_code ec;
    const std::string wanted = (fs::path(folder) / name).string();
    if (!fs::is_directory(folder, ec)) {
        return makeFileError(kErrPathNotFound, wanted, "no such folder", folder);
    }
    const std::string resolved = resolveName(folder, name);
    if (resolved.empty()) {
        return makeFileError(kErrFileNotFound, wanted, "no such file", wanted);
    }
    if (mode == DbfOpenMode::ReadWrite && (lock == nullptr || !lock->isAt(resolved))) {
        if (TableError locked = checkNotHeldOpen(resolved)) {
            return locked;
        }
    }

    // Check the file before the library reads it, on a descriptor of our own.
    const int fd =
        ::open(resolved.c_str(), (mode == DbfOpenMode::ReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (fd < 0) {
        return errorFromErrno(errno, resolved);
    }
    DbfLayout layout;
    TableError error = readDbfLayout(fd, resolved, layout);
    struct stat checked {};
    if (!error && fstat(fd, &checked) != 0) {
        error = errorFromErrno(errno, resolved);
    }
    ::close(fd);
    if (error) {
        return error;
    }

    // The library replaces the extension by ".dbf" (then ".DBF"); the hook finds other cases.
    const std::string resolvedName = fs::path(resolved).filename().string();
    const std::string libraryPath =
        (fs::path(folder) / (resolvedName.substr(0, resolvedName.size() - 4) + ".dbf")).string();
    SAHooks hooks = tableHooks();
    DBFHandle dbf =
        DBFOpenLL(libraryPath.c_str(), mode == DbfOpenMode::ReadWrite ? "rb+" : "rb", &hooks);
    if (dbf == nullptr) {
        return makeFileError(kErrPathFileAccess, resolved, "not a readable table",
                             resolved + " (not a readable table)");
    }
    auto handle = std::make_unique<Handle>(dbf);
    // The library must have opened the file that was checked, and seen the same layout.
    struct stat opened {};
    if (fstat(fileno(streamOf(dbf)), &opened) != 0 || opened.st_dev != checked.st_dev ||
        opened.st_ino != checked.st_ino) {
        return makeFileError(kErrPathFileAccess, resolved,
                             "changed by another program while it was opened",
                             resolved + " (file changed while opening)");
    }
    if (DBFGetFieldCount(dbf) != static_cast<int>(layout.fields.size()) ||
        DBFGetRecordCount(dbf) != static_cast<int>(layout.recordCount) ||
        dbf->nRecordLength != layout.recordLength || dbf->nHeaderLength != layout.headerLength) {
        return makeFileError(kErrPathFileAccess, resolved, "damaged header (layout not understood)",
                             resolved + " (layout not understood)");
    }

    handle_ = std::move(handle);
    path_ = resolved;
    mode_ = mode;
    layout_ = std::move(layout);
    records_ = static_cast<long>(layout_.recordCount);
    return moveFirst();
}

void DbfTable::close() {
    handle_.reset();
    path_.clear();
    layout_ = DbfLayout{};
    records_ = 0;
    current_ = -1;
    pendingNew_ = false;
    dirty_ = false;
    noMatch_ = false;
    syncEachStore_ = true;
    row_.clear();
}

bool DbfTable::isOpen() const {
    return handle_ != nullptr;
}

int DbfTable::fieldIndex(std::string_view name) const {
    return indexOfField(layout_.fields, name);
}

TableError DbfTable::requireFields(const std::vector<std::string_view>& names) const {
    for (std::string_view name : names) {
        if (fieldIndex(name) < 0) {
            return makeTableError(kErrFieldNotFound, std::string(name));
        }
    }
    return {};
}

long DbfTable::recordCount() const {
    return records_;
}

TableError DbfTable::loadRow(long index) {
    const char* raw = DBFReadTuple(handle_->dbf, static_cast<int>(index));
    if (raw == nullptr) {
        return makeTableError(kErrInputPastEnd, path_);
    }
    row_.assign(raw, static_cast<std::size_t>(layout_.recordLength));
    return {};
}

TableError DbfTable::seekVisible(long from) {
    pendingNew_ = false;
    dirty_ = false;
    for (long i = from; i < records_; ++i) {
        if (TableError error = loadRow(i)) {
            current_ = -1;
            row_.clear();
            return error;
        }
        if (row_[0] != '*') {
            current_ = i;
            return {};
        }
    }
    current_ = -1;
    row_.clear();
    return {};
}

TableError DbfTable::moveFirst() {
    if (!isOpen()) {
        return makeTableError(kErrNoCurrentRecord, "no table open");
    }
    return seekVisible(0);
}

TableError DbfTable::moveNext() {
    if (!isOpen() || current_ < 0) {
        return makeTableError(kErrNoCurrentRecord, path_);
    }
    return seekVisible(current_ + 1);
}

bool DbfTable::eof() const {
    return !pendingNew_ && current_ < 0;
}

TableError DbfTable::findFirst(std::string_view field, std::string_view key) {
    const int index = fieldIndex(field);
    if (index < 0) {
        return makeTableError(kErrFieldNotFound, std::string(field));
    }
    if (!isOpen()) {
        return makeTableError(kErrNoCurrentRecord, "no table open");
    }
    const long before = current_;
    const std::string_view wanted = trimTrailingBlanks(key);
    const bool numeric = isNumericType(layout_.fields[static_cast<std::size_t>(index)].type);
    for (long i = 0; i < records_; ++i) {
        if (TableError error = loadRow(i)) {
            current_ = -1;
            row_.clear();
            return error;
        }
        if (row_[0] == '*') {
            continue;
        }
        const std::string_view raw = rawField(index);
        const bool same =
            numeric ? trimBlanks(raw) == trimBlanks(wanted)
                    : textOfField(trimTrailingBlanks(raw), isWindows1252Table(layout_)) == wanted;
        if (same) {
            current_ = i;
            pendingNew_ = false;
            dirty_ = false;
            noMatch_ = false;
            return {};
        }
    }
    noMatch_ = true;
    if (before >= 0) {
        return seekVisible(before);
    }
    pendingNew_ = false;
    dirty_ = false;
    current_ = -1;
    row_.clear();
    return {};
}

std::string_view DbfTable::rawField(int index) const {
    const DbfField& f = layout_.fields[static_cast<std::size_t>(index)];
    std::string_view raw = std::string_view(row_).substr(static_cast<std::size_t>(f.offset),
                                                         static_cast<std::size_t>(f.width));
    const auto nul = raw.find('\0');
    return nul == std::string_view::npos ? raw : raw.substr(0, nul);
}

TableError DbfTable::readField(std::string_view name, std::string& text) const {
    text.clear();
    const int index = fieldIndex(name);
    if (index < 0) {
        return makeTableError(kErrFieldNotFound, std::string(name));
    }
    if (!pendingNew_ && current_ < 0) {
        return makeTableError(kErrNoCurrentRecord, path_);
    }
    // A NUL ends a value (some writers pad with NULs); one with more of the value after it
    // would cut the value short without a word: such a field is damaged.
    const DbfField& f = layout_.fields[static_cast<std::size_t>(index)];
    const std::string_view whole = std::string_view(row_).substr(static_cast<std::size_t>(f.offset),
                                                                 static_cast<std::size_t>(f.width));
    if (const auto nul = whole.find('\0');
        nul != std::string_view::npos &&
        whole.find_first_not_of(std::string_view("\0 ", 2), nul) != std::string_view::npos) {
        return makeFileError(kErrPathFileAccess, path_,
                             "damaged: field " + f.name + " of row " +
                                 std::to_string(current_ + 1) +
                                 " holds a NUL character inside its value",
                             path_ + " (" + f.name + ")");
    }
    const std::string_view raw = rawField(index);
    text = isNumericType(f.type)
               ? std::string(trimBlanks(raw))
               : textOfField(trimTrailingBlanks(raw), isWindows1252Table(layout_));
    return {};
}

std::string DbfTable::fieldText(std::string_view name) const {
    std::string text;
    readField(name, text);
    return text;
}

TableError DbfTable::writeField(std::string_view name, std::string_view text) {
    const int index = fieldIndex(name);
    if (index < 0) {
        return makeTableError(kErrFieldNotFound, std::string(name));
    }
    if (!pendingNew_ && current_ < 0) {
        return makeTableError(kErrNoCurrentRecord, path_);
    }
    if (mode_ != DbfOpenMode::ReadWrite) {
        return makeTableError(kErrBadFileMode, path_ + " (opened for reading)");
    }
    const DbfField& f = layout_.fields[static_cast<std::size_t>(index)];
    std::string kept;
    if (TableError error = keptValue(f, text, isWindows1252Table(layout_), rowPosition() + 1,
                                     onCut_, path_, kept)) {
        return error;
    }
    placeText(row_, f.offset, f.width, f.type, kept);
    dirty_ = true;
    return {};
}

TableError DbfTable::addNew() {
    if (TableError error = checkWritable(isOpen(), mode_, path_)) {
        return error;
    }
    if (records_ >= INT32_MAX) {
        return makeTableError(kErrBadRecordNumber, path_);
    }
    pendingNew_ = true;
    dirty_ = true;
    row_.assign(static_cast<std::size_t>(layout_.recordLength), ' ');
    return {};
}

TableError DbfTable::store() {
    if (TableError error = checkWritable(isOpen(), mode_, path_)) {
        return error;
    }
    if (!pendingNew_ && current_ < 0) {
        return makeTableError(kErrNoCurrentRecord, path_);
    }
    if (!dirty_) {
        return {};
    }
    const long target = pendingNew_ ? records_ : current_;
    DBFHandle dbf = handle_->dbf;
    // The row goes to disk first, and only then the header that counts it: a write that
    // fails (disk full) leaves the table as it was, its earlier rows readable.
    if (TableError error =
            writeRowToDisk(dbf, path_, layout_, target, row_, pendingNew_, syncEachStore_)) {
        return error;
    }
    // The library's copy of the row and the header (record count, date).
    errno = 0;
    const bool written = DBFWriteTuple(dbf, static_cast<int>(target), row_.data()) != 0;
    TableError error;
    if (written) {
        stampToday(dbf);
        DBFUpdateHeader(dbf);
        error = syncToDisk(dbf, path_, syncEachStore_);
    } else {
        error = errorFromErrno(errno != 0 ? errno : EIO, path_);
    }
    if (error) {
        // The library's idea of the file may now differ from the disk: let go of the file.
        close();
        return error;
    }
    if (pendingNew_) {
        ++records_;
    }
    current_ = target;
    pendingNew_ = false;
    dirty_ = false;
    return {};
}

TableError DbfTable::sync() {
    if (!isOpen()) {
        return makeTableError(kErrNoCurrentRecord, "no table open");
    }
    return syncToDisk(handle_->dbf, path_);
}

TableError DbfTable::create(const std::string& path, const std::vector<DbfFieldDef>& fields,
                            const std::vector<std::vector<std::string>>& rows) {
    if (!endsWithDbf(path)) {
        return makeTableError(kErrBadFileName, path);
    }
    if (fields.empty() || static_cast<int>(fields.size()) > kMaxCreatedFields) {
        return makeTableError(kErrBadRecordLength, path + " (field count)");
    }
    std::vector<DbfField> layout;
    int offset = 1;
    for (const DbfFieldDef& def : fields) {
        const bool goodName =
            !def.name.empty() && def.name.size() <= 10 &&
            def.name.find_first_not_of(
                "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_") ==
                std::string::npos;
        const bool goodType = def.type == 'C' || def.type == 'N';
        const bool goodWidth = def.width >= 1 && def.width <= kMaxFieldWidth && def.decimals >= 0 &&
                               (def.decimals == 0 || def.decimals + 2 <= def.width);
        if (!goodName || !goodType || !goodWidth || (def.type == 'C' && def.decimals != 0)) {
            return makeTableError(kErrBadRecordLength, path + " (field " + def.name + ")");
        }
        layout.push_back(DbfField{def.name, def.type, def.width, def.decimals, offset});
        offset += def.width;
    }
    if (offset > kMaxCreatedRecordLength) {
        return makeTableError(kErrBadRecordLength, path + " (record longer than 4000 bytes)");
    }
    const auto recordLength = static_cast<std::size_t>(offset);

    // Every row is laid out before the file is touched: a value that does not fit is an error.
    std::vector<std::string> records;
    records.reserve(rows.size());
    for (const auto& values : rows) {
        if (values.size() > layout.size()) {
            return makeTableError(kErrBadRecordLength, path + " (too many values in a row)");
        }
        std::string record(recordLength, ' ');
        for (std::size_t i = 0; i < values.size(); ++i) {
            const DbfField& f = layout[i];
            std::string value;
            std::string missing;
            if (!utf8ToWindows1252(
                    isNumericType(f.type) ? trimBlanks(values[i]) : std::string_view(values[i]),
                    value, missing)) {
                return codePageRefusal(path, f.name, missing);
            }
            if (value.size() > static_cast<std::size_t>(f.width)) {
                return makeTableError(kErrBadRecordLength,
                                      path + " (value too long for field " + f.name + ")");
            }
            placeText(record, f.offset, f.width, f.type, value);
        }
        records.push_back(std::move(record));
    }

    // Written under a temporary name, then renamed over `path`.
    const fs::path target(path);
    const std::string folder = target.has_parent_path() ? target.parent_path().string() : ".";
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        return makeTableError(kErrPathNotFound, path);
    }
    const std::string temp =
        temporaryPathFor((fs::path(folder) / target.filename()).string(), true);
    SAHooks hooks = tableHooks();
    errno = 0;
    // Text in the Windows ANSI code page, marked as such, as dBASE readers expect it.
    DBFHandle dbf =
        DBFCreateLL(temp.c_str(), ("LDID/" + std::to_string(int{kDbfWindows1252})).c_str(), &hooks);
    if (dbf == nullptr) {
        return errorFromErrno(errno != 0 ? errno : EACCES, path);
    }
    const auto abandon = [&temp](DBFHandle h, TableError error) {
        DBFClose(h);
        ::unlink(temp.c_str());
        return error;
    };
    for (const DbfField& f : layout) {
        if (DBFAddNativeFieldType(dbf, f.name.c_str(), f.type, f.width, f.decimals) < 0) {
            return abandon(dbf,
                           makeTableError(kErrBadRecordLength, path + " (field " + f.name + ")"));
        }
    }
    for (std::size_t i = 0; i < records.size(); ++i) {
        errno = 0;
        if (DBFWriteTuple(dbf, static_cast<int>(i), records[i].data()) == 0) {
            return abandon(dbf, errorFromErrno(errno != 0 ? errno : EIO, path));
        }
    }
    stampToday(dbf);
    DBFUpdateHeader(dbf);
    if (TableError error = syncToDisk(dbf, path)) {
        return abandon(dbf, error);
    }
    DBFClose(dbf);
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return errorFromErrno(err, path);
    }
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

TableError DbfAppender::open(const std::string& path, const FileLock& lock) {
    close();
    if (!lock.held() || !lock.isAt(path)) {
        return makeFileError(kErrPermissionDenied, path, "not locked by this program",
                             path + " (not locked)");
    }
    DbfLayout layout;
    if (TableError error = readDbfLayout(lock.fd(), path, layout)) {
        return error;
    }
    fd_ = lock.fd();
    path_ = path;
    layout_ = std::move(layout);
    committed_ = static_cast<long>(layout_.recordCount);
    removed_ = 0;
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        const int err = errno;
        close();
        return errorFromErrno(err, path);
    }
    // Anything past the counted rows and the end-of-file mark is a group that was never
    // committed: it goes, so that no reader of the file shows it and the next rows follow on.
    const off_t end = rowsEnd();
    if (st.st_size > end + 1) {
        removed_ = static_cast<long>((st.st_size - end) / layout_.recordLength);
        if (TableError error = cutAfterRows()) {
            close();
            return error;
        }
    }
    return {};
}

off_t DbfAppender::rowsEnd() const {
    return static_cast<off_t>(layout_.headerLength) +
           static_cast<off_t>(committed_) * static_cast<off_t>(layout_.recordLength);
}

TableError DbfAppender::cutAfterRows() {
    constexpr char kEndOfFile = 0x1A;
    const off_t end = rowsEnd();
    if (::ftruncate(fd_, end) != 0) {
        return errorFromErrno(errno, path_);
    }
    // The end-of-file mark is a courtesy to old readers: a file without it is read all the same.
    if (writeAllAt(fd_, &kEndOfFile, 1, end)) {
        (void)::fsync(fd_);
    }
    return {};
}

TableError DbfAppender::truncateTo(long rows) {
    if (fd_ < 0 || rows < 0 || rows > committed_) {
        return makeTableError(kErrBadRecordNumber, path_);
    }
    unsigned char count[4];
    for (int i = 0; i < 4; ++i) {
        count[i] =
            static_cast<unsigned char>((static_cast<unsigned long>(rows) >> (8 * i)) & 0xFFU);
    }
    if (!writeAllAt(fd_, reinterpret_cast<const char*>(count), 4, 4) || ::fsync(fd_) != 0) {
        return errorFromErrno(errno, path_);
    }
    committed_ = rows;
    return cutAfterRows();
}

void DbfAppender::close() {
    fd_ = -1;
    path_.clear();
    layout_ = DbfLayout{};
    committed_ = 0;
    discard();
}

int DbfAppender::fieldIndex(std::string_view name) const {
    return indexOfField(layout_.fields, name);
}

void DbfAppender::addRow() {
    group_.append(static_cast<std::size_t>(layout_.recordLength), ' ');
    ++pending_;
}

TableError DbfAppender::setField(int index, std::string_view text) {
    if (index < 0 || static_cast<std::size_t>(index) >= layout_.fields.size()) {
        return makeTableError(kErrFieldNotFound, std::to_string(index));
    }
    if (pending_ == 0) {
        return makeTableError(kErrNoCurrentRecord, path_);
    }
    const DbfField& f = layout_.fields[static_cast<std::size_t>(index)];
    const std::size_t rowStart = group_.size() - static_cast<std::size_t>(layout_.recordLength);
    std::string kept;
    if (TableError error = keptValue(f, text, isWindows1252Table(layout_), committed_ + pending_,
                                     onCut_, path_, kept)) {
        return error;
    }
    const auto w = static_cast<std::size_t>(f.width);
    const std::size_t at = rowStart + static_cast<std::size_t>(f.offset);
    const std::size_t start = isNumericType(f.type) ? w - kept.size() : 0;
    group_.replace(at, w, w, ' ');
    group_.replace(at + start, kept.size(), kept);
    return {};
}

TableError DbfAppender::setField(std::string_view name, std::string_view text) {
    const int index = fieldIndex(name);
    if (index < 0) {
        return makeTableError(kErrFieldNotFound, std::string(name));
    }
    return setField(index, text);
}

void DbfAppender::dropRowsAfter(long kept) {
    if (kept >= 0 && kept < pending_) {
        group_.resize(static_cast<std::size_t>(kept) *
                      static_cast<std::size_t>(layout_.recordLength));
        pending_ = kept;
    }
}

void DbfAppender::discard() {
    group_.clear();
    pending_ = 0;
}

TableError DbfAppender::commit() {
    if (pending_ == 0) {
        return {};
    }
    if (fd_ < 0) {
        discard();
        return makeTableError(kErrNoCurrentRecord, "no table open");
    }
    if (committed_ + pending_ > INT32_MAX) {
        discard();
        return makeTableError(kErrBadRecordNumber, path_);
    }
    constexpr char kEndOfFile = 0x1A;
    group_.push_back(kEndOfFile);
    const auto offset = static_cast<off_t>(layout_.headerLength) +
                        static_cast<off_t>(committed_) * static_cast<off_t>(layout_.recordLength);
    // The rows first, on disk before the header counts them. A failure (a full disk) cuts
    // the file back to the rows of the last commit, so that nothing past the count remains.
    if (!writeAllAt(fd_, group_.data(), group_.size(), offset) || ::fsync(fd_) != 0) {
        const int err = errno;
        discard();
        (void)cutAfterRows();
        return errorFromErrno(err, path_);
    }
    const long total = committed_ + pending_;
    unsigned char header[7] = {};
    int year = 0;
    int month = 0;
    int day = 0;
    off_t at = 4;
    std::size_t size = 4;
    if (today(year, month, day)) {
        header[0] = static_cast<unsigned char>(year);
        header[1] = static_cast<unsigned char>(month);
        header[2] = static_cast<unsigned char>(day);
        at = 1;
        size = 7;
    }
    for (int i = 0; i < 4; ++i) {
        header[3 + i] =
            static_cast<unsigned char>((static_cast<unsigned long>(total) >> (8 * i)) & 0xFFU);
    }
    const char* bytes = reinterpret_cast<const char*>(header) + (at == 1 ? 0 : 3);
    if (!writeAllAt(fd_, bytes, size, at) || ::fsync(fd_) != 0) {
        const int err = errno;
        discard();
        // The header may count the new rows or not: it is made to count the old ones again.
        (void)truncateTo(committed_);
        return errorFromErrno(err, path_);
    }
    committed_ = total;
    discard();
    return {};
}

}  // namespace bx
