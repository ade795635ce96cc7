#include "cli/command_line.h"

#include <CLI/CLI.hpp>
#include <istream>
#include <ostream>

#include "base/text_format.h"
#include "cli/analyze_command.h"
#include "cli/batch_command.h"
#include "cli/exit_status.h"

namespace bx::cli {
namespace {

const std::vector<std::string> kAlternatives{"x1 < x2", "x1 > x2"};
const std::vector<std::string> kAlphaLevels{"0.05", "0.1"};
const std::vector<std::string> kTransforms{"No Transformation", "ArcSin", "Sqr Root (x + .375)",
                                           "Log10 (x + 1.0)"};

// The texts of one options group as they are read from the command line.
struct OptionTexts {
    std::string alternative, alpha, transform, powerDifference, overrideAnswer;
    bool oneSample = false;
    CLI::Option* alternativeOpt = nullptr;
    CLI::Option* alphaOpt = nullptr;
    CLI::Option* transformOpt = nullptr;
    CLI::Option* powerOpt = nullptr;
    CLI::Option* overrideOpt = nullptr;

    AnalysisOptions options() const {
        AnalysisOptions o;
        if (alternativeOpt->count() > 0) {
            o.alternative = alternative;
        }
        if (alphaOpt->count() > 0) {
            o.alpha = alpha;
        }
        if (transformOpt->count() > 0) {
            o.transform = transform;
        }
        if (powerOpt->count() > 0) {
            o.powerDifference = powerDifference;
        }
        if (overrideOpt->count() > 0) {
            o.overrideAnswer = overrideAnswer == "yes";
        }
        o.oneSample = oneSample;
        return o;
    }
};

const CLI::Validator kNumber(
    [](const std::string& text) {
        const LeadingNumber n = parseLeadingNumber(text);
        return n.found && n.wholeText ? std::string() : "not a number: " + text;
    },
    "NUMBER");

const CLI::Validator kAtMostTenTexts(
    [](const std::string& text) {
        return splitCellTexts(text).size() <= static_cast<std::size_t>(kMaxReplicates)
                   ? std::string()
                   : "more than " + std::to_string(kMaxReplicates) + " values: " + text;
    },
    "TEXTS");

void addAnalysisOptions(CLI::App& cmd, OptionTexts& t) {
    t.alternativeOpt = cmd.add_option("--alternative", t.alternative,
                                      "Alternate hypothesis (picking it sets the null)")
                           ->check(CLI::IsMember(kAlternatives));
    t.alphaOpt =
        cmd.add_option("--alpha", t.alpha, "Alpha level")->check(CLI::IsMember(kAlphaLevels));
    t.transformOpt = cmd.add_option("--transform", t.transform, "Transformation method")
                         ->check(CLI::IsMember(kTransforms));
    t.powerOpt = cmd.add_option("--power-difference", t.powerDifference,
                                "Switch Power Calculations on with this minimum difference")
                     ->check(kNumber);
    t.overrideOpt = cmd.add_option("--override", t.overrideAnswer,
                                   "Switch Normality Override on and answer its question")
                        ->check(CLI::IsMember({"yes", "no"}));
    cmd.add_flag("--one-sample", t.oneSample, "Switch 1 Sample T-Test on");
}

}  // namespace

int runCommandLine(const std::vector<std::string>& args, const CliEnvironment& env) {
    CLI::App app("Benthix: compares a test treatment with a reference treatment.", "benthix-cli");
    app.set_version_flag("--version", std::string("benthix-cli ") + BX_VERSION);
    app.require_subcommand(1);
    app.failure_message(CLI::FailureMessage::help);

    // analyze
    CLI::App* analyze = app.add_subcommand("analyze", "Run one analysis and print the results");
    AnalyzeRequest analyzeRequest;
    OptionTexts analyzeOptions;
    std::string testTexts, referenceTexts;
    CLI::Option* testOpt =
        analyze
            ->add_option("--test", testTexts,
                         "Test sample: the Data cells from row 1 down, comma-separated")
            ->check(kAtMostTenTexts);
    CLI::Option* referenceOpt =
        analyze
            ->add_option("--reference", referenceTexts,
                         "Reference sample: the Data cells from row 1 down, comma-separated")
            ->check(kAtMostTenTexts);
    addAnalysisOptions(*analyze, analyzeOptions);
    analyze->add_flag("--json", analyzeRequest.json, "Print one JSON object");
    analyze->add_flag("--explain", analyzeRequest.explain,
                      "Say why the test was chosen, step by step with the numbers");
    CLI::Option* loadOpt =
        analyze->add_option("--load", analyzeRequest.load, "File > Load From this file first");
    loadOpt->excludes(testOpt)->excludes(referenceOpt);
    analyze->add_option("--save", analyzeRequest.save,
                        "File > Save As to this file once entries and options are in place");
    CLI::Option* analyzeDetailed =
        analyze->add_option("--detailed-log", analyzeRequest.detailedLog,
                            "Log > Begin Detail Data Logging on this new file before the run");
    CLI::Option* analyzeSummary =
        analyze->add_option("--summary-log", analyzeRequest.summaryLog,
                            "Log > Begin Summary Log File on this new file before the run");
    analyze
        ->add_option("--append-detailed-log", analyzeRequest.sharedDetailedLog,
                     "Add the run to this detailed log (made when missing); other programs may "
                     "add to it at the same time")
        ->excludes(analyzeDetailed);
    analyze
        ->add_option("--append-summary-log", analyzeRequest.sharedSummaryLog,
                     "Add the run to this summary log (made when missing); other programs may "
                     "add to it at the same time")
        ->excludes(analyzeSummary);
    analyze->add_option("--report", analyzeRequest.report,
                        "File > Report to this file (.csv and .xlsx) instead of Execute");

    // batch
    CLI::App* batch =
        app.add_subcommand("batch", "Compare every sample of a survey with one reference");
    BatchRequest batchRequest;
    OptionTexts batchOptions;
    batch
        ->add_option("input", batchRequest.input,
                     "Survey CSV with the columns sample and value (\"-\": standard input)")
        ->required();
    batch->add_option("--reference", batchRequest.reference, "Id of the reference sample")
        ->required();
    addAnalysisOptions(*batch, batchOptions);
    batch->add_option("--output", batchRequest.output, "Results CSV (default: standard output)");
    CLI::Option* batchSummary =
        batch->add_option("--summary-log", batchRequest.summaryLog,
                          "Write every comparison into this new summary log");
    CLI::Option* batchDetailed =
        batch->add_option("--detailed-log", batchRequest.detailedLog,
                          "Write every comparison into this new detailed log");
    batch
        ->add_option("--append-summary-log", batchRequest.sharedSummaryLog,
                     "Add every comparison to this summary log (made when missing); other "
                     "programs may add to it at the same time")
        ->excludes(batchSummary);
    batch
        ->add_option("--append-detailed-log", batchRequest.sharedDetailedLog,
                     "Add every comparison to this detailed log (made when missing); other "
                     "programs may add to it at the same time")
        ->excludes(batchDetailed);
    batch->add_option("--jobs", batchRequest.jobs, "Threads to spread the comparisons over")
        ->check(CLI::Range(1, 64));
    std::string formatText = "csv";
    batch
        ->add_option("--format", formatText,
                     "csv: the summary fields, STATUS and the typed columns (default); jsonl: one "
                     "JSON result object per comparison")
        ->check(CLI::IsMember({"csv", "jsonl"}));
    std::string pAdjustText;
    batch
        ->add_option("--p-adjust", pAdjustText,
                     "Add the p-values adjusted over the comparisons of the batch (holm or "
                     "bonferroni); the results are written when the last comparison is done")
        ->check(CLI::IsMember({"holm", "bonferroni"}));

    std::vector<const char*> argv;
    argv.reserve(args.size());
    for (const std::string& a : args) {
        argv.push_back(a.c_str());
    }
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e, env.out, env.err);
        return code == static_cast<int>(CLI::ExitCodes::Success) ? kExitRan : kExitUsage;
    }

    if (analyze->parsed()) {
        analyzeRequest.options = analyzeOptions.options();
        if (testOpt->count() > 0) {
            analyzeRequest.test = testTexts;
        }
        if (referenceOpt->count() > 0) {
            analyzeRequest.reference = referenceTexts;
        }
        return runAnalyze(analyzeRequest, env.folders, env.out, env.err);
    }
    batchRequest.options = batchOptions.options();
    batchRequest.format = formatText == "jsonl" ? BatchFormat::Jsonl : BatchFormat::Csv;
    batchRequest.pAdjust = pAdjustText == "holm"         ? PAdjust::Holm
                           : pAdjustText == "bonferroni" ? PAdjust::Bonferroni
                                                         : PAdjust::None;
    return runBatch(batchRequest, env.folders, env.in, env.out, env.err, env.errIsTerminal);
}

}  // namespace bx::cli
