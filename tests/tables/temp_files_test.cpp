// SPDX-License-Identifier: MIT
// The temporary files that a killed run leaves beside the files it writes are removed at a
// later start: only those of the exact temporary form, of a process that is gone, not touched
// for some minutes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/test_support.h"
#include "tables/temp_files.h"

namespace bx {
namespace {

namespace fs = std::filesystem;

TEST(TempFiles, OnlyStaleFilesOfGoneProcessesAreRemoved) {
    const fs::path dir = test::freshScratch("temp-files");
    // A process id that no process has: pid_max is at most 4194304.
    const std::string gone = "4194999";
    const std::string alive = std::to_string(::getppid());
    const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(10);
    const struct {
        std::string name;
        bool stale;  // old enough
        bool removed;
    } kFiles[] = {
        {".sv.dbf." + gone + ".12345.tmp.dbf", true, true},
        {".rr.xlsx." + gone + ".4000000000.tmp", true, true},
        {".sv.dbf." + gone + ".12345.tmp.dbf.young", true, false},  // not the form
        {".sv.dbf." + gone + ".12345.tmp.bak", true, false},
        {"sv.dbf." + gone + ".12345.tmp", true, false},    // no leading dot
        {".sv.dbf." + gone + ".12a45.tmp", true, false},   // not a number
        {".sv.dbf." + alive + ".12345.tmp", true, false},  // its process still runs
        {".young.dbf." + gone + ".1.tmp", false, false},   // written a moment ago
        {"report.csv", true, false},
    };
    for (const auto& f : kFiles) {
        std::ofstream(dir / f.name) << "x";
        if (f.stale) {
            fs::last_write_time(dir / f.name, old);
        }
    }
    fs::create_directory(dir / (".dir.dbf." + gone + ".7.tmp"));  // not a regular file
    fs::last_write_time(dir / (".dir.dbf." + gone + ".7.tmp"), old);

    const std::vector<std::string> removed = removeStaleTemporaryFiles(dir.string());
    EXPECT_EQ(removed.size(), 2U);
    for (const auto& f : kFiles) {
        EXPECT_EQ(fs::exists(dir / f.name), !f.removed) << f.name;
    }
    EXPECT_TRUE(fs::exists(dir / (".dir.dbf." + gone + ".7.tmp")));

    // The names the program writes have that form.
    pid_t pid = 0;
    const fs::path written = temporaryPathFor((dir / "log.dbf").string(), true);
    EXPECT_EQ(written.parent_path(), dir);
    ASSERT_TRUE(isTemporaryName(written.filename().string(), pid));
    EXPECT_EQ(pid, ::getpid());
}

}  // namespace
}  // namespace bx
