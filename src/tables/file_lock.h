// SPDX-License-Identifier: MIT
#pragma once
// Whether another program holds a file open, so that writing or replacing it would disturb
// that program: an office suite's lock file ".~lock.<name>#" beside the file, or a POSIX
// record lock that another process holds on it. And the program's own lock on a file it
// writes (FileLock), which other programs see as such a record lock.

#include <sys/types.h>

#include <chrono>
#include <string>

#include "tables/table_error.h"

namespace bx {

bool heldOpenElsewhere(const std::string& path);

// Error 70 (permission denied) naming the file when heldOpenElsewhere(path); no error else.
// A file that a FileLock of this program holds counts as held too: only the holder writes it.
TableError checkNotHeldOpen(const std::string& path);

class FileLock;

// The same for the holder of `own`: when `own` holds `path`, only another program's lock file
// beside it counts (no other program can hold a record lock on it meanwhile).
TableError checkNotHeldOpen(const std::string& path, const FileLock& own);

// How long a writer waits for a file that another program holds for a moment (a run being
// appended to a shared log, the report table being rebuilt) before it gives up.
inline constexpr std::chrono::milliseconds kSharedFileWait{8000};

// An exclusive lock on one file: an open file description lock (F_OFD_SETLK) over the file's
// bytes, so that the table library's own opens and closes of the file never drop it, and
// other processes (and other locks in this one) see it. Released by release(), the
// destructor, or the end of the process.
class FileLock {
  public:
    FileLock() = default;
    ~FileLock();
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Locks the existing file `path` for writing. Without `wait` it fails at once with 70
    // ("in use by another program") when another holder has it; with a wait it retries, in
    // the order the waiters came, until `wait` has passed. Once locked, `path` must still name
    // the locked file (another program may have replaced it meanwhile): if not, it starts
    // again on the new file. 53/76 when there is no file.
    static TableError acquire(const std::string& path, std::chrono::milliseconds wait,
                              FileLock& lock);

    // Locks the file open on `fd`, which the lock then owns (a file this program has just
    // created and no one else knows yet). False when the lock cannot be placed.
    bool adopt(int fd);

    bool held() const { return fd_ >= 0; }
    void release();
    // The descriptor that holds the lock (open for reading and writing), -1 when none.
    int fd() const { return fd_; }
    // Whether `path` names the locked file.
    bool isAt(const std::string& path) const;

  private:
    int fd_ = -1;
    dev_t dev_ = 0;
    ino_t ino_ = 0;
};

}  // namespace bx
