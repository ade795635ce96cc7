// SPDX-License-Identifier: MIT
// One comparison of a survey as the runner makes it: the analysis' warnings, in either spelling
// the analysis writes them, go with the comparison's messages and make its STATUS a warning.
#include <gtest/gtest.h>

#include "support/test_support.h"
#include "survey/runner.h"

namespace bx {
namespace {

SurveySample sampleOf(const std::string& id, const std::vector<std::string>& values) {
    SurveySample s;
    s.id = id;
    s.values = values;
    s.valueLines.assign(values.size(), 2);
    s.firstLine = 2;
    return s;
}

// Crit_t without the row for df 4: 10,11,12 against 14,15,16 (Levene's test and Student's t,
// both df 4) finds no critical t, and the lookup says so in capitals ("WARNING - Nofind T1").
TEST(ComparisonRunner, TableLookupWarningsReachTheMessagesAndStatus) {
    const auto tables = StatTables::withRows(test::generatedTables(), StatTableId::CritT,
                                             {{"6", "1", "1", "1.943", "2.447"}});
    ComparisonSettings settings;
    settings.reference = "R";
    const SurveySample reference = sampleOf("R", {"14", "15", "16"});
    const SurveySample sample = sampleOf("S", {"10", "11", "12"});
    const ComparisonRunner runner(tables, settings, &reference);
    const ComparisonResult r = runner.run(sample, false);
    EXPECT_NE(r.messages.find("WARNING - Nofind T1"), std::string::npos) << r.messages;
    EXPECT_NE(r.status, ComparisonStatus::Ok);
}

}  // namespace
}  // namespace bx
