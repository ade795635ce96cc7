// SPDX-License-Identifier: MIT
// Making a file that must not be there yet (createUnderLock), the check for files held open by
// another program, and the system errors as file error numbers.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "support/test_support.h"
#include "tables/file_copy.h"
#include "tables/file_lock.h"
#include "tables/table_test_helpers.h"

namespace bx::test {
namespace {

namespace fs = std::filesystem;

std::size_t filesIn(const fs::path& dir) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

// A fill that writes `bytes` into the temporary file, after running `meanwhile`.
FillFile writing(const std::string& bytes, const std::function<void()>& meanwhile = {}) {
    return [bytes, meanwhile](const std::string&, const FileLock& tempLock) -> TableError {
        if (meanwhile) {
            meanwhile();
        }
        if (::write(tempLock.fd(), bytes.data(), bytes.size()) !=
            static_cast<ssize_t>(bytes.size())) {
            return makeTableError(kErrDiskFull, "write");
        }
        return {};
    };
}

TEST(CreateUnderLock, MakesTheMissingFileAndHoldsIt) {
    const fs::path dir = freshScratch("create-new");
    FileLock lock;
    ASSERT_FALSE(createUnderLock((dir / "log.dbf").string(), true, writing("new log"), lock));
    EXPECT_EQ(readFileBytes(dir / "log.dbf"), "new log");
    EXPECT_TRUE(lock.isAt((dir / "log.dbf").string()));
    EXPECT_EQ(filesIn(dir), 1U);  // no temporary file left
}

// Of two programs making one missing shared log, the one that comes second must keep the
// other's file (and its runs), whether that file was there before it began or appeared while
// it wrote its own copy: 58, the file as it was, no temporary file left, no lock taken.
TEST(CreateUnderLock, AFileThatIsAlreadyThereIsKept) {
    const fs::path dir = freshScratch("create-exists");
    const std::string path = (dir / "log.dbf").string();
    writeBytes(dir / "log.dbf", "the other program's runs");
    FileLock lock;
    TableError e = createUnderLock(path, true, writing("a fresh log"), lock);
    EXPECT_EQ(e.number, kErrFileExists) << "a file already there was replaced";
    EXPECT_EQ(readFileBytes(dir / "log.dbf"), "the other program's runs");
    EXPECT_FALSE(lock.held());

    fs::remove(dir / "log.dbf");
    e = createUnderLock(
        path, true, writing("a fresh log", [&] { writeBytes(dir / "log.dbf", "made meanwhile"); }),
        lock);
    EXPECT_EQ(e.number, kErrFileExists) << "a file made while ours was written was replaced";
    EXPECT_EQ(readFileBytes(dir / "log.dbf"), "made meanwhile");
    EXPECT_FALSE(lock.held());
    EXPECT_EQ(filesIn(dir), 1U);
}

TEST(FileLocks, AFileHeldOpenByAnOfficeSuiteIsPermissionDenied) {
    const fs::path dir = freshScratch("copylock");
    writeBytes(dir / "reportr.dbf", "old");
    EXPECT_FALSE(heldOpenElsewhere((dir / "reportr.dbf").string()));
    EXPECT_FALSE(checkNotHeldOpen((dir / "reportr.dbf").string()));
    writeBytes(dir / ".~lock.reportr.dbf#", "user,host,1;");
    EXPECT_TRUE(heldOpenElsewhere((dir / "reportr.dbf").string()));
    const TableError e = checkNotHeldOpen((dir / "reportr.dbf").string());
    EXPECT_EQ(e.number, kErrPermissionDenied);
    EXPECT_NE(e.description.find("reportr.dbf"), std::string::npos);
}

// The system errors that no test above meets (ENOENT, EFBIG and lock files are met in the
// table tests and here).
TEST(TableErrors, SystemErrorsBecomeFileErrorNumbers) {
    EXPECT_EQ(errorFromErrno(ENOTDIR, "a").number, kErrPathNotFound);
    EXPECT_EQ(errorFromErrno(EROFS, "a").number, kErrPermissionDenied);  // read-only medium
    EXPECT_FALSE(errorFromErrno(0, "a"));
    EXPECT_TRUE(errorFromErrno(EROFS, "a").isFileError());
    EXPECT_FALSE(makeTableError(kErrFieldNotFound, "X").isFileError());
}

}  // namespace
}  // namespace bx::test
