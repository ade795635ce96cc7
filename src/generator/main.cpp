// SPDX-License-Identifier: MIT
// Writes the six statistical tables and the four templates into the program folder, then the
// manifest of all ten (their sizes and checksums), which the program checks at start-up and
// `benthix-cli validate` checks again.
// Usage: benthix_table_generator <program folder> <data folder>

#include <cstdio>
#include <filesystem>
#include <string>

#include "generator/generated_table.h"
#include "tables/table_manifest.h"

int main(int argc, char** argv) {
    using bx::gen::GeneratedTable;
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <program folder> <data folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path out(argv[1]);
    const std::filesystem::path data(argv[2]);
    std::error_code ec;
    std::filesystem::create_directories(out, ec);

    std::string error;
    // The statistical tables come first, then the templates.
    std::vector<GeneratedTable> tables{
        bx::gen::studentTTable(),
        bx::gen::mannWhitneyTable(),
        bx::gen::shapiroWilkPercentagePointTable(
            (data / "shapiro_wilk_percentage_points.csv").string(), error),
    };
    if (error.empty()) {
        tables.push_back(bx::gen::shapiroWilkCoefficientTable(
            (data / "shapiro_wilk_coefficients.csv").string(), error));
    }
    if (!error.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    tables.push_back(bx::gen::rankitTable());
    tables.push_back(bx::gen::powerTable());
    for (GeneratedTable& t : bx::gen::templateTables()) {
        tables.push_back(std::move(t));
    }
    std::vector<std::string> manifestFiles;
    for (const GeneratedTable& t : tables) {
        manifestFiles.push_back(t.fileName);
    }

    for (const GeneratedTable& t : tables) {
        const std::string path = (out / t.fileName).string();
        if (const bx::TableError e = bx::DbfTable::create(path, t.fields, t.rows)) {
            std::fprintf(stderr, "%s: error %d: %s\n", path.c_str(), e.number,
                         e.description.c_str());
            return 1;
        }
    }
    if (const bx::TableError e = bx::writeTableManifest(out.string(), manifestFiles)) {
        std::fprintf(stderr, "%s: error %d: %s\n", bx::kTableManifestName, e.number,
                     e.description.c_str());
        return 1;
    }
    return 0;
}
