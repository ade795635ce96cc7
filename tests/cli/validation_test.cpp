// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/exit_status.h"
#include "cli/validate_command.h"
#include "support/test_support.h"
#include "validation/validation.h"

namespace bx::cli {
namespace {

namespace fs = std::filesystem;

// A copy of the build's program folder (tables, templates, manifest) to damage.
fs::path copiedProgramFolder(const std::string& name) {
    const fs::path folder = test::freshScratch(name);
    for (const fs::directory_entry& e : fs::directory_iterator(test::programFolder())) {
        const std::string ext = e.path().extension().string();
        if (e.is_regular_file() && (ext == ".dbf" || ext == ".manifest")) {
            fs::copy_file(e.path(), folder / e.path().filename());
        }
    }
    return folder;
}

const CaseOutcome& caseNumbered(const ValidationResult& r, int id) {
    for (const CaseOutcome& c : r.cases) {
        if (c.reference.id == id) {
            return c;
        }
    }
    throw std::runtime_error("no case " + std::to_string(id));
}

// The build's own tables pass every reference comparison R computed, every published table
// value and the manifest; the text ends with the summary and the verdict.
TEST(Validation, TheBuildPassesEveryCheck) {
    const std::vector<ReferenceCase>& cases = builtInReferenceCases();
    ASSERT_GE(cases.size(), 60U);
    const ValidationResult r = validateInstallation(test::programFolder(), {"benthix-cli", "", ""},
                                                    cases, builtInTableValues());
    for (const CaseOutcome& c : r.cases) {
        EXPECT_TRUE(c.pass()) << "case " << c.reference.id << " " << c.problem;
    }
    EXPECT_TRUE(r.passed()) << r.summary();
    EXPECT_EQ(r.summary(), std::to_string(cases.size()) + " of " + std::to_string(cases.size()) +
                               " reference comparisons agree; 27 of 27 table values as "
                               "published; all 10 tables and templates intact");
}

// A changed expected value fails its case and names the field; one changed byte of a table
// fails the manifest check naming the file, and every comparison, since the analysis refuses
// damaged tables. validate then exits 1, and its report says so.
TEST(Validation, AChangedValueOrADamagedTableFailsAndIsNamed) {
    std::vector<ReferenceCase> cases = builtInReferenceCases();
    cases.at(0).statistic += 0.001;
    ValidationResult r = validateInstallation(test::programFolder(), {"benthix-cli", "", ""}, cases,
                                              builtInTableValues());
    EXPECT_FALSE(r.passed());
    EXPECT_EQ(r.casesPassed(), static_cast<int>(cases.size()) - 1);
    const CaseOutcome& changed = caseNumbered(r, cases.at(0).id);
    ASSERT_FALSE(changed.pass());
    std::vector<std::string> failed;
    for (const FieldCheck& f : changed.fields) {
        if (!f.pass) {
            failed.push_back(f.name);
        }
    }
    EXPECT_EQ(failed, std::vector<std::string>{"statistic"});

    const fs::path folder = copiedProgramFolder("validation-damaged");
    {
        std::fstream table(folder / "Crit_t.dbf", std::ios::in | std::ios::out | std::ios::binary);
        table.seekp(400);
        table.put('9');
    }
    r = validateInstallation(folder.string(), {"benthix-cli", "", ""}, builtInReferenceCases(),
                             builtInTableValues());
    EXPECT_FALSE(r.passed());
    EXPECT_EQ(r.casesPassed(), 0);
    EXPECT_NE(r.summary().find("1 of 10 tables and templates not as installed: Crit_t.dbf "
                               "(checksum differs)"),
              std::string::npos)
        << r.summary();

    std::ostringstream out, err;
    const fs::path report = folder / "validation.html";
    EXPECT_EQ(runValidate({report.string(), false}, {folder.string(), folder.string()}, out, err),
              kExitRefused);
    std::ifstream html(report);
    const std::string text((std::istreambuf_iterator<char>(html)), {});
    EXPECT_NE(text.find("VALIDATION FAILED"), std::string::npos);
    EXPECT_NE(out.str().find("FAIL  Crit_t.dbf"), std::string::npos);
}

}  // namespace
}  // namespace bx::cli
