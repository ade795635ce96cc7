// SPDX-License-Identifier: MIT
#pragma once
// Copying a template into a file, and making or replacing a file under this program's lock
// without ever leaving it half-written.

#include <chrono>
#include <functional>
#include <string>

#include "tables/file_lock.h"
#include "tables/table_error.h"

namespace bx {

// Copies the bytes of the file `from` into the open file `toFd` (from its current offset);
// `to` names it in an error.
TableError copyFileInto(const std::string& from, int toFd, const std::string& to);

// Puts the file `temp` at `path` only when nothing is there (an atomic rename without
// replacing, or a hard link where the file system lacks it): false with errno EEXIST when a
// file is there, so that of several programs making one new file exactly one succeeds.
bool renameNoReplace(const std::string& temp, const std::string& path);

// Writes the new content of a temporary file: its path and the lock that holds it.
using FillFile = std::function<TableError(const std::string& tempPath, const FileLock& tempLock)>;

// Replaces the file `path` (or creates it) by one that `fill` writes, so that no other program
// that locks it (FileLock) sees it half-written or writes it meanwhile: the file there is
// locked first (see FileLock::acquire for `wait`), then a temporary file beside it
// (temporaryPathFor) is created and locked, `fill` writes it, it is forced to disk and renamed
// over `path` (or, when there was no file, put there only if none has appeared meanwhile).
// On success `lock` holds the new file at `path`; on failure the file at `path` is as it was
// and the temporary file is gone.
TableError replaceUnderLock(const std::string& path, std::chrono::milliseconds wait, bool forTable,
                            const FillFile& fill, FileLock& lock);

// The same for a file that must not be there yet: when another program has put a file at
// `path` (before or while `fill` runs) that file is kept and this fails with 58 (file already
// exists), the temporary file gone, so that the caller can use the file that is there.
TableError createUnderLock(const std::string& path, bool forTable, const FillFile& fill,
                           FileLock& lock);

}  // namespace bx
