// SPDX-License-Identifier: MIT
// Several benthix-cli processes on the same files at once, and a batch killed while it logs:
// the built program is started as a user's scripts start it (fork and exec), all sharing one
// home folder and so one report table.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/test_support.h"
#include "tables/dbf_table.h"
#include "tables/file_lock.h"

extern char** environ;

namespace bx {
namespace {

namespace fs = std::filesystem;

// A started benthix-cli with its output and errors in files of `folder`.
struct Process {
    pid_t pid = -1;
    fs::path out;
    fs::path err;
};

Process start(const fs::path& home, const fs::path& folder, const std::string& name,
              std::vector<std::string> args) {
    Process p;
    p.out = folder / (name + ".out");
    p.err = folder / (name + ".err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, p.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, p.err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    args.insert(args.begin(), BX_CLI_PROGRAM);
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> envText{"HOME=" + home.string(), "PATH=/usr/bin:/bin",
                                     "XDG_DATA_HOME=" + (home / "data").string()};
    std::vector<char*> env;
    for (std::string& e : envText) {
        env.push_back(e.data());
    }
    env.push_back(nullptr);
    EXPECT_EQ(posix_spawn(&p.pid, BX_CLI_PROGRAM, &actions, nullptr, argv.data(), env.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    return p;
}

int finish(const Process& p) {
    int status = 0;
    if (::waitpid(p.pid, &status, 0) != p.pid || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

// Every row of a table, as field name to text.
std::vector<std::map<std::string, std::string>> readRows(const fs::path& path) {
    std::vector<std::map<std::string, std::string>> rows;
    DbfTable table;
    if (TableError e = table.open(path.parent_path().string(), path.filename().string(),
                                  DbfOpenMode::ReadOnly)) {
        ADD_FAILURE() << path << ": " << e.description;
        return rows;
    }
    for (TableError e = table.moveFirst(); !e && !table.eof(); e = table.moveNext()) {
        auto& row = rows.emplace_back();
        for (const DbfField& f : table.fields()) {
            row[f.name] = table.fieldText(f.name);
        }
    }
    return rows;
}

// Process i's test sample: "i01,i02,i04" (mean i02.333...), so that every value it logs
// names it.
std::string testValues(int i) {
    const std::string p = std::to_string(i);
    return p + "01," + p + "02," + p + "04";
}

// 16 analyses append to the same two logs at once, the first of them making the files: each
// log holds all 16 runs, whole, and a detailed run's rows stay together.
TEST(Processes, ConcurrentAppendsKeepEveryRunWhole) {
    const fs::path dir = test::freshScratch("proc-append");
    const fs::path summary = dir / "shared_s.dbf";
    const fs::path detailed = dir / "shared_d.dbf";
    constexpr int kRuns = 16;
    std::vector<Process> procs;
    for (int i = 1; i <= kRuns; ++i) {
        procs.push_back(start(
            dir, dir, "run" + std::to_string(i),
            {"analyze", "--test", testValues(i), "--reference", "10,11,12", "--append-summary-log",
             summary.string(), "--append-detailed-log", detailed.string()}));
    }
    for (const Process& p : procs) {
        EXPECT_EQ(finish(p), 0) << test::readFileBytes(p.err);
    }

    const auto sums = readRows(summary);
    ASSERT_EQ(sums.size(), 1U + kRuns);  // the blank row the log starts with, then the runs
    std::set<std::string> means;
    for (std::size_t r = 1; r < sums.size(); ++r) {
        means.insert(sums[r].at("SAMP_MN"));
    }
    EXPECT_EQ(means.size(), static_cast<std::size_t>(kRuns));

    // Each run: its first row, two more with the replicates, three more with the rest of the
    // six pooled residuals, then the blank row that ends it.
    const auto rows = readRows(detailed);
    ASSERT_EQ(rows.size(), 1U + 7U * kRuns);
    std::set<std::string> seen;
    for (std::size_t r = 1; r < rows.size(); r += 7) {
        const std::string first = rows[r].at("SAMPDATA");
        ASSERT_GE(first.size(), 3U);
        const std::string prefix = first.substr(0, first.size() - 2);
        EXPECT_EQ(first, prefix + "01");
        EXPECT_EQ(rows[r + 1].at("SAMPDATA"), prefix + "02");
        EXPECT_EQ(rows[r + 2].at("SAMPDATA"), prefix + "04");
        EXPECT_NE(rows[r].at("SAMP_MN"), "");
        for (std::size_t k = 3; k < 6; ++k) {
            EXPECT_EQ(rows[r + k].at("SAMPDATA"), "");
            EXPECT_NE(rows[r + k].at("W_RESIDUAL"), "");
        }
        EXPECT_EQ(rows[r + 6].at("W_RESIDUAL"), "");
        seen.insert(prefix);
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kRuns));
}

// A log that another program holds (its Begin..STOP) refuses a Begin at once, with the file and
// the cause named, and keeps its bytes.
TEST(Processes, BeginOnAHeldLogFailsAtOnceAndKeepsIt) {
    const fs::path dir = test::freshScratch("proc-held");
    const fs::path log = dir / "held.dbf";
    ASSERT_EQ(finish(start(dir, dir, "make",
                           {"analyze", "--test", "1,2,3", "--reference", "4,5,6", "--detailed-log",
                            log.string()})),
              0);
    const std::string before = test::readFileBytes(log);
    FileLock holder;
    ASSERT_FALSE(FileLock::acquire(log.string(), std::chrono::milliseconds(0), holder));

    const auto t0 = std::chrono::steady_clock::now();
    const Process p = start(dir, dir, "second",
                            {"analyze", "--test", "7,8,9", "--reference", "4,5,6", "--detailed-log",
                             log.string(), "--force"});
    EXPECT_EQ(finish(p), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(3));
    const std::string err = test::readFileBytes(p.err);
    EXPECT_NE(err.find("File IO Error 70."), std::string::npos) << err;
    EXPECT_NE(err.find(log.string() + ": in use by another program."), std::string::npos) << err;
    EXPECT_EQ(test::readFileBytes(log), before);
}

// 32 reports at once, all through the one report table of the shared home folder: every one
// succeeds.
TEST(Processes, ConcurrentReportsAllSucceed) {
    const fs::path dir = test::freshScratch("proc-report");
    constexpr int kRuns = 32;
    std::vector<Process> procs;
    for (int i = 0; i < kRuns; ++i) {
        procs.push_back(start(dir, dir, "rep" + std::to_string(i),
                              {"analyze", "--test", "10,11,12", "--reference", "14,15,16",
                               "--report", (dir / "R.csv").string(), "--force"}));
    }
    for (const Process& p : procs) {
        EXPECT_EQ(finish(p), 0) << test::readFileBytes(p.err);
        EXPECT_EQ(test::readFileBytes(p.err).find("NOT initialized"), std::string::npos);
    }
    EXPECT_TRUE(fs::exists(dir / "R.xlsx"));
    EXPECT_TRUE(fs::exists(dir / "R.csv"));
}

// Several runs making one new file without --force: exactly one makes it (exit 0), the others
// exit 2 saying it exists, for a saved sample file, a report and batch results alike.
TEST(Processes, ParallelNewOutputsExactlyOneSucceeds) {
    const fs::path dir = test::freshScratch("proc-new");
    const std::vector<std::vector<std::string>> kinds{
        {"analyze", "--test", "10,11,12", "--reference", "14,15,16", "--save",
         (dir / "S.dbf").string()},
        {"analyze", "--test", "10,11,12", "--reference", "14,15,16", "--report",
         (dir / "R.csv").string()},
        {"batch", (dir / "in.csv").string(), "--reference", "REF", "--output",
         (dir / "out.csv").string()},
    };
    std::ofstream(dir / "in.csv") << "sample,value\nS,1\nS,2\nS,4\nREF,5\nREF,6\nREF,8\n";
    constexpr int kRuns = 8;
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        std::vector<Process> procs;
        for (int i = 0; i < kRuns; ++i) {
            procs.push_back(
                start(dir, dir, "new" + std::to_string(k) + "-" + std::to_string(i), kinds[k]));
        }
        int made = 0;
        for (const Process& p : procs) {
            const int status = finish(p);
            const std::string err = test::readFileBytes(p.err);
            if (status == 0) {
                ++made;
            } else {
                EXPECT_EQ(status, 2) << err;
                EXPECT_NE(err.find("exists"), std::string::npos) << err;
            }
        }
        EXPECT_EQ(made, 1) << kinds[k].back();
    }
    EXPECT_TRUE(fs::exists(dir / "R.xlsx"));
}

// Results that do not reach standard output are a failure with its cause.
TEST(Processes, AFullStandardOutputExitsOne) {
    const fs::path dir = test::freshScratch("proc-full");
    for (const char* format : {"--json", "--explain"}) {
        const std::string command = std::string(BX_CLI_PROGRAM) +
                                    " analyze --test 10,11,12 --reference 14,15,16 " + format +
                                    " >/dev/full 2>" + (dir / "err").string();
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 1);
        EXPECT_NE(test::readFileBytes(dir / "err").find("standard output failed: disk full"),
                  std::string::npos)
            << test::readFileBytes(dir / "err");
    }
}

// A batch killed while it writes its summary log leaves a log of whole runs: the header counts
// only rows that reached the disk, in input order, and the groups committed before the kill.
TEST(Processes, KilledBatchKeepsItsCommittedGroups) {
    const fs::path dir = test::freshScratch("proc-kill");
    const fs::path survey = dir / "survey.csv";
    constexpr int kSamples = 100000;
    {
        std::ofstream out(survey);
        out << "sample,value\nREF,14\nREF,15\nREF,16\n";
        for (int s = 0; s < kSamples; ++s) {
            out << 'S' << s << ",10\nS" << s << ",11\nS" << s << ",1" << (2 + s % 7) << '\n';
        }
    }
    const fs::path log = dir / "sum.dbf";
    const Process p = start(dir, dir, "batch",
                            {"batch", survey.string(), "--reference", "REF", "--output",
                             (dir / "results.csv").string(), "--summary-log", log.string()});
    // Until the header counts a group of runs (a begun log counts its blank row alone), and a
    // little longer, so that the kill comes while later groups are being written.
    const auto counted = [&log]() -> std::uint32_t {
        unsigned char header[8] = {};
        std::ifstream(log, std::ios::binary).read(reinterpret_cast<char*>(header), 8);
        return header[4] | header[5] << 8 | header[6] << 16 | std::uint32_t{header[7]} << 24;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline && counted() <= 1) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ::kill(p.pid, SIGKILL);
    int status = 0;
    ::waitpid(p.pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the batch ended before it could be killed";

    const auto rows = readRows(log);
    ASSERT_GT(rows.size(), 1U);
    EXPECT_LT(rows.size(), 1U + kSamples);
    for (std::size_t r = 1; r < rows.size(); ++r) {
        ASSERT_EQ(rows[r].at("SAMPID"), "S" + std::to_string(r - 1)) << r;
        ASSERT_EQ(rows[r].at("REFID"), "REF") << r;
        ASSERT_NE(rows[r].at("PASS_FAIL"), "") << r;
    }
    fs::remove_all(dir);  // a large log
}

}  // namespace
}  // namespace bx
