// SPDX-License-Identifier: MIT
// Appending one run (Student's t, 10 and 10 replicates) to the detailed log: to a log that
// was just started, and to one that already holds 10,000 runs. Every store of the log is
// synced to disk, so both are dominated by the syncs; what matters is that the second costs
// no more than the first.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <iterator>

#include "app/execute.h"
#include "app/log_commands.h"
#include "bench_support.h"

namespace bx::bench {
namespace {

std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t readU32(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    }
    return v;
}

std::uint16_t readU16(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

// Turns a log that holds one run (blank row, the run's rows) into the log the Log menu would
// have written after `runs` such runs: the run's rows repeated and the header's record count
// (bytes 4 to 7 of a dBASE III header, little-endian) set to match. Writing the runs one by
// one through the log would take hours here, one disk sync per row.
void repeatTheRun(const std::filesystem::path& path, int runs) {
    const std::string bytes = readBytes(path);
    const std::uint32_t records = readU32(bytes, 4);
    const std::size_t headerLength = readU16(bytes, 8);
    const std::size_t recordLength = readU16(bytes, 10);
    const std::size_t runStart = headerLength + recordLength;  // after the blank first row
    const std::size_t runEnd = headerLength + records * recordLength;
    const std::string run = bytes.substr(runStart, runEnd - runStart);
    const std::uint32_t total = 1 + static_cast<std::uint32_t>(runs) * (records - 1);

    std::string header = bytes.substr(0, runStart);
    for (int i = 0; i < 4; ++i) {
        header[4 + static_cast<std::size_t>(i)] = static_cast<char>((total >> (8 * i)) & 0xFF);
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << header;
    for (int r = 0; r < runs; ++r) {
        out << run;
    }
    out << bytes.substr(runEnd);  // the end-of-file mark
    out.close();
    // The prefilled bytes go to disk here, so that the first timed append's sync does not pay
    // for them.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

void BM_DetailLogAppend(benchmark::State& state) {
    const int prefilledRuns = static_cast<int>(state.range(0));
    BenchWindow bw;
    MainWindow& w = bw.w();
    const PathData& student = decisionPaths().front();
    putSamples(w, student.test, student.reference);
    cmdExecute_Click(w);

    const std::filesystem::path folder = benchScratch("log-" + std::to_string(prefilledRuns));
    bw.desktop.next = FileDialogAnswer{folder.string(), "/", "detail.dbf"};
    mnuLogDetail_Click(w);
    if (!w.ui.detailedLogging) {
        state.SkipWithError("the detailed log did not start");
        return;
    }
    const std::filesystem::path log = folder / "detail.dbf";
    if (prefilledRuns > 0) {
        WriteLogs(w);
        repeatTheRun(log, prefilledRuns);
    }
    w.ui.Status.clear();
    for (auto _ : state) {
        WriteLogs(w);
        // Only "     Saving to Log File..." may be posted; anything else is a failed write.
        if (w.ui.Status != "\r\n     Saving to Log File...") {
            state.SkipWithError(("the run was not appended:" + w.ui.Status).c_str());
            break;
        }
        w.ui.Status.clear();
    }
    state.counters["log_MB"] =
        static_cast<double>(std::filesystem::file_size(log)) / (1024.0 * 1024.0);
    std::filesystem::remove_all(folder);
}

BENCHMARK(BM_DetailLogAppend)
    ->Arg(0)
    ->Arg(10000)
    ->ArgName("runs")
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bx::bench
