// SPDX-License-Identifier: MIT
#include "cli/batch_command.h"

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string_view>
#include <utility>

#include "app/main_window.h"
#include "app/startup.h"
#include "base/text_format.h"
#include "cli/cli_desktop.h"
#include "cli/exit_status.h"
#include "cli/file_commands.h"
#include "cli/output_file.h"
#include "cli/progress_bar.h"
#include "cli/result_output.h"
#include "drawing/cairo/cairo_canvas.h"
#include "drawing/cairo/survey_report_pdf.h"
#include "drawing/survey_report.h"
#include "logs/log_file.h"
#include "logs/log_rows.h"
#include "survey/csv.h"
#include "survey/plan.h"
#include "survey/workbook_reader.h"
#include "tables/sha256.h"
#include "tables/stat_tables.h"

namespace bx::cli {
namespace {

constexpr int kMaxErrorsShown = 20;
constexpr std::size_t kFlushBytes = 1 << 16;
// A killed batch leaves the results of all but at most this many comparisons.
constexpr std::size_t kFlushComparisons = 1000;
// The reasons a closing line names, at most.
constexpr std::size_t kReasonsShown = 3;
// A plan is a few lines; a larger file is not one.
constexpr std::uintmax_t kMaxPlanBytes = std::uintmax_t{1} << 20;

// Prefixes every message line with the sample id, so that the lines of a batch can be told
// apart.
void appendMessages(std::string& out, const std::string& sampleId, const std::string& messages) {
    std::size_t start = 0;
    while (start < messages.size()) {
        const std::size_t end = messages.find('\n', start);
        out += sampleId;
        out += ": ";
        out.append(messages, start, end - start);
        out += '\n';
        start = end == std::string::npos ? messages.size() : end + 1;
    }
}

// The logs of a batch: started once through the Log menu of a window of their own, then
// written with every completed comparison in input order, as a run writes them at its end. The
// rows go to disk in groups (LogFile::commitDue: every kLogGroupRuns comparisons or every
// kLogGroupTime), and the last group when the batch ends.
class BatchLogs {
  public:
    BatchLogs(const StartupFolders& folders, std::shared_ptr<const StatTables> tables)
        : desktop_(std::nullopt), window_(desktop_, folders, std::move(tables)) {
        Form_Load(window_);
    }

    // Log names are used as typed rather than shortened.
    void keepTypedNames() { window_.ui.keepTypedNames = true; }
    // Logs begun anew must not exist (without --force).
    void mustBeNew(bool on) { window_.ui.outputsMustBeNew = on; }

    // Starts the requested logs, the detailed one first. False when one did not start; the
    // Log menu's messages and status lines say why.
    bool start(const BatchRequest& request, std::ostream& err, bool& existed) {
        bool started = true;
        const auto run = [&](const std::optional<std::string>& path, FileCommand command) {
            if (started && path) {
                started = runFileCommand(window_, desktop_, command, *path);
                if (!started && desktop_.messagesHold(kErrFileExists)) {
                    existed = true;
                    err << "benthix-cli: " << *path
                        << ": exists (made by another run meanwhile); --force replaces it\n";
                }
            }
        };
        run(request.detailedLog, FileCommand::DetailedLog);
        run(request.sharedDetailedLog, FileCommand::SharedDetailedLog);
        run(request.summaryLog, FileCommand::SummaryLog);
        run(request.sharedSummaryLog, FileCommand::SharedSummaryLog);
        err << desktop_.takeMessages();
        for (LogFile* log : {&window_.detailedLog, &window_.summaryLog}) {
            err << log->takeNotes();
        }
        if (!started) {
            for (const std::string& line : statusLines(window_.ui.Status)) {
                if (!line.empty()) {
                    err << line << '\n';
                }
            }
        }
        return started;
    }

    bool active() const { return window_.ui.detailedLogging || window_.ui.summaryLogging; }

    // Adds a run to the active logs, and commits them when a group is complete. Returns the
    // lines that report a problem with the writing (a value cut to its field, a failed write),
    // if any.
    std::string write(const RunRecord& run) {
        std::string problems;
        const auto add = [&](LogFile& log, const std::vector<LogRow>& rows) {
            const TableError error = log.add(rows, [&](const FieldCut& cut) {
                problems += trimBlanks(describeCut(cut));
                problems += '\n';
            });
            notes_ += log.takeNotes();
            if (error) {
                report(problems, log, error, 1);
            }
            return !error;
        };
        // The summary log takes only runs the detailed log has taken too.
        bool detailedTaken = true;
        if (window_.ui.detailedLogging) {
            detailedTaken = add(window_.detailedLog, detailLogRows(run));
        }
        if (window_.ui.summaryLogging) {
            if (detailedTaken) {
                if (!add(window_.summaryLog, {summaryLogRow(run)}) && window_.ui.detailedLogging) {
                    window_.detailedLog.dropLastRun();
                    report(problems, window_.detailedLog,
                           makeTableError(kErrPathFileAccess,
                                          "not written, since the summary log did not take it"),
                           1);
                }
            } else {
                report(problems, window_.summaryLog, notTakenByDetailedLog(), 1);
            }
        }
        if (window_.detailedLog.commitDue() || window_.summaryLog.commitDue()) {
            commit(problems);
        }
        return problems;
    }

    // What was mended in a log file on opening it (rows past its count removed), once.
    std::string takeNotes() { return std::exchange(notes_, std::string()); }

    // Commits what the logs still hold; the lines that report a failure, if any.
    std::string finish() {
        std::string problems;
        commit(problems);
        return problems;
    }

  private:
    static TableError notTakenByDetailedLog() {
        return makeTableError(kErrPathFileAccess,
                              "not written, since the detailed log did not take them");
    }

    // Commits both logs together, the detailed log first, so that they hold the same runs.
    void commit(std::string& problems) {
        LogFile& detailed = window_.detailedLog;
        LogFile& summary = window_.summaryLog;
        const long detailedRuns = detailed.pendingRuns();
        const long summaryRuns = summary.pendingRuns();
        TableError detailedError;
        TableError summaryError;
        bool withdrawn = false;
        commitLogsTogether(detailed, summary, detailedError, summaryError, withdrawn);
        if (detailedError) {
            report(problems, detailed, detailedError, detailedRuns);
            if (summaryRuns > 0) {
                report(problems, summary, notTakenByDetailedLog(), summaryRuns);
            }
        }
        if (summaryError) {
            report(problems, summary, summaryError, summaryRuns);
            if (withdrawn) {
                problems += "the same runs were taken back out of the Log File <" +
                            detailed.path() + ">, so that both logs hold the same runs\n";
            }
        }
    }

    void report(std::string& problems, const LogFile& log, const TableError& error, long runs) {
        const char* name = &log == &window_.detailedLog ? "Log File" : "Summary Log File";
        problems +=
            trimBlanks(logWriteErrorLine(std::string(name) + " <" + log.path() + ">", error));
        if (runs > 1) {
            problems += " (" + std::to_string(runs) + " runs not saved)";
        }
        problems += '\n';
    }

    CliDesktop desktop_;
    MainWindow window_;
    std::string notes_;
};

// Writes results in order: the CSV lines, the message boxes, the log rows, the progress; and
// counts the outcomes for the closing lines.
class ResultWriter {
  public:
    // Messages go to `err` at once when it is a terminal (beside the progress bar); otherwise
    // they are collected and written with the results they follow.
    ResultWriter(std::ostream& out, std::ostream& err, ProgressBar& progress, BatchLogs* logs,
                 bool errIsTerminal, const Survey& survey)
        : out_(out),
          err_(err),
          progress_(progress),
          logs_(logs),
          errAtOnce_(errIsTerminal),
          survey_(survey) {}

    void header(const BatchRequest& request) {
        if (request.format == BatchFormat::Csv) {
            appendSpreadsheetRecord(buffer_, resultsHeader(request.pAdjust, survey_.groupColumns));
        }
    }

    void write(ComparisonResult& result) {
        buffer_ += result.line;
        if (!result.messages.empty()) {
            message(result.sampleId, result.messages);
        }
        if (logs_ != nullptr && result.record) {
            const std::string problems = logs_->write(*result.record);
            if (!problems.empty()) {
                message(result.sampleId, problems);
                logFailed_ = true;
            }
            if (const std::string notes = logs_->takeNotes(); !notes.empty()) {
                messages_ += notes;
                if (errAtOnce_) {
                    progress_.clear();
                    flush();
                }
            }
            result.record.reset();
        }
        count(result);
        ++written_;
        if (buffer_.size() + messages_.size() >= kFlushBytes || written_ % kFlushComparisons == 0) {
            flush();
        }
        progress_.update(written_);
    }

    void flush() {
        out_ << buffer_;
        buffer_.clear();
        out_.flush();
        if (!messages_.empty()) {
            err_ << messages_;
            messages_.clear();
        }
    }

    // Writes everything left, and commits the logs.
    void finish() {
        if (logs_ != nullptr) {
            const std::string problems = logs_->finish();
            if (!problems.empty()) {
                messages_ += problems;
                logFailed_ = true;
            }
        }
        flush();
    }

    bool anyRefused() const { return refused_ > 0 || lookupFailed_ > 0; }
    bool logFailed() const { return logFailed_; }

    // One line per kind of failed comparison: how many, and the first reasons.
    void failureLines(std::ostream& err) const {
        const auto line = [&](std::size_t n, const char* what, const std::string& reasons) {
            if (n > 0) {
                err << "benthix-cli: " << n << " of " << written_ << " comparison"
                    << (written_ == 1 ? "" : "s") << (n == 1 ? " was " : " were ") << what << ": "
                    << reasons << (n > kReasonsShown ? "; ..." : "") << '\n';
            }
        };
        line(refused_, "refused", refusedReasons_);
        line(lookupFailed_, "left without a table value (the verdict cannot be relied on)",
             lookupReasons_);
    }

    // "120 comparisons: 97 ok, 20 with warnings, 3 refused; 14 reject the null".
    void summaryLine(std::ostream& err) const {
        err << "benthix-cli: " << written_ << " comparison" << (written_ == 1 ? "" : "s") << ": "
            << ok_ << " ok, " << warned_ << " with warnings, " << refused_ << " refused; "
            << rejected_ << " reject" << (rejected_ == 1 ? "s" : "") << " the null\n";
    }

  private:
    void message(const std::string& sampleId, const std::string& lines) {
        appendMessages(messages_, sampleId, lines);
        if (errAtOnce_) {
            progress_.clear();
            flush();
        }
    }

    void count(const ComparisonResult& r) {
        const auto addReason = [&](std::string& reasons, std::size_t n, const std::string& why) {
            if (n <= kReasonsShown) {
                reasons += (reasons.empty() ? "" : "; ") + comparisonName(survey_, r) + ": " + why;
            }
        };
        switch (r.status) {
            case ComparisonStatus::Ok:
                ++ok_;
                break;
            case ComparisonStatus::Warnings:
                ++warned_;
                break;
            case ComparisonStatus::Refused:
                ++refused_;
                addReason(refusedReasons_, refused_, r.refusal);
                break;
        }
        if (r.lookupFailed) {
            ++lookupFailed_;
            addReason(lookupReasons_, lookupFailed_, "a statistical table had no value");
        }
        if (r.rejectNull) {
            ++rejected_;
        }
    }

    std::ostream& out_;
    std::ostream& err_;
    ProgressBar& progress_;
    BatchLogs* logs_;
    bool errAtOnce_;
    const Survey& survey_;
    std::string buffer_;
    std::string messages_;
    std::size_t written_ = 0;
    std::size_t ok_ = 0;
    std::size_t warned_ = 0;
    std::size_t refused_ = 0;
    std::size_t rejected_ = 0;
    std::size_t lookupFailed_ = 0;
    std::string refusedReasons_;
    std::string lookupReasons_;
    bool logFailed_ = false;
};

// Reads the survey the request names; std::nullopt after saying why on `err`.
std::optional<Survey> readRequestedSurvey(const BatchRequest& request, std::istream& in,
                                          std::ostream& err) {
    if (request.input == "-") {
        return readSurvey(in, request.survey);
    }
    // The survey is read as a stream: a pipe is fine, a folder or a device is not.
    std::ifstream file;
    std::optional<std::string> cause = unstreamableFileCause(request.input);
    if (!cause) {
        file.open(request.input, std::ios::binary);
        if (!file) {
            cause = plainCauseOfErrno(errno, request.input);
        }
    }
    Survey survey;
    if (!cause && isWorkbookPath(request.input)) {
        file.close();
        std::string why;
        if (const std::optional<WorkbookSheet> sheet =
                workbookSheetAsCsv(request.input, request.sheet, why)) {
            survey = readSurvey(*sheet, request.survey);
        } else {
            cause = why;
        }
    } else if (!cause) {
        std::error_code unknown;
        const std::uintmax_t size = std::filesystem::file_size(request.input, unknown);
        survey = readSurvey(file, request.survey, unknown ? 0 : size);
        if (file.bad()) {
            cause = plainCauseOfErrno(errno, request.input);
        }
    }
    if (cause) {
        err << "benthix-cli: cannot read " << request.input << ": " << *cause << '\n';
        return std::nullopt;
    }
    return survey;
}

// Reads the plan file; std::nullopt after saying why on `err`.
std::optional<SurveyPlan> readRequestedPlan(const std::string& path, std::ostream& err) {
    std::optional<std::string> cause = unstreamableFileCause(path);
    std::string text;
    if (!cause) {
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            cause = plainCauseOfErrno(errno, path);
        } else {
            std::ostringstream all;
            all << file.rdbuf();
            text = all.str();
            if (text.size() > kMaxPlanBytes) {
                cause = "larger than a plan can be (1 MiB)";
            }
        }
    }
    if (cause) {
        err << "benthix-cli: cannot read the plan " << path << ": " << *cause << '\n';
        return std::nullopt;
    }
    std::string why;
    std::optional<SurveyPlan> plan = readPlan(text, why);
    if (!plan) {
        err << "benthix-cli: " << path << ": " << why << '\n';
    }
    return plan;
}

// The lower-case extension of a report's name: "pdf", "html" (also for ".htm") or another.
std::string reportKind(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    const std::string ext =
        dot == std::string::npos ? std::string() : lowerTrimmed(path.substr(dot + 1));
    return ext == "htm" ? "html" : ext;
}

// The SHA-256 of a survey file, read again in blocks; empty when it cannot be read.
std::string fileSha256(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return {};
    }
    Sha256 hash;
    std::vector<char> block(1 << 16);
    while (file.read(block.data(), static_cast<std::streamsize>(block.size())) ||
           file.gcount() > 0) {
        hash.update(std::string_view(block.data(), static_cast<std::size_t>(file.gcount())));
    }
    return file.bad() ? std::string() : hash.hexDigest();
}

// Writes the survey report; false after saying why on `err`.
bool writeSurveyReport(const BatchRequest& request, drawing::SurveyReport report,
                       std::ostream& err) {
    const drawing::Paper paper = !request.paper               ? drawing::defaultPaper()
                                 : *request.paper == "letter" ? drawing::Paper::Letter
                                                              : drawing::Paper::A4;
    const std::string bytes = reportKind(*request.report) == "pdf"
                                  ? drawing::surveyReportPdf(report, paper)
                                  : drawing::surveyReportHtml(report, drawing::pangoTextWidth);
    return writeWholeFile(*request.report, bytes, err);
}

}  // namespace

int runBatch(const BatchRequest& request, const StartupFolders& folders, std::istream& in,
             std::ostream& out, std::ostream& err, bool errIsTerminal) {
    const bool toStandardOutput = !request.output || *request.output == "-";
    std::vector<FileArgument> files;
    if (request.input != "-") {
        files.push_back({"input", request.input, FileRole::Input});
    }
    if (request.plan) {
        files.push_back({"--plan", *request.plan, FileRole::Input});
    }
    if (!toStandardOutput) {
        files.push_back({"--output", *request.output, FileRole::Results});
    }
    if (request.detailedLog) {
        files.push_back({"--detailed-log", *request.detailedLog, FileRole::Table});
    }
    if (request.summaryLog) {
        files.push_back({"--summary-log", *request.summaryLog, FileRole::Table});
    }
    if (request.sharedDetailedLog) {
        files.push_back({"--append-detailed-log", *request.sharedDetailedLog, FileRole::Appended});
    }
    if (request.sharedSummaryLog) {
        files.push_back({"--append-summary-log", *request.sharedSummaryLog, FileRole::Appended});
    }
    if (request.report) {
        files.push_back({"--report", *request.report, FileRole::Results});
    }
    std::string problem = fileArgumentProblem(files, request.files);
    if (problem.empty() && request.report && reportKind(*request.report) != "pdf" &&
        reportKind(*request.report) != "html") {
        problem = "--report " + *request.report + ": the report is written as .pdf or .html";
    }
    if (problem.empty() && !request.reference && !request.plan) {
        problem = "--reference is required (or a --plan that gives each group's reference)";
    }
    if (!problem.empty()) {
        err << "benthix-cli batch: " << problem << "\nTry 'benthix-cli batch --help'\n";
        return kExitUsage;
    }

    std::optional<SurveyPlan> plan;
    BatchRequest effective = request;
    if (request.plan) {
        plan = readRequestedPlan(*request.plan, err);
        if (!plan) {
            err << "benthix-cli: no comparison was run\n";
            return kExitRefused;
        }
        // Without --group the plan's columns say how the survey is grouped.
        if (effective.survey.groupColumns.empty()) {
            for (const std::string& column : plan->groupColumns) {
                if (effective.survey.endpointColumns.empty() ||
                    lowerTrimmed(column) != lowerTrimmed(effective.survey.endpointColumn)) {
                    effective.survey.groupColumns.push_back(column);
                }
            }
        }
    }

    std::optional<Survey> read = readRequestedSurvey(effective, in, err);
    if (!read) {
        return kExitRefused;
    }
    const Survey& survey = *read;
    for (const std::string& note : survey.notes) {
        err << "benthix-cli: " << request.input << ": " << note << '\n';
    }
    if (survey.errorCount > 0) {
        int shown = 0;
        for (const CsvError& e : survey.errors) {
            if (shown++ == kMaxErrorsShown) {
                err << request.input << ": " << survey.errorCount - kMaxErrorsShown
                    << " more malformed lines\n";
                break;
            }
            err << request.input << ':' << e.line << ": malformed line: " << e.reason << '\n';
        }
        err << "benthix-cli: no comparison was run\n";
        return kExitRefused;
    }
    if (plan && !alignPlan(*plan, survey.groupColumns)) {
        err << "benthix-cli: the plan " << *request.plan << " groups by other columns than the "
            << "survey run (";
        for (std::size_t i = 0; i < survey.groupColumns.size(); ++i) {
            err << (i == 0 ? "" : ", ") << survey.groupColumns[i];
        }
        err << ")\nbenthix-cli: no comparison was run\n";
        return kExitRefused;
    }

    // Nothing is written when the tables cannot be relied on.
    const std::shared_ptr<const StatTables> tables = StatTables::load(folders.programFolder);
    if (!tables->installationProblem().empty()) {
        err << "benthix-cli: " << tables->installationProblem() << "\n"
            << "benthix-cli: no comparison was run\n";
        return kExitRefused;
    }

    SurveyJob job{.settings = settingsOf(request.options, request.reference.value_or("")),
                  .plan = plan ? &*plan : nullptr,
                  .format = request.format,
                  .pAdjust = request.pAdjust,
                  .adjustFamily = request.adjustFamily,
                  .lenient = request.lenient};
    std::vector<std::string> errors;
    std::vector<std::string> notices;
    const SurveyRun run(survey, tables, job, errors, notices);
    if (!errors.empty()) {
        for (const std::string& e : errors) {
            err << "benthix-cli: " << e << '\n';
        }
        err << "benthix-cli: no comparison was run\n";
        return kExitRefused;
    }
    for (const std::string& notice : notices) {
        err << "benthix-cli: " << notice << '\n';
    }

    OutputFile file;
    std::ostream* results = &out;
    if (!toStandardOutput) {
        if (!file.open(*request.output, !request.files.force)) {
            err << "benthix-cli: cannot write " << *request.output << ": " << file.failureCause()
                << '\n';
            return kExitRefused;
        }
        results = &file.stream();
    }

    BatchLogs logs(folders, tables);
    if (request.files.keepLongNames) {
        logs.keepTypedNames();
    }
    logs.mustBeNew(!request.files.force);
    bool logExisted = false;
    if (!logs.start(request, err, logExisted)) {
        err << "benthix-cli: no comparison was run\n";
        return logExisted ? kExitUsage : kExitRefused;
    }
    const bool logging = logs.active();

    ProgressBar progress(err, run.size(), errIsTerminal && run.size() > kProgressBarThreshold);
    ResultWriter writer(*results, err, progress, logging ? &logs : nullptr, errIsTerminal, survey);
    writer.header(request);
    std::optional<drawing::SurveyReportBuilder> report;
    if (request.report) {
        drawing::SurveyReport header;
        header.surveyFile = request.input == "-"
                                ? std::string("(standard input)")
                                : std::filesystem::absolute(request.input).string();
        header.project =
            request.project
                ? *request.project
                : (request.input == "-" ? std::string("survey")
                                        : std::filesystem::path(request.input).stem().string());
        header.surveySha256 =
            request.input == "-" ? std::string("(not available)") : fileSha256(request.input);
        header.createdAt = drawing::reportTimestamp();
        header.pAdjust = request.pAdjust;
        report.emplace(survey, run, std::move(header));
    }
    run.run(request.jobs, logging || report.has_value(), [&](ComparisonResult& r) {
        if (report) {
            report->add(r);
        }
        writer.write(r);
    });
    writer.finish();
    progress.finish();
    const bool reportWritten = !report || writeSurveyReport(request, report->take(), err);

    bool written = true;
    bool outputExisted = false;
    if (!toStandardOutput) {
        if (!file.close()) {
            outputExisted = file.existed();
            if (outputExisted) {
                err << "benthix-cli: --output " << *request.output
                    << ": exists (made by another run meanwhile); --force replaces it\n";
            } else {
                err << "benthix-cli: writing " << *request.output
                    << " failed: " << file.failureCause() << '\n';
            }
            written = false;
        }
    } else {
        if (const std::string failure = DescriptorOutput::failureOf(out); !failure.empty()) {
            err << failure;
            written = false;
        }
    }
    writer.failureLines(err);
    if (!request.quiet) {
        writer.summaryLine(err);
    }
    if (outputExisted) {
        return kExitUsage;
    }
    return writer.anyRefused() || writer.logFailed() || run.referenceMissing() || !written ||
                   !reportWritten
               ? kExitRefused
               : kExitRan;
}

}  // namespace bx::cli
