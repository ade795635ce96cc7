// SPDX-License-Identifier: MIT
// CRIT_W1 and crit_w: the Shapiro-Wilk coefficients and percentage points as published
// (Shapiro and Wilk 1965). No formula reproduces these figures exactly, so they are read from
// the project's data files and written unchanged, after checking the shape of each file.

#include <fstream>
#include <sstream>

#include "base/text_format.h"
#include "generator/generated_table.h"

namespace bx::gen {
namespace {

// The data lines of a comma-separated file: comment lines ("#") dropped, the header line
// first. Cells keep their text, blanks removed.
std::vector<std::vector<std::string>> readCsv(const std::string& path, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return {};
    }
    std::vector<std::vector<std::string>> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::vector<std::string> cells;
        std::stringstream cellStream(line);
        std::string cell;
        while (std::getline(cellStream, cell, ',')) {
            cells.emplace_back(trimBlanks(cell));
        }
        if (!line.empty() && line.back() == ',') {
            cells.emplace_back();
        }
        lines.push_back(std::move(cells));
    }
    return lines;
}

bool isFigure(const std::string& cell) {
    const LeadingNumber n = parseLeadingNumber(cell);
    return n.found && n.wholeText && n.value >= 0.0 && n.value <= 1.0;
}

}  // namespace

GeneratedTable shapiroWilkCoefficientTable(const std::string& csvPath, std::string& error) {
    GeneratedTable table;
    table.fileName = "CRIT_W1.dbf";
    table.fields.push_back({"I", 'C', 2, 0});
    for (int n = 2; n <= 20; ++n) {
        table.fields.push_back({"N" + formatNumber(n, "##"), 'N', 7, 4});
    }
    const auto lines = readCsv(csvPath, error);
    if (!error.empty()) {
        return {};
    }
    // Header "i,n2,...,n20", then rows i = 1 to 10; a cell is filled exactly when i <= n/2.
    if (lines.size() != 11 || lines[0].size() != 20) {
        error = csvPath + ": expected a header and 10 rows of 20 cells";
        return {};
    }
    for (int i = 1; i <= 10; ++i) {
        const auto& cells = lines[static_cast<std::size_t>(i)];
        if (cells.size() != 20 || cells[0] != formatNumber(i, "##")) {
            error = csvPath + ": row " + formatNumber(i, "##") + " malformed";
            return {};
        }
        std::vector<std::string> row{formatNumber(i, "##")};
        for (int n = 2; n <= 20; ++n) {
            const std::string& cell = cells[static_cast<std::size_t>(n - 1)];
            if (2 * i <= n) {
                if (!isFigure(cell)) {
                    error = csvPath + ": coefficient a(" + formatNumber(i, "##") +
                            ") for n = " + formatNumber(n, "##") + " missing or not a number";
                    return {};
                }
                row.push_back(formatNumber(leadingNumber(cell), "0.0000"));
            } else {
                if (!cell.empty()) {
                    error = csvPath + ": unexpected coefficient beyond n/2";
                    return {};
                }
                row.emplace_back("0.0000");
            }
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

GeneratedTable shapiroWilkPercentagePointTable(const std::string& csvPath, std::string& error) {
    GeneratedTable table;
    table.fileName = "crit_w.dbf";
    table.fields = {{"N", 'C', 2, 0},     {"A0_01", 'N', 6, 3}, {"A0_02", 'N', 6, 3},
                    {"A0_05", 'N', 6, 3}, {"A0_10", 'N', 6, 3}, {"A0_50", 'N', 6, 3}};
    const auto lines = readCsv(csvPath, error);
    if (!error.empty()) {
        return {};
    }
    // Header "n,p0.01,p0.02,p0.05,p0.10,p0.50", then n = 3 to 20.
    if (lines.size() != 19 || lines[0].size() != 6) {
        error = csvPath + ": expected a header and 18 rows of 6 cells";
        return {};
    }
    for (int n = 3; n <= 20; ++n) {
        const auto& cells = lines[static_cast<std::size_t>(n - 2)];
        if (cells.size() != 6 || cells[0] != formatNumber(n, "##")) {
            error = csvPath + ": row for n = " + formatNumber(n, "##") + " malformed";
            return {};
        }
        std::vector<std::string> row{formatNumber(n, "##")};
        for (std::size_t c = 1; c < 6; ++c) {
            if (!isFigure(cells[c])) {
                error = csvPath + ": percentage point for n = " + formatNumber(n, "##") +
                        " not a number";
                return {};
            }
            row.push_back(formatNumber(leadingNumber(cells[c]), "0.000"));
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

}  // namespace bx::gen
