// SPDX-License-Identifier: MIT
#include "cli/command_line.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cmath>
#include <istream>
#include <optional>
#include <ostream>
#include <utility>

#include "base/text_format.h"
#include "base/version.h"
#include "cli/analyze_command.h"
#include "cli/batch_command.h"
#include "cli/completion.h"
#include "cli/exit_status.h"
#include "cli/validate_command.h"

namespace bx::cli {
namespace {

const std::vector<std::string> kAlphaLevels{"0.05", "0.1"};
const std::vector<std::string> kYesNo{"yes", "no"};
const std::vector<std::string> kDelimiterWords{"comma", "semicolon", "tab"};
const std::vector<std::string> kBatchFormats{"csv", "jsonl"};
const std::vector<std::string> kPAdjustMethods{"holm", "bonferroni"};
const std::vector<std::string> kPAdjustFamilies{"group", "all"};

// The choices of --alternative and --transform: a short word or the window's caption, both
// standing for the caption.
std::vector<std::pair<std::string, std::string>> alternativeChoices() {
    std::vector<std::pair<std::string, std::string>> choices;
    for (const AlternativeInfo& a : kAlternatives) {
        choices.emplace_back(a.code, a.caption);
    }
    return choices;
}

std::vector<std::pair<std::string, std::string>> transformationChoices() {
    std::vector<std::pair<std::string, std::string>> choices;
    for (const TransformationInfo& t : kTransformations) {
        choices.emplace_back(t.code, t.caption);
    }
    return choices;
}

const std::vector<std::pair<std::string, std::string>> kAlternativeChoices = alternativeChoices();
const std::vector<std::pair<std::string, std::string>> kTransforms = transformationChoices();

// The caption that `text` names among `choices`, or std::nullopt.
std::optional<std::string> captionOf(
    const std::vector<std::pair<std::string, std::string>>& choices, const std::string& text) {
    for (const auto& [word, caption] : choices) {
        if (text == word || text == caption) {
            return caption;
        }
    }
    return std::nullopt;
}

// Every name of the choices: the short words, then the captions.
std::vector<std::string> namesOf(const std::vector<std::pair<std::string, std::string>>& choices) {
    std::vector<std::string> names;
    for (const auto& choice : choices) {
        names.push_back(choice.first);
    }
    for (const auto& choice : choices) {
        names.push_back(choice.second);
    }
    return names;
}

CLI::Validator choiceOf(const std::vector<std::pair<std::string, std::string>>& choices) {
    std::string names;
    for (const auto& [word, caption] : choices) {
        names += (names.empty() ? "" : ", ") + word + " (\"" + caption + "\")";
    }
    return CLI::Validator(
        [choices, names](const std::string& text) {
            return captionOf(choices, text) ? std::string() : text + " is not one of " + names;
        },
        "CHOICE");
}

const char* const kExitStatuses =
    "Exit statuses:\n"
    "  0  every analysis ran (warnings are on standard error and in STATUS); validate: every\n"
    "     check passed\n"
    "  1  entries or a comparison were refused, or a file failed: a load, a save, a log, a\n"
    "     report or the results (the message names the file and the cause); validate: a\n"
    "     check failed\n"
    "  2  a wrong command line: an unknown or wrong option, a file name the window would\n"
    "     change, an output that exists without --force, an output that is an input";

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
            o.alternative = captionOf(kAlternativeChoices, alternative);
        }
        if (alphaOpt->count() > 0) {
            o.alpha = alpha;
        }
        if (transformOpt->count() > 0) {
            o.transform = captionOf(kTransforms, transform);
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
        // A magnitude beyond the largest double (1e400) would be taken as infinity.
        const LeadingNumber n = parseLeadingNumber(text);
        if (n.found && n.wholeText && !std::isfinite(n.value)) {
            return "out of range: " + shortenedText(text);
        }
        return n.found && n.wholeText ? std::string() : "not a number: " + shortenedText(text);
    },
    "NUMBER");

const CLI::Validator kAtMostTenTexts(
    [](const std::string& text) {
        return splitCellTexts(text).size() <= static_cast<std::size_t>(kMaxReplicates)
                   ? std::string()
                   : "more than " + std::to_string(kMaxReplicates) + " values: " + text;
    },
    "TEXTS");

// What the completion offers after an option of a command, noted in `completion` as the
// options are made.
void completeWith(CompletionChoices& completion, const CLI::App& cmd, const std::string& option,
                  ValueCompletion values) {
    completion[cmd.get_name() + " " + option] = std::move(values);
}

void completeChoices(CompletionChoices& completion, const CLI::App& cmd, const std::string& option,
                     std::vector<std::string> choices) {
    completeWith(completion, cmd, option, {std::move(choices), {}, false});
}

void completeFiles(CompletionChoices& completion, const CLI::App& cmd, const std::string& option,
                   std::vector<std::string> extensions) {
    completeWith(completion, cmd, option, {{}, std::move(extensions), false});
}

void addAnalysisOptions(CompletionChoices& completion, CLI::App& cmd, OptionTexts& t) {
    t.alternativeOpt =
        cmd.add_option("--alternative", t.alternative,
                       "Alternate hypothesis: less (\"x1 < x2\") or greater (\"x1 > x2\"); "
                       "picking it sets the null")
            ->check(choiceOf(kAlternativeChoices));
    t.alphaOpt =
        cmd.add_option("--alpha", t.alpha, "Alpha level")->check(CLI::IsMember(kAlphaLevels));
    t.transformOpt = cmd.add_option("--transform", t.transform,
                                    "Transformation method: none, arcsine, sqrt (x + .375) or "
                                    "log10 (x + 1.0), or the window's caption")
                         ->check(choiceOf(kTransforms));
    t.powerOpt = cmd.add_option("--power-difference", t.powerDifference,
                                "Switch Power Calculations on with this minimum difference")
                     ->check(kNumber);
    t.overrideOpt = cmd.add_option("--override", t.overrideAnswer,
                                   "Switch Normality Override on and answer its question")
                        ->check(CLI::IsMember(kYesNo));
    cmd.add_flag("--one-sample", t.oneSample, "Switch 1 Sample T-Test on");
    completeChoices(completion, cmd, "--alternative", namesOf(kAlternativeChoices));
    completeChoices(completion, cmd, "--alpha", kAlphaLevels);
    completeChoices(completion, cmd, "--transform", namesOf(kTransforms));
    completeChoices(completion, cmd, "--override", kYesNo);
}

// The options of this tool's input reading and file safety, shared by both commands.
void addStrictnessOptions(CLI::App& cmd, bool& lenient, FileRules& files) {
    cmd.add_flag("--lenient", lenient,
                 "Read a value that is not wholly a number by its leading number, with a "
                 "warning, as the window does (\"12 mg\" is 12)");
    cmd.add_flag("--keep-long-names", files.keepLongNames,
                 "Use table and report names as typed (the window keeps 8 characters before "
                 ".dbf and drops blanks and !@#$%^&*()+=?|{}[]<>,:;~/\\)");
    cmd.add_flag("--force", files.force, "Replace files that the outputs name");
}

// --append-detailed-log and --append-summary-log, each excluding the option that begins the
// same kind of log anew; `what` is "the run" or "every comparison".
void addSharedLogOptions(CLI::App& cmd, const std::string& what, CLI::Option* detailed,
                         std::optional<std::string>& sharedDetailed, CLI::Option* summary,
                         std::optional<std::string>& sharedSummary, bool summaryFirst) {
    const auto add = [&](const char* name, std::optional<std::string>& file, const char* log,
                         CLI::Option* fresh) {
        cmd.add_option(name, file,
                       "Add " + what + " to this " + log +
                           " log (made when missing); other programs may add to it at the same "
                           "time")
            ->excludes(fresh);
    };
    if (summaryFirst) {
        add("--append-summary-log", sharedSummary, "summary", summary);
    }
    add("--append-detailed-log", sharedDetailed, "detailed", detailed);
    if (!summaryFirst) {
        add("--append-summary-log", sharedSummary, "summary", summary);
    }
}

// The options that say how a survey is read.
void addSurveyOptions(CompletionChoices& completion, CLI::App& cmd, SurveyFormat& format,
                      std::string& delimiter) {
    cmd.add_option("--delimiter", delimiter,
                   "Field separator: comma, semicolon or tab (default: found from the header "
                   "line)")
        ->check(CLI::Validator(
            [](const std::string& text) {
                const bool known = text == "," || text == ";" || text == "\t" ||
                                   std::find(kDelimiterWords.begin(), kDelimiterWords.end(),
                                             text) != kDelimiterWords.end();
                return known ? std::string() : text + " is not comma, semicolon or tab";
            },
            "{comma,semicolon,tab}"));
    completeChoices(completion, cmd, "--delimiter", kDelimiterWords);
    cmd.add_flag("--decimal-comma", format.decimalComma,
                 "A comma in a value is the decimal mark (always so with a semicolon or tab "
                 "separator)");
    cmd.add_option("--sample-column", format.sampleColumn,
                   "The column of the sample ids (default: sample; any case)");
    cmd.add_option("--value-column", format.valueColumn,
                   "The column of the values (default: value; any case)");
    cmd.add_option("--group", format.groupColumns,
                   "Run one batch per distinct combination of these columns (e.g. endpoint); "
                   "they lead each results line")
        ->delimiter(',')
        ->allow_extra_args(false);
    cmd.add_option("--ignore-column", format.ignoredColumns,
                   "Columns that may differ between the rows of one sample (e.g. a note)")
        ->delimiter(',')
        ->allow_extra_args(false);
    cmd.add_option("--replicate-column", format.replicateColumn,
                   "The column of the replicate numbers, never compared between rows "
                   "(default: rep or replicate, when there is one)");
    cmd.add_option("--endpoints", format.endpointColumns,
                   "Wide layout: one value column per endpoint (e.g. survival,growth); each is "
                   "run as its own group, named in the column endpoint")
        ->delimiter(',')
        ->allow_extra_args(false);
}

// Prints a usage error as one line and where the help is; returns the exit status.
int usageError(const CLI::App& app, const CLI::ParseError& e, std::ostream& err) {
    std::string command = "benthix-cli";
    for (const CLI::App* sub : app.get_subcommands()) {
        command += " " + sub->get_name();
    }
    std::string what = e.what();
    while (!what.empty() && (what.back() == '\n' || what.back() == ' ')) {
        what.pop_back();
    }
    for (char& c : what) {
        if (c == '\n') {
            c = ' ';
        }
    }
    err << command << ": " << what << "\nTry '" << command << " --help'\n";
    return kExitUsage;
}

}  // namespace

int runCommandLine(const std::vector<std::string>& args, const CliEnvironment& env) {
    CLI::App app("Benthix: compares a test treatment with a reference treatment.", "benthix-cli");
    // What the completion script offers after each option, noted as the options are made.
    CompletionChoices completion;
    app.set_version_flag("-V,--version", std::string("benthix-cli ") + kVersion);
    app.require_subcommand(1);
    app.footer(kExitStatuses);

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
    addAnalysisOptions(completion, *analyze, analyzeOptions);
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
    addSharedLogOptions(*analyze, "the run", analyzeDetailed, analyzeRequest.sharedDetailedLog,
                        analyzeSummary, analyzeRequest.sharedSummaryLog, false);
    analyze->add_option("--report", analyzeRequest.report,
                        "File > Report to this file (.csv and .xlsx) instead of Execute; a .pdf or "
                        ".html name writes the comparison's report document after the run");
    analyze
        ->add_option("--paper", analyzeRequest.paper,
                     "The report document's paper: a4 or letter (default: the locale's)")
        ->check(CLI::IsMember({"a4", "letter"}));
    analyze->add_option("--plot", analyzeRequest.plot,
                        "Also draw the replicate plot into this new file (.svg, .png or .pdf)");
    addStrictnessOptions(*analyze, analyzeRequest.lenient, analyzeRequest.files);
    analyze->footer(kExitStatuses);
    for (const char* option : {"--load", "--save", "--detailed-log", "--summary-log",
                               "--append-detailed-log", "--append-summary-log"}) {
        completeFiles(completion, *analyze, option, {"dbf"});
    }
    completeFiles(completion, *analyze, "--report", {"csv"});

    // batch
    CLI::App* batch =
        app.add_subcommand("batch", "Compare every sample of a survey with one reference");
    BatchRequest batchRequest;
    OptionTexts batchOptions;
    batch
        ->add_option("input", batchRequest.input,
                     "Survey: a CSV file or an .xlsx workbook with the columns sample and value "
                     "(\"-\": CSV on standard input)")
        ->required();
    batch->add_option("--reference", batchRequest.reference,
                      "Id of the reference sample (for the groups the plan gives none)");
    batch->add_option("--plan", batchRequest.plan,
                      "Survey plan: a CSV with one row per group (e.g. endpoint) and any of the "
                      "columns reference, alternative, alpha, transform, power_difference, "
                      "override, one_sample; an empty cell takes the command line's choice");
    addAnalysisOptions(completion, *batch, batchOptions);
    batch->add_option("--output", batchRequest.output,
                      "Results CSV (default, or \"-\": standard output)");
    CLI::Option* batchSummary =
        batch->add_option("--summary-log", batchRequest.summaryLog,
                          "Write every comparison into this new summary log");
    CLI::Option* batchDetailed =
        batch->add_option("--detailed-log", batchRequest.detailedLog,
                          "Write every comparison into this new detailed log");
    addSharedLogOptions(*batch, "every comparison", batchDetailed, batchRequest.sharedDetailedLog,
                        batchSummary, batchRequest.sharedSummaryLog, true);
    batch->add_option("--jobs", batchRequest.jobs, "Threads to spread the comparisons over")
        ->check(CLI::Range(1, 64));
    std::string formatText = "csv";
    batch
        ->add_option("--format", formatText,
                     "csv: the summary fields, STATUS and the typed columns (default); jsonl: one "
                     "JSON result object per comparison")
        ->check(CLI::IsMember(kBatchFormats));
    completeChoices(completion, *batch, "--format", kBatchFormats);
    std::string pAdjustText;
    batch
        ->add_option("--p-adjust", pAdjustText,
                     "Add the p-values adjusted over the comparisons of each group (holm or "
                     "bonferroni); the results are written when the last comparison is done")
        ->check(CLI::IsMember(kPAdjustMethods));
    completeChoices(completion, *batch, "--p-adjust", kPAdjustMethods);
    std::string adjustOverText = "group";
    batch
        ->add_option("--p-adjust-over", adjustOverText,
                     "The comparisons one adjustment runs over: each group's (default) or all "
                     "of the survey's")
        ->check(CLI::IsMember(kPAdjustFamilies));
    completeChoices(completion, *batch, "--p-adjust-over", kPAdjustFamilies);
    batch->add_flag("--quiet", batchRequest.quiet,
                    "No closing line counting the outcomes on standard error");
    addStrictnessOptions(*batch, batchRequest.lenient, batchRequest.files);
    std::string delimiterText;
    addSurveyOptions(completion, *batch, batchRequest.survey, delimiterText);
    batch->add_option("--sheet", batchRequest.sheet,
                      "The worksheet of an .xlsx survey (default: the first)");
    batch->add_option("--report", batchRequest.report,
                      "Also write the survey report to this new file (.pdf or .html)");
    batch
        ->add_option("--paper", batchRequest.paper,
                     "The report's paper: a4 or letter (default: the locale's)")
        ->check(CLI::IsMember({"a4", "letter"}));
    batch->add_option("--project", batchRequest.project,
                      "The project the report names (default: the survey file's name)");
    batch->footer(kExitStatuses);
    for (const char* option :
         {"--summary-log", "--detailed-log", "--append-summary-log", "--append-detailed-log"}) {
        completeFiles(completion, *batch, option, {"dbf"});
    }
    completeFiles(completion, *batch, "--output", {"csv", "jsonl"});
    completeFiles(completion, *batch, "--plan", {"csv"});
    completeWith(completion, *batch, "--jobs", {{}, {}, true});
    completeWith(completion, *batch, "input", {{"-"}, {"csv", "xlsx"}, false});

    // validate
    CLI::App* validate = app.add_subcommand(
        "validate", "Check this installation: its tables and results computed beforehand with R");
    ValidateRequest validateRequest;
    validate->add_option("--report", validateRequest.report,
                         "Write the validation as a dated document to this .html or .pdf file");
    validate->add_flag("--force", validateRequest.force, "Replace the report file when it exists");
    validate->footer(kExitStatuses);
    completeFiles(completion, *validate, "--report", {"html", "pdf"});

    // The completion script of these commands, for the build; not among the options.
    if (args.size() == 2 && args[1] == "--bash-completion") {
        env.out << bashCompletionScript(app, completion);
        return kExitRan;
    }

    // A first word that is neither an option nor a subcommand is named as such (the parser
    // would only say that a subcommand is required).
    const std::vector<CLI::App*> subcommands = app.get_subcommands({});
    const bool known = std::any_of(
        subcommands.begin(), subcommands.end(),
        [&args](const CLI::App* sub) { return args.size() > 1 && sub->check_name(args[1]); });
    if (args.size() > 1 && !args[1].empty() && args[1][0] != '-' && !known) {
        std::string names;
        for (std::size_t i = 0; i < subcommands.size(); ++i) {
            names += (i == 0                        ? ""
                      : i + 1 == subcommands.size() ? " or "
                                                    : ", ") +
                     subcommands[i]->get_name();
        }
        env.err << "benthix-cli: unknown subcommand \"" << shortenedText(args[1]) << "\" (" << names
                << ")\nTry 'benthix-cli --help'\n";
        return kExitUsage;
    }
    std::vector<const char*> argv;
    argv.reserve(args.size());
    for (const std::string& a : args) {
        argv.push_back(a.c_str());
    }
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() != static_cast<int>(CLI::ExitCodes::Success)) {
            // An option before any command is unknown: say so rather than that a command is
            // missing.
            if (app.get_subcommands().empty() && args.size() > 1 && args[1].size() > 1 &&
                args[1].front() == '-' && args[1] != "--") {
                env.err << "benthix-cli: unknown option " << args[1]
                        << " (a command comes first: analyze, batch or validate; -V or --version "
                           "prints the version)\nTry 'benthix-cli --help'\n";
                return kExitUsage;
            }
            return usageError(app, e, env.err);
        }
        app.exit(e, env.out, env.err);
        env.out.flush();
        if (!env.out) {
            env.err << "benthix-cli: writing to standard output failed\n";
            return kExitRefused;
        }
        return kExitRan;
    }

    if (validate->parsed()) {
        return runValidate(validateRequest, env.folders, env.out, env.err);
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
    if (!delimiterText.empty()) {
        batchRequest.survey.delimiter = delimiterText == "semicolon" || delimiterText == ";" ? ';'
                                        : delimiterText == "tab" || delimiterText == "\t"    ? '\t'
                                                                                             : ',';
    }
    batchRequest.format = formatText == "jsonl" ? BatchFormat::Jsonl : BatchFormat::Csv;
    batchRequest.adjustFamily = adjustOverText == "all" ? AdjustFamily::All : AdjustFamily::Group;
    batchRequest.pAdjust = pAdjustText == "holm"         ? PAdjust::Holm
                           : pAdjustText == "bonferroni" ? PAdjust::Bonferroni
                                                         : PAdjust::None;
    return runBatch(batchRequest, env.folders, env.in, env.out, env.err, env.errIsTerminal);
}

}  // namespace bx::cli
