// SPDX-License-Identifier: MIT
#include "validation/validation.h"

#include <cairo.h>
#include <expat.h>
#include <gnu/libc-version.h>
#include <sys/utsname.h>
#include <zip.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>

#include "base/paths.h"
#include "base/version.h"
#include "reports/report_workbook.h"
#include "statistics/analyze.h"
#include "statistics/decision_trail.h"
#include "tables/stat_tables.h"
#include "tables/table_manifest.h"

namespace bx {

// Written by the build (src/validation/validation_data.cpp.in).
extern const std::string_view kReferenceCasesCsv;
extern const std::string_view kTableValuesCsv;
extern const std::string_view kBuildDate;
extern const std::string_view kBoostVersion;

namespace {

// The fields of one CSV line; a field in double quotes may hold commas ("" is a quote).
std::vector<std::string> csvFields(std::string_view line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c != '\r') {
            fields.back() += c;
        }
    }
    return fields;
}

// The data lines of a CSV with `#` comments, header dropped, each split into fields.
std::vector<std::vector<std::string>> csvRows(std::string_view csv) {
    std::vector<std::vector<std::string>> rows;
    bool header = true;
    std::size_t start = 0;
    while (start < csv.size()) {
        std::size_t end = csv.find('\n', start);
        if (end == std::string_view::npos) {
            end = csv.size();
        }
        const std::string_view line = csv.substr(start, end - start);
        start = end + 1;
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (header) {
            header = false;
            continue;
        }
        rows.push_back(csvFields(line));
    }
    return rows;
}

bool toNumber(const std::string& text, double& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

std::optional<double> optionalNumber(const std::string& text, bool& ok) {
    if (text.empty()) {
        return std::nullopt;
    }
    double value = 0.0;
    ok = ok && toNumber(text, value);
    return value;
}

std::vector<double> numbers(const std::string& text, bool& ok) {
    std::vector<double> values;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        double v = 0.0;
        ok = ok && toNumber(text.substr(start, end - start), v);
        values.push_back(v);
        start = end + 1;
    }
    return values;
}

// Shortest text that reads back as the same double, as the CSV gives it.
std::string exact(double v) {
    char buffer[32];
    const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, ec == std::errc() ? ptr : buffer);
}

std::string fixed(double v, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
    return buffer;
}

std::string significant(double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.10g", v);
    return buffer;
}

// The decimals of a number as written ("2.132" has 3).
int decimalsOf(const std::string& text) {
    const std::size_t point = text.find('.');
    return point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
}

FieldCheck numberCheck(std::string name, double expected, std::optional<double> actual,
                       double tolerance, std::string toleranceText, int decimals = -1) {
    FieldCheck f{std::move(name), exact(expected), "none", std::move(toleranceText), false};
    if (actual) {
        f.actual = decimals >= 0 ? fixed(*actual, decimals) : significant(*actual);
        f.pass = std::fabs(*actual - expected) <= tolerance;
    }
    return f;
}

FieldCheck textCheck(std::string name, std::string expected, std::string actual) {
    const bool pass = expected == actual;
    return {std::move(name), std::move(expected), std::move(actual), "exact", pass};
}

CaseOutcome runCase(const ReferenceCase& rc, const StatTables& tables) {
    CaseOutcome out{rc, {}, {}};
    AnalysisOptions options;
    options.alternative = rc.alternative;
    options.alpha = rc.alpha;
    options.transformation = rc.transformation;
    options.power = rc.powerDifference.has_value();
    options.minimumDifference = rc.powerDifference.value_or(0.0);
    const Comparison c = analyze({rc.test, rc.reference}, options, tables,
                                 rc.overrideNormality ? OverrideAnswer::Yes : OverrideAnswer::No);
    if (c.refusal) {
        out.problem = "refused: " + c.refusal->text.str();
    } else if (c.lookupFailed()) {
        out.problem = "a table had no value for a lookup of the run";
    }
    const bool ran = c.completed();
    out.fields.push_back(textCheck("test", rc.testCode, ran ? std::string(testCode(c)) : "none"));
    const auto value = [ran](double v) { return ran ? std::optional<double>(v) : std::nullopt; };
    // R and the program work in doubles the same way up to the order of the sums: 1e-9 of the
    // statistic leaves room for that and nothing else.
    out.fields.push_back(numberCheck("statistic", rc.statistic, value(c.statistic()),
                                     1e-9 * std::max(1.0, std::fabs(rc.statistic)),
                                     "1e-9 relative"));
    // Critical values are table entries: whole U, or t to the table's three decimals.
    const bool whole = rc.testCode == "mann_whitney";
    out.fields.push_back(numberCheck("critical", rc.critical, value(c.criticalValue()),
                                     whole ? 0.0 : 0.0005, whole ? "exact" : "0.0005",
                                     whole ? 0 : 3));
    const std::optional<int> df = ran ? c.degreesOfFreedom() : std::nullopt;
    out.fields.push_back(textCheck("df", rc.df ? std::to_string(*rc.df) : "none",
                                   df ? std::to_string(*df) : "none"));
    out.fields.push_back(
        numberCheck("p-value", rc.pValue, value(c.pValue()), 1e-9, "1e-9 absolute"));
    out.fields.push_back(textCheck("verdict", rc.rejectNull ? "reject" : "accept",
                                   !ran             ? "none"
                                   : c.acceptNull() ? "accept"
                                                    : "reject"));
    if (rc.powerPercent) {
        out.fields.push_back(numberCheck(
            "power %", *rc.powerPercent,
            c.power ? std::optional<double>(c.power->percent) : std::nullopt, 0.005, "0.005", 2));
    } else {
        out.fields.push_back(textCheck("power %", "none",
                                       c.power ? fixed(c.power->percent, 2) : std::string("none")));
    }
    return out;
}

std::optional<double> tableValue(const StatTables& tables, const TableValue& v) {
    const int first = static_cast<int>(std::lround(v.first));
    const int second = static_cast<int>(std::lround(v.second));
    if (v.table == "Crit_t") {
        return tables.criticalT(first, v.second);
    }
    if (v.table == "CRIT_U") {
        return tables.criticalU(first, second, v.level);
    }
    if (v.table == "crit_w") {
        return tables.criticalW(first, v.second);
    }
    if (v.table == "CRIT_W1") {
        return tables.shapiroWilkCoefficient(first, second);
    }
    if (v.table == "RANKIT") {
        return tables.rankit(first, second);
    }
    if (v.table == "POWERT") {
        return tables.powerPercent(v.first);
    }
    return std::nullopt;
}

std::string librariesText(const std::string& frontEnd) {
    std::string text = frontEnd.empty() ? std::string() : frontEnd + ", ";
    text += "nlohmann-json " + std::to_string(NLOHMANN_JSON_VERSION_MAJOR) + "." +
            std::to_string(NLOHMANN_JSON_VERSION_MINOR) + "." +
            std::to_string(NLOHMANN_JSON_VERSION_PATCH);
    text += ", libzip " + std::string(zip_libzip_version());
    text += ", " + std::string(XML_ExpatVersion());
    text += ", libxlsxwriter " + workbookLibraryVersion();
    text += ", cairo " + std::string(cairo_version_string()) + " (PDF)";
    text += ", Boost " + std::string(kBoostVersion) + " (tables)";
    text += ", glibc " + std::string(gnu_get_libc_version());
    return text;
}

Environment environment(const std::string& programFolder, const FrontEnd& frontEnd) {
    Environment e;
    e.version = frontEnd.program + " " + kVersion;
    e.releaseDate = kReleaseDateIso;
    e.buildDate = kBuildDate;
#if defined(__clang__)
    e.compiler = "Clang " __clang_version__;
#elif defined(__GNUC__)
    e.compiler = "GCC " __VERSION__;
#else
    e.compiler = "unknown";
#endif
#if defined(_GLIBCXX_RELEASE)
    e.compiler += ", libstdc++ " + std::to_string(_GLIBCXX_RELEASE);
#endif
    e.libraries = librariesText(frontEnd.libraries);
    e.executable = frontEnd.executable;
    if (e.executable.empty()) {
        std::error_code ec;
        e.executable = std::filesystem::read_symlink("/proc/self/exe", ec).string();
    }
    e.programFolder = programFolder;
    utsname u{};
    if (uname(&u) == 0) {
        e.system = std::string(u.sysname) + " " + u.release + " " + u.machine;
    }
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M UTC", &tm);
    e.dateTime = buffer;
    return e;
}

}  // namespace

std::vector<ReferenceCase> parseReferenceCases(std::string_view csv, std::string& error) {
    std::vector<ReferenceCase> cases;
    for (const std::vector<std::string>& f : csvRows(csv)) {
        bool ok = f.size() == 16;
        ReferenceCase c;
        if (ok) {
            double id = 0.0;
            ok = toNumber(f[0], id);
            c.id = static_cast<int>(id);
            c.path = f[1];
            c.test = numbers(f[2], ok);
            c.reference = numbers(f[3], ok);
            const std::optional<Alternative> alternative = alternativeNamed(f[4]);
            const std::optional<Transformation> transformation = transformationNamed(f[6]);
            ok = ok && alternative && transformation && toNumber(f[5], c.alpha);
            c.alternative = alternative.value_or(Alternative::Less);
            c.transformation = transformation.value_or(Transformation::None);
            c.powerDifference = optionalNumber(f[7], ok);
            c.overrideNormality = f[8] == "yes";
            c.testCode = f[9];
            ok = ok && toNumber(f[10], c.statistic) && toNumber(f[11], c.critical);
            if (const std::optional<double> df = optionalNumber(f[12], ok)) {
                c.df = static_cast<int>(*df);
            }
            ok = ok && toNumber(f[13], c.pValue);
            c.rejectNull = f[14] == "true";
            c.powerPercent = optionalNumber(f[15], ok);
        }
        if (!ok) {
            error = "reference case " + std::to_string(cases.size() + 1) + " cannot be read";
            return {};
        }
        cases.push_back(std::move(c));
    }
    return cases;
}

std::vector<TableValue> parseTableValues(std::string_view csv, std::string& error) {
    std::vector<TableValue> values;
    for (const std::vector<std::string>& f : csvRows(csv)) {
        bool ok = f.size() == 6;
        TableValue v;
        if (ok) {
            v.table = f[0];
            ok = toNumber(f[1], v.first);
            v.second = optionalNumber(f[2], ok).value_or(0.0);
            v.level = optionalNumber(f[3], ok).value_or(0.0);
            double check = 0.0;
            ok = ok && toNumber(f[4], check);
            v.expected = f[4];
            v.source = f[5];
        }
        if (!ok) {
            error = "table value " + std::to_string(values.size() + 1) + " cannot be read";
            return {};
        }
        values.push_back(std::move(v));
    }
    return values;
}

const std::vector<ReferenceCase>& builtInReferenceCases() {
    static const std::vector<ReferenceCase> cases = [] {
        std::string error;
        return parseReferenceCases(kReferenceCasesCsv, error);
    }();
    return cases;
}

const std::vector<TableValue>& builtInTableValues() {
    static const std::vector<TableValue> values = [] {
        std::string error;
        return parseTableValues(kTableValuesCsv, error);
    }();
    return values;
}

bool CaseOutcome::pass() const {
    return problem.empty() &&
           std::all_of(fields.begin(), fields.end(), [](const FieldCheck& f) { return f.pass; });
}

int ValidationResult::casesPassed() const {
    return static_cast<int>(
        std::count_if(cases.begin(), cases.end(), [](const CaseOutcome& c) { return c.pass(); }));
}

int ValidationResult::tableValuesPassed() const {
    return static_cast<int>(std::count_if(tableValues.begin(), tableValues.end(),
                                          [](const TableValueOutcome& v) { return v.pass; }));
}

bool ValidationResult::filesIntact() const {
    return manifestProblem.empty() && !files.empty() &&
           std::all_of(files.begin(), files.end(), [](const FileOutcome& f) { return f.pass(); });
}

bool ValidationResult::passed() const {
    return filesIntact() && !cases.empty() && casesPassed() == static_cast<int>(cases.size()) &&
           tableValuesPassed() == static_cast<int>(tableValues.size());
}

std::string ValidationResult::summary() const {
    std::string text = std::to_string(casesPassed()) + " of " + std::to_string(cases.size()) +
                       " reference comparisons agree; " + std::to_string(tableValuesPassed()) +
                       " of " + std::to_string(tableValues.size()) + " table values as published; ";
    if (!manifestProblem.empty()) {
        return text + manifestProblem;
    }
    const auto damaged =
        std::count_if(files.begin(), files.end(), [](const FileOutcome& f) { return !f.pass(); });
    if (damaged == 0) {
        return text + "all " + std::to_string(files.size()) + " tables and templates intact";
    }
    std::string names;
    for (const FileOutcome& f : files) {
        if (!f.pass()) {
            names += (names.empty() ? "" : ", ") + f.fileName + " (" + f.problem + ")";
        }
    }
    return text + std::to_string(damaged) + " of " + std::to_string(files.size()) +
           " tables and templates not as installed: " + names;
}

ValidationResult validateInstallation(const std::string& programFolder, const FrontEnd& frontEnd,
                                      const std::vector<ReferenceCase>& cases,
                                      const std::vector<TableValue>& tableValues) {
    ValidationResult result;
    result.environment = environment(programFolder, frontEnd);

    std::vector<ManifestEntry> manifest;
    if (TableError error = readTableManifest(programFolder, manifest)) {
        result.manifestProblem = "the manifest " + joinPath(programFolder, kTableManifestName) +
                                 " cannot be read: " + error.description;
    } else if (manifest.empty()) {
        result.manifestProblem = "the manifest lists no tables";
    }
    for (const ManifestEntry& entry : manifest) {
        FileOutcome f{entry.fileName, std::to_string(entry.size), entry.sha256, "", "", ""};
        ManifestEntry found;
        if (describeFile(joinPath(programFolder, entry.fileName), found)) {
            f.problem = "missing or unreadable";
        } else {
            f.actualSize = std::to_string(found.size);
            f.actualSha256 = found.sha256;
            if (found.size != entry.size) {
                f.problem = "size differs";
            } else if (found.sha256 != entry.sha256) {
                f.problem = "checksum differs";
            }
        }
        result.files.push_back(std::move(f));
    }

    const std::shared_ptr<const StatTables> tables = StatTables::load(programFolder);
    for (const TableValue& v : tableValues) {
        TableValueOutcome o{v, "none", "", false};
        const int decimals = decimalsOf(v.expected);
        const double tolerance = 0.5 * std::pow(10.0, -decimals);
        o.tolerance = decimals == 0 ? "exact" : fixed(tolerance, decimals + 1);
        double expected = 0.0;
        toNumber(v.expected, expected);
        if (const std::optional<double> actual = tableValue(*tables, v)) {
            o.actual = fixed(*actual, decimals);
            o.pass = std::fabs(*actual - expected) < tolerance;
        }
        result.tableValues.push_back(std::move(o));
    }
    for (const ReferenceCase& c : cases) {
        result.cases.push_back(runCase(c, *tables));
    }
    return result;
}

std::string validationNumber(double value) {
    return exact(value);
}

std::string caseOptionsText(const ReferenceCase& c) {
    std::string text = std::string(alternativeCode(c.alternative)) + ", " + exact(c.alpha) + ", " +
                       std::string(transformationCode(c.transformation));
    if (c.powerDifference) {
        text += ", power D " + exact(*c.powerDifference);
    }
    if (c.overrideNormality) {
        text += ", override";
    }
    return text;
}

}  // namespace bx
