#include "tables/lookup.h"

#include "app/text_format.h"
#include "tables/stat_tables.h"

namespace bx {
namespace {

// The key text that the "##" pattern writes for a number, or for a text that is a number;
// any other text is used as it is (as formatting a text with a number pattern does).
std::string wholeNumberKey(const SearchValue& value) {
    if (const double* number = std::get_if<double>(&value)) {
        return formatNumber(*number, "##");
    }
    const std::string& text = std::get<std::string>(value);
    const LeadingNumber parsed = parseLeadingNumber(text);
    return parsed.found && parsed.wholeText ? formatNumber(parsed.value, "##") : text;
}

std::string plainKey(const SearchValue& value) {
    if (const double* number = std::get_if<double>(&value)) {
        return numberToText(*number);
    }
    return std::get<std::string>(value);
}

double numericValue(const SearchValue& value) {
    if (const double* number = std::get_if<double>(&value)) {
        return *number;
    }
    return leadingNumber(std::get<std::string>(value));
}

// The column a significance level picks, or nullptr for a level the table does not have.
// Levels are matched by exact equality with the literals.
const char* levelColumn(StatTableId id, double alpha) {
    switch (id) {
        case StatTableId::CritW:
            return alpha == 0.01   ? "A0_01"
                   : alpha == 0.02 ? "A0_02"
                   : alpha == 0.05 ? "A0_05"
                   : alpha == 0.1  ? "A0_10"
                                   : nullptr;
        case StatTableId::CritT:
            return alpha == 0.25   ? "A0_25"
                   : alpha == 0.2  ? "A0_20"
                   : alpha == 0.1  ? "A0_10"
                   : alpha == 0.05 ? "A0_05"
                                   : nullptr;
        case StatTableId::CritU:
            return alpha == 0.1 ? "A0_10" : alpha == 0.05 ? "A0_05" : nullptr;
        default:
            return nullptr;
    }
}

}  // namespace

Lookup::Lookup(std::shared_ptr<const StatTables> tables, StatusSink& status)
    : tables_(tables ? std::move(tables) : std::make_shared<const StatTables>()), status_(status) {}

double Lookup::lookupValue(double alphaVal, const SearchValue& searchVal,
                           std::string_view testType) {
    StatTableId id{};
    const char* keyField = "";
    std::string key;
    if (testType == "W1") {
        id = StatTableId::CritW1;
        keyField = "I";
        key = wholeNumberKey(searchVal);
    } else if (testType == "W2") {
        id = StatTableId::CritW;
        keyField = "N";
        key = wholeNumberKey(searchVal);
    } else if (testType == "T1") {
        id = StatTableId::CritT;
        keyField = "DF";
        key = wholeNumberKey(searchVal);
    } else if (testType == "M1") {
        id = StatTableId::CritU;
        keyField = "N1N2";
        key = plainKey(searchVal);
    } else if (testType == "R1") {
        id = StatTableId::Rankit;
        keyField = "N";
        key = formatNumber(alphaVal, "##");
    } else if (testType == "P1") {
        id = StatTableId::PowerT;
        keyField = "Z";
        key = formatNumber(alphaVal, "######0.00");
    } else {
        return kNotFound;
    }
    const StatTable& table = tables_->table(id);
    const int rowIndex = table.findRowIndex(key);
    if (rowIndex < 0) {
        if (!table.readable() && reportedUnreadable_.insert(table.fileName).second) {
            status_.postStatus("     WARNING - Table file " + table.fileName +
                               " could not be read (" + table.error.description + ").");
        }
        if (id == StatTableId::CritW1) {
            status_.postStatus(std::string("     WARNING - Nofind W1, ") + keyField + " = '" + key +
                               "'" + ",  " + formatNumber(alphaVal, "##"));
        } else if (id == StatTableId::CritW) {
            status_.postStatus("     WARNING - Nofind W2");
        } else if (id == StatTableId::CritT) {
            status_.postStatus("     WARNING - Nofind T1");
        } else if (id == StatTableId::CritU) {
            status_.postStatus("     WARNING - Nofind Mann-Whitney");
        } else if (id == StatTableId::Rankit) {
            status_.postStatus("     WARNING - Nofind Rankits lookup");
        } else {
            status_.postStatus("     WARNING - Z Power " + key +
                               " Table Lookup Error.  Power Not reliable.");
            return 0.0;
        }
        return kNotFound;
    }

    std::string column;
    switch (id) {
        case StatTableId::CritW1:
            if (alphaVal <= 0.0 || alphaVal >= 21.0) {
                return 0.0;
            }
            column = "N" + formatNumber(alphaVal, "##");
            break;
        case StatTableId::Rankit: {
            const double rank = numericValue(searchVal);
            if (!(rank > 0.0 && rank < 21.0)) {
                return kNotFound;
            }
            column = "RANK" + formatNumber(rank, "##");
            break;
        }
        case StatTableId::PowerT:
            column = "PCT";
            break;
        default: {
            const char* level = levelColumn(id, alphaVal);
            if (level == nullptr) {
                return kNotFound;
            }
            column = level;
            break;
        }
    }
    // A column the table does not have (a sample size of 1, a rank that rounds to 21) reads
    // as not found, without a warning.
    const int index = StatTables::columnOf(id, column);
    const std::vector<double>& row = table.numbers[static_cast<std::size_t>(rowIndex)];
    if (index < 0 || static_cast<std::size_t>(index) >= row.size()) {
        return kNotFound;
    }
    return row[static_cast<std::size_t>(index)];
}

bool Lookup::rankitRow(int n, std::span<double> out) const {
    if (n < 1 || n > 20 || out.size() < static_cast<std::size_t>(n)) {
        return false;
    }
    const StatTable& table = tables_->table(StatTableId::Rankit);
    const int rowIndex = table.findRowIndex(formatNumber(n, "##"));
    if (rowIndex < 0) {
        return false;
    }
    const std::vector<double>& row = table.numbers[static_cast<std::size_t>(rowIndex)];
    for (int j = 1; j <= n; ++j) {
        const int index = StatTables::columnOf(StatTableId::Rankit, "RANK" + std::to_string(j));
        if (index < 0 || static_cast<std::size_t>(index) >= row.size()) {
            return false;
        }
        out[static_cast<std::size_t>(j - 1)] = row[static_cast<std::size_t>(index)];
    }
    return true;
}

}  // namespace bx
