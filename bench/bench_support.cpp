// SPDX-License-Identifier: MIT
#include "bench_support.h"

#include <cmath>
#include <cstdint>
#include <fstream>

#include "app/startup.h"
#include "entry/grid.h"

namespace bx::bench {

std::filesystem::path benchScratch(const std::string& name) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / "benthix-bench" / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

StartupFolders benchFolders() {
    return {BX_PROGRAM_DIR, (benchScratch("userdata")).string()};
}

BenchWindow::BenchWindow() : window(std::make_unique<MainWindow>(desktop, benchFolders())) {
    Form_Load(*window);
}

void putSamples(MainWindow& w, const std::vector<std::string>& test,
                const std::vector<std::string>& reference) {
    for (int row = 1; row < Grid::kRows; ++row) {
        const auto i = static_cast<std::size_t>(row - 1);
        w.ui.Grid1.setCell(row, Grid::kDataCol, i < test.size() ? test[i] : "");
        w.ui.Grid2.setCell(row, Grid::kDataCol, i < reference.size() ? reference[i] : "");
    }
}

const std::vector<PathData>& decisionPaths() {
    // Each set was run through benthix-cli analyze to confirm the path it takes.
    static const std::vector<PathData> paths{
        {"StudentT",
         {"10.2", "11.5", "9.8", "10.9", "11.1", "10.4", "9.6", "10.8", "11.3", "10.0"},
         {"12.1", "11.8", "12.6", "12.9", "11.5", "12.3", "12.0", "13.1", "11.9", "12.4"}},
        {"ApproximateT",
         {"10.2", "10.9", "9.8", "10.5", "10.0", "10.4", "9.6", "10.7", "10.3", "10.1"},
         {"12.1", "9.0", "15.2", "11.0", "13.9", "10.2", "14.1", "12.8", "8.3", "12.6"}},
        {"MannWhitney",
         {"10", "10", "10", "10", "10", "10", "10", "10", "10", "30"},
         {"20", "20", "20", "20", "20", "20", "20", "20", "20", "40"}},
        // 19 of the 20 pooled values tied: the most ties a run can reach the rankits with
        // (20 equal values would make the reference spread-free, the one-sample case).
        {"RankitsTied",
         {"5", "5", "5", "5", "5", "5", "5", "5", "5", "5"},
         {"5", "5", "5", "5", "5", "5", "5", "5", "5", "6"}},
        {"OneSample",
         {"8", "9", "10", "11", "12", "13", "9", "10", "11", "10"},
         {"12", "12", "12", "12", "12", "12", "12", "12", "12", "12"}},
    };
    return paths;
}

std::filesystem::path writeSurvey(int comparisons) {
    const std::filesystem::path path = benchScratch("survey") / "survey.csv";
    std::ofstream out(path);
    out << "sample,value\n";
    for (const char* v : {"14.2", "15.1", "15.8", "14.6", "15.3", "14.9", "15.5", "14.4"}) {
        out << "REF," << v << '\n';
    }
    std::uint64_t state = 88172645463325252ULL;
    auto uniform = [&state]() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<double>(state >> 11) * 0x1.0p-53;
    };
    char text[32];
    for (int s = 0; s < comparisons; ++s) {
        const int n = 3 + static_cast<int>(uniform() * 8.0);  // 3 to 10 replicates
        const double mean = 12.0 + 4.0 * uniform();
        const double sd = s % 5 == 0 ? 3.0 : 0.8;
        for (int i = 0; i < n; ++i) {
            // Box-Muller normal deviates; every seventh sample gets a gross outlier.
            const double z = std::sqrt(-2.0 * std::log(1.0 - uniform())) *
                             std::cos(6.283185307179586 * uniform());
            double v = mean + sd * z;
            if (s % 7 == 0 && i == 0) {
                v += 25.0;
            }
            std::snprintf(text, sizeof text, "%.2f", v);
            out << 'S' << s << ',' << text << '\n';
        }
    }
    return path;
}

}  // namespace bx::bench
