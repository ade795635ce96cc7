// benthix-cli batch on a survey of two endpoints, each with its own settings from a plan: every
// comparison as a separate `analyze` gives it, the adjusted p-values per family and over the
// survey, and what standard error says.
//
// Expected values: survival is compared on the arcsine of percentages at alpha 0.05, growth
// untransformed at alpha 0.1; R 4.2.2:
//   x <- asin(sqrt(c(80,70,75,85)/100)); y <- asin(sqrt(c(90,95,85,92)/100))
//   t.test(x, y, alternative="less", var.equal=TRUE)            t = -3.4489866794318,
//                                                               p = 0.0068249532254428
//   t.test(c(.40,.42,.39,.47), c(.45,.50,.48,.52), alternative="less",
//          var.equal=TRUE)$p.value                              0.013563216860449336
//   p.adjust(c(0.0068249532254427625, 0.33718807066096734, 0.0002745013927908303), "holm")
//     0.0136499064508855249 0.3371880706609673428 0.0008235041783724909
//   p.adjust(c(0.013563216860449341, 5.505746243873212e-05, 0.5517382694719757), "holm")
//     0.02712643372089868291 0.00016517238731619636 0.55173826947197568416
//   p.adjust(all six, "holm")
//     0.02729981290177104988 0.67437614132193468564 0.00137250696395415164
//     0.04068965058134802609 0.00033034477463239273 0.67437614132193468564
#include <gtest/gtest.h>

#include <fstream>

#include "cli/cli_fixture.h"
#include "cli/exit_status.h"

namespace bx::cli {
namespace {

using test::runInProcess;

const std::vector<std::pair<std::string, std::vector<const char*>>> kSurvival{
    {"REF", {"90", "95", "85", "92"}},
    {"A", {"80", "70", "75", "85"}},
    {"B", {"88", "91", "86", "93"}},
    {"C", {"60", "72", "65", "70"}}};
const std::vector<std::pair<std::string, std::vector<const char*>>> kGrowth{
    {"REF", {"0.45", "0.50", "0.48", "0.52"}},
    {"A", {"0.40", "0.42", "0.39", "0.47"}},
    {"B", {"0.30", "0.35", "0.32", "0.33"}},
    {"C", {"0.51", "0.46", "0.49", "0.50"}}};

std::string survey() {
    std::string text = "station,endpoint,rep,value\n";
    for (const auto& [endpoint, stations] :
         {std::pair{"survival", &kSurvival}, std::pair{"growth", &kGrowth}}) {
        for (const auto& [station, values] : *stations) {
            for (std::size_t r = 0; r < values.size(); ++r) {
                text +=
                    station + "," + endpoint + "," + std::to_string(r + 1) + "," + values[r] + "\n";
            }
        }
    }
    return text;
}

std::string join(const std::vector<const char*>& values) {
    std::string text;
    for (const char* v : values) {
        text += (text.empty() ? "" : ",") + std::string(v);
    }
    return text;
}

std::vector<nlohmann::json> jsonLines(const std::string& text) {
    std::vector<nlohmann::json> rows;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        rows.push_back(nlohmann::json::parse(text.substr(start, end - start)));
        start = end + 1;
    }
    return rows;
}

struct Files {
    std::string survey;
    std::string plan;
};

Files writeFiles(const std::string& name, const std::string& plan) {
    const std::filesystem::path dir = bx::test::freshScratch(name);
    Files f{(dir / "survey.csv").string(), (dir / "plan.csv").string()};
    std::ofstream(f.survey) << survey();
    std::ofstream(f.plan) << plan;
    return f;
}

const char* const kPlan =
    "endpoint,reference,transform,alpha\nsurvival,REF,arcsine,0.05\ngrowth,REF,none,0.1\n";

TEST(SurveyPlan, EachComparisonAsAnalyzeGivesItAndHolmPerFamily) {
    const Files f = writeFiles("survey-plan", kPlan);
    const auto r = runInProcess("survey-plan-run", {"batch", f.survey, "--plan", f.plan,
                                                    "--p-adjust", "holm", "--format", "jsonl"});
    ASSERT_EQ(r.status, kExitRan) << r.err;
    EXPECT_EQ(r.err,
              "benthix-cli: 6 comparisons: 6 ok, 0 with warnings, 0 refused; 4 reject the null\n");
    const std::vector<nlohmann::json> rows = jsonLines(r.out);
    ASSERT_EQ(rows.size(), 6U);

    const double holm[] = {0.0136499064508855249,  0.3371880706609673428,  0.0008235041783724909,
                           0.02712643372089868291, 0.00016517238731619636, 0.55173826947197568416};
    std::size_t k = 0;
    for (const auto& [endpoint, stations] :
         {std::pair{"survival", &kSurvival}, std::pair{"growth", &kGrowth}}) {
        const bool survival = std::string(endpoint) == "survival";
        for (std::size_t s = 1; s < stations->size(); ++s, ++k) {
            const nlohmann::json& row = rows[k];
            EXPECT_EQ(row["group"]["endpoint"], endpoint);
            EXPECT_EQ(row["sample"], (*stations)[s].first);
            EXPECT_EQ(row["reference"], "REF");
            const auto single = runInProcess(
                "survey-plan-single",
                {"analyze", "--test", join((*stations)[s].second), "--reference",
                 join((*stations)[0].second), "--transform", survival ? "arcsine" : "none",
                 "--alpha", survival ? "0.05" : "0.1", "--json"});
            const nlohmann::json alone = single.json()["result"];
            for (const char* key : {"test", "transformation", "alpha", "statistic",
                                    "critical_value", "p_value", "reject_null", "test_summary"}) {
                EXPECT_EQ(row[key], alone[key]) << endpoint << " " << row["sample"] << " " << key;
            }
            EXPECT_NEAR(row["p_adjusted"].get<double>(), holm[k], 1e-15 * holm[k]) << k;
            EXPECT_EQ(row["reject_null_adjusted"], holm[k] <= (survival ? 0.05 : 0.1)) << k;
        }
    }
    // Survival's A against R: t on the arcsine of percentages.
    EXPECT_NEAR(rows[0]["statistic"].get<double>(), 3.4489866794318, 1e-12);
    EXPECT_NEAR(rows[0]["p_value"].get<double>(), 0.0068249532254428, 1e-15);

    // Over the whole survey, all six p-values are one family.
    const auto all =
        runInProcess("survey-plan-all", {"batch", f.survey, "--plan", f.plan, "--p-adjust", "holm",
                                         "--p-adjust-over", "all", "--quiet"});
    const double holmAll[] = {0.02729981290177104988, 0.67437614132193468564,
                              0.00137250696395415164, 0.04068965058134802609,
                              0.00033034477463239273, 0.67437614132193468564};
    std::istringstream lines(all.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line.substr(line.size() - 31), "P_ADJUSTED,REJECT_NULL_ADJUSTED");
    for (const double expected : holmAll) {
        ASSERT_TRUE(std::getline(lines, line));
        const std::size_t comma = line.rfind(',');
        const std::size_t before = line.rfind(',', comma - 1);
        EXPECT_NEAR(std::stod(line.substr(before + 1, comma - before - 1)), expected,
                    1e-15 * expected);
    }
    EXPECT_EQ(all.err, "");
}

// The command line fills what the plan leaves open; mistakes in the plan stop the batch before
// any comparison runs, naming the group or the line.
TEST(SurveyPlan, GapsAndMistakes) {
    Files f = writeFiles("survey-plan-gaps", "endpoint,transform\nsurvival,arcsine\n");
    auto r = runInProcess("survey-plan-gaps-run",
                          {"batch", f.survey, "--plan", f.plan, "--reference", "REF", "--quiet"});
    EXPECT_EQ(r.status, kExitRan) << r.err;
    EXPECT_NE(r.out.find(",arcsine,"), std::string::npos);
    EXPECT_NE(r.out.find(",none,"), std::string::npos);

    r = runInProcess("survey-plan-noref", {"batch", f.survey, "--plan", f.plan});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_EQ(r.err,
              "benthix-cli: no reference sample for endpoint \"survival\" (give --reference, or "
              "a reference in the plan)\n"
              "benthix-cli: no reference sample for endpoint \"growth\" (give --reference, or a "
              "reference in the plan)\n"
              "benthix-cli: no comparison was run\n");
    EXPECT_EQ(r.out, "");

    f = writeFiles("survey-plan-extra", std::string(kPlan) + "reproduction,REF,log10,0.05\n");
    r = runInProcess("survey-plan-extra-run", {"batch", f.survey, "--plan", f.plan});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_EQ(r.err,
              "benthix-cli: the plan's line 4 is for endpoint \"reproduction\", which the survey "
              "does not hold\nbenthix-cli: no comparison was run\n");

    // A refused comparison is counted, with its name and reason, before the closing line.
    f = writeFiles("survey-plan-refused", kPlan);
    std::ofstream(f.survey, std::ios::app) << "D,growth,1,0.5\n";
    r = runInProcess("survey-plan-refused-run", {"batch", f.survey, "--plan", f.plan});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_EQ(r.err,
              "benthix-cli: 1 of 7 comparisons was refused: D/growth: Sample Data entry "
              "incomplete.\n"
              "benthix-cli: 7 comparisons: 6 ok, 0 with warnings, 1 refused; 4 reject the null\n");
}

}  // namespace
}  // namespace bx::cli
