// SPDX-License-Identifier: MIT
#pragma once
// A text file written whole or not at all.

#include <string>

#include "tables/table_error.h"

namespace bx {

// A file written whole under a temporary name beside its target, put in place by place(); the
// temporary file goes when it is not placed.
class PendingFile {
  public:
    PendingFile() = default;
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    ~PendingFile();

    // A fresh temporary name beside `target`.
    void nameFor(const std::string& target);
    const std::string& temp() const { return temp_; }
    const std::string& target() const { return target_; }

    // Renames the file over its target, or, without `replace`, puts it there only when no file
    // is there (58, file already exists, when one is). Fails with 70 while another program
    // holds the target open.
    TableError place(bool replace);
    // Removes the placed file again (a companion that could not be placed).
    void withdraw();

  private:
    std::string temp_;
    std::string target_;
    bool placed_ = false;
};

// While it lives, the other programs' placements into `folder` that use it wait (an exclusive
// lock on the folder), so that files placed together (a report and its workbook) come from one
// run. Without the lock (a folder that cannot be opened) nothing waits.
class FolderTurn {
  public:
    explicit FolderTurn(const std::string& folder);
    ~FolderTurn();
    FolderTurn(const FolderTurn&) = delete;
    FolderTurn& operator=(const FolderTurn&) = delete;

  private:
    int fd_ = -1;
};

// Writes `text` to the temporary file of `file` (named for `path`) and forces it to disk.
TableError writeTextFileAside(const std::string& path, const std::string& text, PendingFile& file);

// Writes `text` to `path` through a temporary file beside it that then replaces `path`, so
// that a failed write leaves an earlier file as it was. Fails with 70 while another program
// holds `path` open.
TableError writeTextFileSafely(const std::string& path, const std::string& text);

}  // namespace bx
