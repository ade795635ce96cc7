#include "cli/batch_command.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string_view>
#include <thread>

#include "app/main_window.h"
#include "app/startup.h"
#include "base/text_format.h"
#include "cli/cli_desktop.h"
#include "cli/csv.h"
#include "cli/exit_status.h"
#include "cli/file_commands.h"
#include "cli/output_file.h"
#include "cli/progress_bar.h"
#include "cli/result_json.h"
#include "cli/result_output.h"
#include "cli/workbook_reader.h"
#include "entry/entry_check.h"
#include "logs/log_file.h"
#include "logs/log_rows.h"
#include "logs/summary_record.h"
#include "statistics/analyze.h"
#include "statistics/decision_trail.h"
#include "tables/stat_tables.h"

namespace bx::cli {
namespace {

constexpr std::size_t kSummaryFieldCount = kSummaryRecordFields.size();
constexpr std::size_t kSampIdColumn = summaryFieldIndex("SAMPID");
constexpr std::size_t kRefIdColumn = summaryFieldIndex("REFID");
constexpr std::size_t kStatusColumn = kSummaryFieldCount;
static_assert(kSampIdColumn == 0 && kRefIdColumn < kSummaryFieldCount);
constexpr int kMaxErrorsShown = 20;
constexpr std::size_t kFlushBytes = 1 << 16;
// A killed batch leaves the results of all but at most this many comparisons.
constexpr std::size_t kFlushComparisons = 1000;
// Comparisons that may be finished ahead of the one being written out; fewer when each holds
// its run until the logs have it.
constexpr std::size_t kLookAhead = 4096;
constexpr std::size_t kLookAheadWithWindows = 256;

// The options' columns of a results line: the test and its numbers stay empty until a
// comparison is run.
void appendTypedColumns(std::string& line, const bx::AnalysisOptions& o, const Comparison* c,
                        double pValue) {
    // The shortest text of the number last written in each column, on this thread: the alpha
    // level, and often the critical value, come back comparison after comparison.
    struct Written {
        std::uint64_t bits = 0;
        std::size_t length = 0;  // none yet when 0
        std::array<char, 32> text{};
    };
    thread_local std::array<Written, 9> written;
    std::size_t column = 0;
    const auto num = [&line, &column](std::optional<double> v) {
        Written& last = written.at(column++);
        line += ',';
        if (v && std::isfinite(*v)) {
            const auto bits = std::bit_cast<std::uint64_t>(*v);
            if (last.length == 0 || last.bits != bits) {
                const auto end =
                    std::to_chars(last.text.data(), last.text.data() + last.text.size(), *v).ptr;
                last.length = static_cast<std::size_t>(end - last.text.data());
                last.bits = bits;
            }
            line.append(last.text.data(), last.length);
        }
    };
    const auto word = [&line](std::string_view w) {
        line += ',';
        line += w;
    };
    word(c != nullptr ? testCode(*c) : "");
    num(c != nullptr ? std::optional(c->statistic()) : std::nullopt);
    num(c != nullptr ? std::optional(c->criticalValue()) : std::nullopt);
    const std::optional<int> df = c != nullptr ? c->degreesOfFreedom() : std::nullopt;
    word(df ? std::to_string(*df) : "");
    num(o.alpha);
    word(alternativeCode(o.alternative));
    word(transformationCode(o.transformation));
    num(c != nullptr ? std::optional(pValue) : std::nullopt);
    word(c == nullptr ? "" : c->acceptNull() ? "false" : "true");
    num(c != nullptr ? std::optional(c->difference()) : std::nullopt);
    num(c != nullptr ? c->percentOfReference() : std::nullopt);
    const std::optional<double> msd =
        c != nullptr ? c->minimumSignificantDifference() : std::nullopt;
    num(msd);
    const bool sameScale = msd && o.transformation == Transformation::None && !c->rankitsUsed() &&
                           c->referenceSample.mean != 0.0;
    num(sameScale ? std::optional(100.0 * *msd / c->referenceSample.mean) : std::nullopt);
    num(c != nullptr && c->power ? std::optional(c->power->percent / 100.0) : std::nullopt);
}

std::string refusalLine(const std::string& sampleId, const std::string& referenceId,
                        const std::string& reason, const bx::AnalysisOptions& options) {
    std::vector<std::string> fields(kSummaryFieldCount + 1);
    fields[kSampIdColumn] = sampleId;
    fields[kRefIdColumn] = referenceId;
    fields[kStatusColumn] = "refused: " + reason;
    std::string line;
    appendCsvRecord(line, fields);
    line.pop_back();  // the line end goes after the options' columns
    appendTypedColumns(line, options, nullptr, 0.0);
    line += '\n';
    return line;
}

// The summary record of a run as one results line: the fields in the record's order, as the
// summary log writes them, then STATUS (without the line end).
void appendSummaryLine(std::string& line, const RunRecord& run, std::string_view status) {
    // The reference's numbers come back in every comparison: each thread keeps their texts.
    thread_local ShownSummaryNumbers shown;
    for (const std::string& text : summaryTexts(run, &shown)) {
        appendCsvField(line, text);
        line += ',';
    }
    appendCsvField(line, status);
}

std::string tooManyReplicates(const char* which, std::size_t count) {
    return std::string(which) + " has " + std::to_string(count) + " replicates; at most " +
           std::to_string(kMaxReplicates) + " can be compared.";
}

// A warning line without the word that marks it as one ("**** Warning: ", "Warning: ",
// "WARNING - "), for the STATUS column that says "warning: " already.
std::string_view warningText(std::string_view line) {
    for (const std::string_view mark : {"**** Warning: ", "Warning: ", "WARNING - "}) {
        if (line.substr(0, mark.size()) == mark) {
            return line.substr(mark.size());
        }
    }
    return line;
}

bool isNumberText(std::string_view text) {
    const LeadingNumber n = parseLeadingNumber(text);
    return n.found && n.wholeText;
}

// The first value of `sample` that is not wholly a number, as a refusal; none when all are.
SurveyRefusal notANumber(const SurveySample& sample, std::string_view which) {
    for (std::size_t k = 0; k < sample.values.size(); ++k) {
        if (!isNumberText(sample.values[k])) {
            return {"not_a_number", std::string(which) + "row " +
                                        std::to_string(sample.valueLines[k]) + ": \"" +
                                        sample.values[k] + "\" is not a number"};
        }
    }
    return {};
}

std::string countOf(int n, std::string_view what) {
    return std::to_string(n) + " " + std::string(what) + (n == 1 ? "" : "s");
}

// What the reference alone refuses every comparison for, in the order of the checks.
ReferenceRefusals referenceRefusals(const SurveySample* reference, bool strict) {
    ReferenceRefusals refusals;
    if (reference == nullptr) {
        return refusals;
    }
    if (reference->values.size() > static_cast<std::size_t>(kMaxReplicates)) {
        refusals.tooManyValues = {"too_many_replicates",
                                  tooManyReplicates("Reference sample", reference->values.size())};
    }
    if (strict) {
        refusals.notANumber = notANumber(*reference, "reference ");
    }
    return refusals;
}

// A refusal found in the survey itself, before any entry is checked.
SurveyRefusal surveyRefusal(const SurveySample& test, const SurveySample* reference,
                            const ReferenceRefusals& referenceRefusals,
                            const std::string& referenceId, bool strict) {
    if (reference == nullptr) {
        return {"reference_not_in_input",
                "Reference sample \"" + referenceId + "\" is not in the input."};
    }
    if (!referenceRefusals.tooManyValues.text.empty()) {
        return referenceRefusals.tooManyValues;
    }
    if (test.values.size() > static_cast<std::size_t>(kMaxReplicates)) {
        return {"too_many_replicates", tooManyReplicates("Sample", test.values.size())};
    }
    if (!referenceRefusals.notANumber.text.empty()) {
        return referenceRefusals.notANumber;
    }
    return strict ? notANumber(test, "") : SurveyRefusal{};
}

// One comparison as a JSON line: its sample, then the typed result.
std::string jsonLine(const std::string& sampleId, nlohmann::ordered_json result) {
    nlohmann::ordered_json line;
    line["sample"] = sampleId;
    for (auto& [key, value] : result.items()) {
        line[key] = std::move(value);
    }
    return line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

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

    // Starts the requested logs, the detailed one first. False when one did not start; the
    // Log menu's messages and status lines say why.
    bool start(const BatchRequest& request, std::ostream& err) {
        bool started = true;
        const auto run = [&](const std::optional<std::string>& path, FileCommand command) {
            if (started && path) {
                started = runFileCommand(window_, desktop_, command, *path);
            }
        };
        run(request.detailedLog, FileCommand::DetailedLog);
        run(request.sharedDetailedLog, FileCommand::SharedDetailedLog);
        run(request.summaryLog, FileCommand::SummaryLog);
        run(request.sharedSummaryLog, FileCommand::SharedSummaryLog);
        err << desktop_.takeMessages();
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
            if (error) {
                report(problems, log, error, 1);
            } else if (log.commitDue()) {
                commit(problems, log);
            }
        };
        if (window_.ui.detailedLogging) {
            add(window_.detailedLog, detailLogRows(run));
        }
        if (window_.ui.summaryLogging) {
            add(window_.summaryLog, {summaryLogRow(run)});
        }
        return problems;
    }

    // Commits what the logs still hold; the lines that report a failure, if any.
    std::string finish() {
        std::string problems;
        commit(problems, window_.detailedLog);
        commit(problems, window_.summaryLog);
        return problems;
    }

  private:
    void commit(std::string& problems, LogFile& log) {
        const long runs = log.pendingRuns();
        if (const TableError error = log.commit()) {
            report(problems, log, error, runs);
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
};

// Writes results in input order: the CSV lines, the message boxes, the log rows, the progress.
class ResultWriter {
  public:
    // Messages go to `err` at once when it is a terminal (beside the progress bar); otherwise
    // they are collected and written with the results they follow.
    ResultWriter(std::ostream& out, std::ostream& err, ProgressBar& progress, BatchLogs* logs,
                 bool errIsTerminal, const BatchRequest& request,
                 std::vector<std::string> groupColumns)
        : out_(out),
          err_(err),
          progress_(progress),
          logs_(logs),
          errAtOnce_(errIsTerminal),
          format_(request.format),
          pAdjust_(request.pAdjust),
          groupColumns_(std::move(groupColumns)) {}

    void header() {
        if (format_ == BatchFormat::Csv) {
            appendCsvRecord(buffer_, batchHeader(pAdjust_, groupColumns_));
        }
    }

    void write(ComparisonResult& result) {
        if (pAdjust_ != PAdjust::None) {
            // The adjusted p-values need every comparison's p-value: the lines wait.
            held_.push_back(std::move(result.line));
            pValues_.push_back(result.pValue);
        } else {
            buffer_ += result.line;
        }
        if (!result.messages.empty()) {
            message(result.sampleId, result.messages);
        }
        if (logs_ != nullptr && result.record) {
            const std::string problems = logs_->write(*result.record);
            if (!problems.empty()) {
                message(result.sampleId, problems);
                logFailed_ = true;
            }
            result.record.reset();
        }
        refused_ = refused_ || result.refused;
        lookupFailed_ = lookupFailed_ || result.lookupFailed;
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

    // Writes the held lines with their adjusted p-values, then everything left.
    void finish() {
        if (pAdjust_ != PAdjust::None) {
            const std::vector<double> adjusted = adjustPValues(pValues_, pAdjust_);
            for (std::size_t i = 0; i < held_.size(); ++i) {
                std::string& line = held_[i];
                std::string value = "null";
                if (!std::isnan(adjusted[i])) {
                    std::array<char, 32> text{};
                    const auto written =
                        std::to_chars(text.data(), text.data() + text.size(), adjusted[i]);
                    value.assign(text.data(), written.ptr);
                }
                line.pop_back();  // the line end
                if (format_ == BatchFormat::Jsonl) {
                    line.pop_back();  // the closing brace
                    line += ",\"p_adjusted\":" + value + "}";
                } else {
                    line += "," + (value == "null" ? std::string() : value);
                }
                line += '\n';
                buffer_ += line;
                if (buffer_.size() >= kFlushBytes) {
                    flush();
                }
            }
            held_.clear();
        }
        if (logs_ != nullptr) {
            const std::string problems = logs_->finish();
            if (!problems.empty()) {
                messages_ += problems;
                logFailed_ = true;
            }
        }
        flush();
    }

    bool anyRefused() const { return refused_ || lookupFailed_; }
    bool logFailed() const { return logFailed_; }

  private:
    void message(const std::string& sampleId, const std::string& lines) {
        appendMessages(messages_, sampleId, lines);
        if (errAtOnce_) {
            progress_.clear();
            flush();
        }
    }

    std::ostream& out_;
    std::ostream& err_;
    ProgressBar& progress_;
    BatchLogs* logs_;
    bool errAtOnce_;
    BatchFormat format_;
    PAdjust pAdjust_;
    std::vector<std::string> groupColumns_;
    std::vector<std::string> held_;
    std::vector<double> pValues_;
    std::string buffer_;
    std::string messages_;
    std::size_t written_ = 0;
    bool refused_ = false;
    bool lookupFailed_ = false;
    bool logFailed_ = false;
};

struct QueuedComparison {
    std::uint32_t test;  // the sample's index in the survey
    const ComparisonRunner* runner;
};

// Runs the comparisons on `jobs` threads while this thread writes the finished ones in input
// order. At most kLookAhead comparisons (kLookAheadWithWindows when the runs are kept for the
// logs) are held finished but unwritten.
void runParallel(const Survey& survey, const std::vector<QueuedComparison>& comparisons, int jobs,
                 bool keepRecords, ResultWriter& writer) {
    struct Slot {
        ComparisonResult result;
        bool ready = false;
    };
    const std::size_t n = comparisons.size();
    std::vector<Slot> ring(std::min(n, keepRecords ? kLookAheadWithWindows : kLookAhead));
    std::mutex mutex;
    std::condition_variable readyCv;
    std::condition_variable spaceCv;
    std::size_t next = 0;     // the next comparison to start
    std::size_t written = 0;  // comparisons written so far

    // Each worker claims a run of consecutive comparisons at a time, so that the threads meet
    // at the lock once per run rather than once per comparison.
    constexpr std::size_t kClaim = 16;
    auto worker = [&]() {
        std::vector<ComparisonResult> done;
        SurveySample test;
        while (true) {
            std::size_t first = 0;
            std::size_t last = 0;
            {
                std::unique_lock lock(mutex);
                spaceCv.wait(lock, [&] { return next >= n || next < written + ring.size(); });
                if (next >= n) {
                    return;
                }
                first = next;
                last = std::min({n, written + ring.size(), next + kClaim});
                next = last;
            }
            done.clear();
            for (std::size_t i = first; i < last; ++i) {
                survey.sampleInto(comparisons[i].test, test);
                done.push_back(comparisons[i].runner->run(test, keepRecords));
            }
            {
                std::lock_guard lock(mutex);
                for (std::size_t i = first; i < last; ++i) {
                    Slot& slot = ring[i % ring.size()];
                    slot.result = std::move(done[i - first]);
                    slot.ready = true;
                }
            }
            readyCv.notify_one();
        }
    };

    std::vector<std::jthread> threads;
    threads.reserve(static_cast<std::size_t>(jobs));
    for (int t = 0; t < jobs; ++t) {
        threads.emplace_back(worker);
    }
    std::vector<ComparisonResult> batch;
    while (written < n) {
        batch.clear();
        {
            std::unique_lock lock(mutex);
            readyCv.wait(lock, [&] { return ring[written % ring.size()].ready; });
            // Take every finished comparison that is next in line.
            std::size_t i = written;
            while (i < n && ring[i % ring.size()].ready) {
                Slot& slot = ring[i % ring.size()];
                batch.push_back(std::move(slot.result));
                slot.ready = false;
                ++i;
            }
        }
        for (ComparisonResult& result : batch) {
            writer.write(result);
        }
        {
            std::lock_guard lock(mutex);
            written += batch.size();
        }
        spaceCv.notify_all();
    }
}

}  // namespace

std::vector<std::string> batchHeader(PAdjust pAdjust,
                                     const std::vector<std::string>& groupColumns) {
    std::vector<std::string> header = groupColumns;
    for (const RecordField& field : kSummaryRecordFields) {
        header.emplace_back(field.name);
    }
    for (const char* name : {"STATUS", "TEST", "STATISTIC", "CRITICAL", "DF", "ALPHA",
                             "ALTERNATIVE", "TRANSFORMATION", "P_VALUE", "REJECT_NULL",
                             "DIFFERENCE", "PERCENT_OF_REF", "MSD", "PMSD", "POWER_FRACTION"}) {
        header.emplace_back(name);
    }
    if (pAdjust != PAdjust::None) {
        header.emplace_back("P_ADJUSTED");
    }
    return header;
}

std::vector<double> adjustPValues(const std::vector<double>& p, PAdjust method) {
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < p.size(); ++i) {
        if (!std::isnan(p[i])) {
            order.push_back(i);
        }
    }
    const auto m = static_cast<double>(order.size());
    std::vector<double> adjusted(p.size(), std::numeric_limits<double>::quiet_NaN());
    if (method == PAdjust::Bonferroni) {
        for (const std::size_t i : order) {
            adjusted[i] = std::min(1.0, m * p[i]);
        }
        return adjusted;
    }
    // Holm: the k-th smallest p-value (k from 0) is multiplied by m - k, and the adjusted values
    // are made non-decreasing in that order.
    std::stable_sort(order.begin(), order.end(),
                     [&p](std::size_t a, std::size_t b) { return p[a] < p[b]; });
    double running = 0.0;
    for (std::size_t k = 0; k < order.size(); ++k) {
        running = std::max(running, std::min(1.0, (m - static_cast<double>(k)) * p[order[k]]));
        adjusted[order[k]] = running;
    }
    return adjusted;
}

ComparisonRunner::ComparisonRunner(std::shared_ptr<const StatTables> tables,
                                   const AnalysisOptions& options, std::string referenceId,
                                   const SurveySample* reference, BatchFormat format, bool lenient,
                                   std::vector<std::string> groupColumns,
                                   std::vector<std::string> group)
    : tables_(std::move(tables)),
      choices_(choicesOf(options)),
      referenceId_(std::move(referenceId)),
      reference_(reference),
      format_(format),
      lenient_(lenient),
      groupColumns_(std::move(groupColumns)),
      group_(std::move(group)) {
    referenceRefusals_ = referenceRefusals(reference, !lenient);
    // The choices as types, for the results of comparisons refused before their entries are
    // checked (the command line admits only valid choices).
    typedOptions_.alternative =
        alternativeOf(choices_.alternative, choices_.nullHypothesis).value_or(Alternative::Less);
    typedOptions_.alpha = alphaOf(choices_.alpha).value_or(0.05);
    typedOptions_.transformation =
        transformationOf(choices_.transformation).value_or(Transformation::None);
    // The reference as its grid's Data column holds it, the same for every comparison.
    for (int i = 1; i <= kMaxReplicates; ++i) {
        const auto k = static_cast<std::size_t>(i - 1);
        referenceSlots_[i] = reference != nullptr && k < reference->values.size()
                                 ? reference->values[k]
                                 : std::string();
    }
}

ComparisonResult ComparisonRunner::run(const SurveySample& test, bool keepRecord) const {
    ComparisonResult result = runOne(test, keepRecord);
    result.sampleId = test.id;
    if (group_.empty()) {
        return result;
    }
    // The group's columns lead the line.
    if (format_ == BatchFormat::Jsonl) {
        nlohmann::ordered_json group;
        for (std::size_t i = 0; i < group_.size() && i < groupColumns_.size(); ++i) {
            group[groupColumns_[i]] = group_[i];
        }
        result.line.insert(
            1, "\"group\":" +
                   group.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) +
                   ",");
    } else {
        std::string prefix;
        for (const std::string& value : group_) {
            appendCsvField(prefix, value);
            prefix += ',';
        }
        result.line.insert(0, prefix);
    }
    return result;
}

ComparisonResult ComparisonRunner::runOne(const SurveySample& test, bool keepRecord) const {
    ComparisonResult result;
    const bool jsonl = format_ == BatchFormat::Jsonl;
    const SurveyRefusal refusal =
        surveyRefusal(test, reference_, referenceRefusals_, referenceId_, !lenient_);
    if (!refusal.text.empty()) {
        result.refused = true;
        if (jsonl) {
            EntryCheck unchecked;
            unchecked.options = typedOptions_;
            nlohmann::ordered_json object = resultObject(unchecked, nullptr);
            object["refused"] = {{"code", refusal.code}, {"text", refusal.text}};
            result.line = jsonLine(test.id, std::move(object));
        } else {
            result.line = refusalLine(test.id, referenceId_, refusal.text, typedOptions_);
        }
        return result;
    }
    // The replicates as the grid's Data column would hold them.
    ValueArray testSlots;
    for (int i = 1; i <= kMaxReplicates; ++i) {
        const auto k = static_cast<std::size_t>(i - 1);
        testSlots[i] = k < test.values.size() ? test.values[k] : std::string();
    }
    const OptionChoices& o = choices_;
    EntryCheck check = checkEntries({testSlots, referenceSlots_, o.alternative, o.nullHypothesis,
                                     o.alpha, o.transformation, o.oneSample});
    // The lines the run would post, in order, of which the warnings go with its messages.
    std::vector<std::string_view> lines;
    if (check.refusal) {
        if (check.referenceIncomplete) {
            result.messages = std::string(kAppTitle) + ": " + kReferenceIncompleteText + "\n";
        }
        lines.push_back(*check.refusal);
    }
    for (const std::string& warning : check.warnings) {
        lines.push_back(warning);
    }
    if (!check.refusal) {
        check.options.power = o.power;
        check.options.minimumDifference = leadingNumber(o.minimumDifference);
    }
    const OverrideAnswer answer = !o.normalityPrompt ? OverrideAnswer::No
                                  : o.overrideYes    ? OverrideAnswer::Yes
                                                     : OverrideAnswer::No;
    // The analysis is made in place (a Comparison is large).
    RunRecord run{.identity = {"", test.id, "", referenceId_, ""},
                  .testEntries = {},
                  .referenceEntries = {},
                  .options = check.options,
                  .minimumDifference = o.minimumDifference,
                  .result = check.refusal
                                ? Comparison{}
                                : analyze(check.samples(), check.options, *tables_, answer)};
    if (!check.refusal) {
        const Comparison& comparison = run.result;
        // The question and the notice are message boxes of the window; here they are messages.
        if (o.normalityPrompt && comparison.normality && !comparison.normality->normal) {
            result.messages +=
                "Normality Override: Data Failed Shapiro-Wilk test. Do you want to "
                "override this conclusion of non-normality?\n";
        }
        for (const Note& note : comparison.notes) {
            if (note.code == NoteCode::RankitNotice) {
                result.messages += std::string(kRankitNoticeTitle) + ": " + note.text + "\n";
            } else {
                lines.push_back(note.text);
            }
        }
    }
    // The results line has no room for them, so the run's warnings go with its messages, and
    // STATUS sums them up.
    std::string warnings;
    std::vector<std::pair<const char*, std::string>> surveyWarnings;
    if (test.missing > 0) {
        surveyWarnings.emplace_back("missing_values",
                                    countOf(test.missing, "missing value") + " left out");
    }
    if (reference_ != nullptr && reference_->missing > 0) {
        surveyWarnings.emplace_back(
            "missing_reference_values",
            countOf(reference_->missing, "missing reference value") + " left out");
    }
    if (!test.differingColumn.empty()) {
        surveyWarnings.emplace_back("differing_column", test.differingColumn);
    }
    if (reference_ != nullptr && !reference_->differingColumn.empty()) {
        surveyWarnings.emplace_back("differing_reference_column",
                                    "reference " + reference_->differingColumn);
    }
    for (const auto& [code, text] : surveyWarnings) {
        result.messages += "Warning: " + text + "\n";
        warnings += warnings.empty() ? "warning: " : "; ";
        warnings += text;
    }
    for (const std::string_view line : lines) {
        if (line.find("Warning") != std::string_view::npos ||
            line.find("WARNING") != std::string_view::npos) {
            result.messages += trimBlanks(line);
            result.messages += '\n';
            warnings += warnings.empty() ? "warning: " : "; ";
            warnings += warningText(trimBlanks(line));
        }
    }
    // The entries, or else the analysis itself (a statistic that is not finite), may refuse.
    if (check.refusal || run.result.refusal) {
        result.refused = true;
        if (jsonl) {
            result.line =
                jsonLine(test.id, resultObject(check, check.refusal ? nullptr : &run.result));
        } else {
            const std::string& why = check.refusal ? *check.refusal : run.result.refusal->text;
            result.line =
                refusalLine(test.id, referenceId_, std::string(trimBlanks(why)), check.options);
        }
        return result;
    }

    result.pValue = run.result.pValue();
    result.lookupFailed = run.result.lookupFailed();
    if (jsonl) {
        nlohmann::ordered_json object = resultObject(check, &run.result);
        for (const auto& [code, text] : surveyWarnings) {
            object["warnings"].push_back({{"code", code}, {"text", text}});
        }
        result.line = jsonLine(test.id, std::move(object));
    }
    if (!jsonl) {
        constexpr std::size_t kTypicalLineBytes = 512;  // grown in one step rather than several
        result.line.reserve(kTypicalLineBytes);
        appendSummaryLine(result.line, run, warnings.empty() ? std::string_view("ok") : warnings);
        appendTypedColumns(result.line, run.options, &run.result, result.pValue);
        result.line += '\n';
    }
    if (keepRecord) {
        for (std::size_t k = 0; k < run.testEntries.size(); ++k) {
            run.testEntries[k] = slotText(testSlots[static_cast<int>(k) + 1]);
            run.referenceEntries[k] = slotText(referenceSlots_[static_cast<int>(k) + 1]);
        }
        result.record = std::make_unique<RunRecord>(std::move(run));
    }
    return result;
}

int runBatch(const BatchRequest& request, const StartupFolders& folders, std::istream& in,
             std::ostream& out, std::ostream& err, bool errIsTerminal) {
    std::vector<FileArgument> files;
    if (request.input != "-") {
        files.push_back({"input", request.input, FileRole::Input});
    }
    if (request.output) {
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
    if (const std::string problem = fileArgumentProblem(files, request.files); !problem.empty()) {
        err << "benthix-cli batch: " << problem << "\nTry 'benthix-cli batch --help'\n";
        return kExitUsage;
    }

    // The survey is read as a stream: a pipe is fine, a folder or a device is not.
    Survey survey;
    if (request.input == "-") {
        survey = readSurvey(in, request.survey);
    } else {
        std::ifstream file;
        std::optional<std::string> cause = unstreamableFileCause(request.input);
        if (!cause) {
            file.open(request.input, std::ios::binary);
            if (!file) {
                cause = plainCauseOfErrno(errno, request.input);
            }
        }
        if (!cause && isWorkbookPath(request.input)) {
            file.close();
            std::string why;
            if (const std::optional<std::string> csv =
                    workbookSheetAsCsv(request.input, request.sheet, why)) {
                SurveyFormat format = request.survey;
                format.delimiter = ',';
                survey = readSurvey(*csv, format);
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
            return kExitRefused;
        }
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

    // Nothing is written when the tables cannot be relied on.
    const std::shared_ptr<const StatTables> tables = StatTables::load(folders.programFolder);
    if (!tables->installationProblem().empty()) {
        err << "benthix-cli: " << tables->installationProblem() << "\n"
            << "benthix-cli: no comparison was run\n";
        return kExitRefused;
    }

    OutputFile file;
    std::ostream* results = &out;
    if (request.output) {
        if (!file.open(*request.output)) {
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
    if (!logs.start(request, err)) {
        err << "benthix-cli: no comparison was run\n";
        return kExitRefused;
    }
    const bool logging = logs.active();

    // One batch per group, in the order the groups first appear; without group columns the
    // whole survey is one group.
    const std::string referenceId(trimBlanks(request.reference));
    std::vector<std::vector<std::uint32_t>> byGroup(survey.groups().size());
    for (std::size_t i = 0; i < survey.size(); ++i) {
        byGroup[survey.groupIndexOf(i)].push_back(static_cast<std::uint32_t>(i));
    }
    std::vector<std::unique_ptr<SurveySample>> references;
    std::vector<std::unique_ptr<ComparisonRunner>> runners;
    std::vector<QueuedComparison> comparisons;
    comparisons.reserve(survey.size());
    bool referenceMissing = survey.groups().empty();
    if (referenceMissing) {
        err << "benthix-cli: the reference sample \"" << referenceId << "\" is not in "
            << request.input << '\n';
    }
    for (std::size_t g = 0; g < survey.groups().size(); ++g) {
        const std::vector<std::string>& group = survey.groups()[g];
        const std::optional<std::size_t> referenceAt = survey.find(referenceId, g);
        if (referenceAt) {
            references.push_back(std::make_unique<SurveySample>(survey.sample(*referenceAt)));
        } else {
            referenceMissing = true;
            err << "benthix-cli: the reference sample \"" << referenceId << "\" is not in "
                << request.input;
            for (std::size_t i = 0; i < group.size(); ++i) {
                err << (i == 0 ? " for " : ", ") << survey.groupColumns[i] << " \"" << group[i]
                    << '"';
            }
            err << '\n';
        }
        runners.push_back(std::make_unique<ComparisonRunner>(
            tables, request.options, referenceId, referenceAt ? references.back().get() : nullptr,
            request.format, request.lenient, survey.groupColumns, group));
        for (const std::uint32_t i : byGroup[g]) {
            if (!referenceAt || i != *referenceAt) {
                comparisons.push_back({i, runners.back().get()});
            }
        }
    }
    byGroup.clear();
    byGroup.shrink_to_fit();

    ProgressBar progress(err, comparisons.size(),
                         errIsTerminal && comparisons.size() > kProgressBarThreshold);
    ResultWriter writer(*results, err, progress, logging ? &logs : nullptr, errIsTerminal, request,
                        survey.groupColumns);
    writer.header();
    if (request.jobs <= 1 || comparisons.size() <= 1) {
        SurveySample test;
        for (const QueuedComparison& c : comparisons) {
            survey.sampleInto(c.test, test);
            ComparisonResult result = c.runner->run(test, logging);
            writer.write(result);
        }
    } else {
        runParallel(survey, comparisons, request.jobs, logging, writer);
    }
    writer.finish();
    progress.finish();

    bool written = true;
    if (request.output) {
        if (!file.close()) {
            err << "benthix-cli: writing " << *request.output << " failed: " << file.failureCause()
                << '\n';
            written = false;
        }
    } else {
        out.flush();
        if (!out) {
            err << "benthix-cli: writing the results failed\n";
            written = false;
        }
    }
    return writer.anyRefused() || writer.logFailed() || referenceMissing || !written ? kExitRefused
                                                                                     : kExitRan;
}

}  // namespace bx::cli
