// SPDX-License-Identifier: MIT
#pragma once
// The installation and operational qualification that `benthix-cli validate` and the window's
// Help > Validate Installation run: the installed tables and templates against their manifest,
// table values against the published tables, and a fixed set of reference comparisons whose
// expected values were computed outside the program (validation/reference.R, embedded at build
// time), each compared field by field.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/analysis_types.h"

namespace bx {

// One reference comparison: its inputs and what R found.
struct ReferenceCase {
    int id = 0;
    std::string path;  // the branch of the decision tree it is meant to take
    std::vector<double> test;
    std::vector<double> reference;
    Alternative alternative = Alternative::Less;
    double alpha = 0.05;
    Transformation transformation = Transformation::None;
    std::optional<double> powerDifference;
    bool overrideNormality = false;
    // Expected
    std::string testCode;  // "student_t", "approximate_t", "mann_whitney", "rankit_t", ...
    double statistic = 0.0;
    double critical = 0.0;
    std::optional<int> df;
    double pValue = 0.0;
    bool rejectNull = false;
    std::optional<double> powerPercent;
};

// One value of a statistical table against the published number.
struct TableValue {
    std::string table;     // "Crit_t", "CRIT_U", "crit_w", "CRIT_W1", "RANKIT", "POWERT"
    double first = 0.0;    // df, n, n1 or z
    double second = 0.0;   // level, i or n2 (unused for POWERT)
    double level = 0.0;    // CRIT_U's alpha
    std::string expected;  // as published, with its decimals
    std::string source;
};

// The embedded lists; an error names the line that cannot be read.
std::vector<ReferenceCase> parseReferenceCases(std::string_view csv, std::string& error);
std::vector<TableValue> parseTableValues(std::string_view csv, std::string& error);
const std::vector<ReferenceCase>& builtInReferenceCases();
const std::vector<TableValue>& builtInTableValues();

struct FieldCheck {
    std::string name;
    std::string expected;
    std::string actual;
    std::string tolerance;
    bool pass = false;
};

struct CaseOutcome {
    ReferenceCase reference;
    std::vector<FieldCheck> fields;
    std::string problem;  // the analysis refused, or a table lookup missed
    bool pass() const;
};

struct TableValueOutcome {
    TableValue value;
    std::string actual;
    std::string tolerance;
    bool pass = false;
};

struct FileOutcome {
    std::string fileName;
    std::string expectedSize, expectedSha256;
    std::string actualSize, actualSha256;
    std::string problem;  // "missing", "size differs", "checksum differs"
    bool pass() const { return problem.empty(); }
};

struct Environment {
    std::string version, releaseDate, buildDate, compiler, libraries, executable, programFolder,
        system, dateTime;
};

struct ValidationResult {
    Environment environment;
    std::string manifestProblem;  // the manifest cannot be read or lists nothing
    std::vector<FileOutcome> files;
    std::vector<TableValueOutcome> tableValues;
    std::vector<CaseOutcome> cases;

    int casesPassed() const;
    int tableValuesPassed() const;
    bool filesIntact() const;
    bool passed() const;
    // "82 of 82 reference comparisons agree; 17 of 17 table values as published; all 10 tables
    // and templates intact".
    std::string summary() const;
};

// Who runs the validation: the program's name ("benthix-cli") and the libraries of the front end
// that are not the core's ("CLI11 2.1.2"); `executable` empty for the running program's path.
struct FrontEnd {
    std::string program;
    std::string libraries;
    std::string executable;
};

// Runs every check on the tables of `programFolder`.
ValidationResult validateInstallation(const std::string& programFolder, const FrontEnd& frontEnd,
                                      const std::vector<ReferenceCase>& cases,
                                      const std::vector<TableValue>& tableValues);

// The shortest text that reads back as `value` ("0.05", "-4.00951412194595").
std::string validationNumber(double value);

// The name of the alternative, the level and the transformation of a case, e.g.
// "less, 0.05, log10".
std::string caseOptionsText(const ReferenceCase& c);

}  // namespace bx
