// SPDX-License-Identifier: MIT
// The safe template copy and the check for files held open by another program.

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"
#include "tables/file_copy.h"
#include "tables/file_lock.h"
#include "tables/table_test_helpers.h"

namespace bx::test {
namespace {

namespace fs = std::filesystem;

// Copies `from` to `to`, both in `dir`; the error number (0 on success).
int copyIn(const fs::path& dir, const std::string& from, const std::string& to) {
    return copyFileSafely((dir / from).string(), (dir / to).string()).number;
}

TEST(FileCopy, CopiesAndReplacesTheTarget) {
    const fs::path dir = freshScratch("copy");
    writeBytes(dir / "from.dbf", "template bytes");
    writeBytes(dir / "to.dbf", "old content that is longer than the template");
    ASSERT_EQ(copyIn(dir, "from.dbf", "to.dbf"), 0);
    EXPECT_EQ(readFileBytes(dir / "to.dbf"), "template bytes");
    ASSERT_EQ(copyIn(dir, "from.dbf", "new.dbf"), 0);
    EXPECT_EQ(readFileBytes(dir / "new.dbf"), "template bytes");
    // Only the three files: no temporary left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3);
}

TEST(FileCopy, FailuresLeaveTheTargetUntouched) {
    const fs::path dir = freshScratch("copyfail");
    writeBytes(dir / "to.dbf", "keep me");
    writeBytes(dir / "from.dbf", "new");
    EXPECT_EQ(copyIn(dir, "none.dbf", "to.dbf"), kErrFileNotFound);
    EXPECT_EQ(copyIn(dir, "no folder/x.dbf", "to.dbf"), kErrPathNotFound);
    EXPECT_EQ(copyIn(dir, "from.dbf", "no folder/to.dbf"), kErrPathNotFound);
    // Copying a file onto itself would destroy it.
    EXPECT_EQ(copyIn(dir, "to.dbf", "to.dbf"), kErrPathFileAccess);
    EXPECT_EQ(readFileBytes(dir / "to.dbf"), "keep me");
}

TEST(FileCopy, TargetHeldOpenByAnOfficeSuiteIsPermissionDenied) {
    const fs::path dir = freshScratch("copylock");
    writeBytes(dir / "from.dbf", "new");
    writeBytes(dir / "reportr.dbf", "old");
    EXPECT_FALSE(heldOpenElsewhere((dir / "reportr.dbf").string()));
    writeBytes(dir / ".~lock.reportr.dbf#", "user,host,1;");
    EXPECT_TRUE(heldOpenElsewhere((dir / "reportr.dbf").string()));
    const TableError e =
        copyFileSafely((dir / "from.dbf").string(), (dir / "reportr.dbf").string());
    EXPECT_EQ(e.number, kErrPermissionDenied);
    EXPECT_NE(e.description.find("reportr.dbf"), std::string::npos);
    EXPECT_EQ(readFileBytes(dir / "reportr.dbf"), "old");
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
