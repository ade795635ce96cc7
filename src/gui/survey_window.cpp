#include "gui/survey_window.h"

#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/main_window.h"
#include "app/survey_comparison.h"
#include "drawing/cairo/cairo_canvas.h"
#include "gui/main_form.h"
#include "gui/replicate_plot.h"
#include "reports/report_workbook.h"
#include "survey/csv.h"
#include "survey/runner.h"
#include "survey/workbook_reader.h"
#include "tables/sha256.h"
#include "tables/stat_tables.h"

namespace bx::gui {

// The selected comparison's replicate plot.
class PanelPlot : public QWidget {
  public:
    explicit PanelPlot(QWidget* parent = nullptr) : QWidget(parent) {
        setObjectName("surveyPlot");
        setMinimumSize(220, 160);
    }
    void show(std::vector<drawing::PlotPanel> panels) {
        panels_ = std::move(panels);
        update();
    }
    const std::vector<drawing::PlotPanel>& panels() const { return panels_; }

  protected:
    void paintEvent(QPaintEvent* /*event*/) override { paintPlot(*this, panels_); }

  private:
    std::vector<drawing::PlotPanel> panels_;
};

namespace {

constexpr int kPreviewRows = 8;
const char* const kRoleNames[] = {"other",     "station", "endpoint",
                                  "replicate", "value",   "endpoint values"};
enum Column {
    Station,
    Endpoint,
    N,
    Mean,
    PercentRef,
    Test,
    Statistic,
    Critical,
    P,
    PAdjusted,
    Verdict,
    Warnings,
    ColumnCount
};
const char* const kColumnNames[] = {"Station",   "Endpoint", "n", "Mean",   "% of ref", "Test",
                                    "Statistic", "Critical", "p", "Adj. p", "Verdict",  "Warnings"};

std::string lowerCase(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return s;
}

ColumnRole guessRole(const std::string& name, const std::string& firstValue, bool valueNamed) {
    const std::string n = lowerCase(name);
    if (n == "station" || n == "sample" || n == "site") {
        return ColumnRole::Station;
    }
    if (n == "endpoint") {
        return ColumnRole::Endpoint;
    }
    if (n == "rep" || n == "replicate") {
        return ColumnRole::Replicate;
    }
    if (n == "value") {
        return ColumnRole::Value;
    }
    char* end = nullptr;
    std::strtod(firstValue.c_str(), &end);
    const bool numeric = !firstValue.empty() && end != firstValue.c_str() && *end == '\0';
    return numeric && !valueNamed ? ColumnRole::EndpointValues : ColumnRole::Other;
}

QStandardItem* numberItem(double v, int decimals = 4) {
    auto* item = new QStandardItem;
    if (std::isfinite(v)) {
        item->setData(v, Qt::UserRole);
        item->setData(QString::number(v, 'g', decimals + 1), Qt::DisplayRole);
    }
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QStandardItem* pItem(double p) {
    auto* item = new QStandardItem;
    if (std::isfinite(p)) {
        item->setData(p, Qt::UserRole);
        item->setData(p < 0.0001 ? QString("< 0.0001") : QString::number(p, 'f', 4),
                      Qt::DisplayRole);
    }
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

// Sorts by the number a cell holds where it holds one, else by its text.
class ResultsProxy : public QSortFilterProxyModel {
  public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

  protected:
    bool lessThan(const QModelIndex& a, const QModelIndex& b) const override {
        const QVariant x = a.data(Qt::UserRole);
        const QVariant y = b.data(Qt::UserRole);
        if (x.isValid() && y.isValid()) {
            return x.toDouble() < y.toDouble();
        }
        if (x.isValid() != y.isValid()) {
            return x.isValid();  // numbers before empty cells
        }
        return QSortFilterProxyModel::lessThan(a, b);
    }
};

}  // namespace

SurveyWindow::SurveyWindow(MainForm& main, QWidget* parent) : QMainWindow(parent), main_(main) {
    setObjectName("frmSurvey");
    setWindowTitle("Benthix — Survey");
    setAttribute(Qt::WA_DeleteOnClose, false);

    QMenu* file = menuBar()->addMenu("&File");
    file->addAction("&Open Survey…", this, [this] { chooseAndOpen(); });
    file->addAction("&Load Plan…", this, [this] { chooseAndLoadPlan(); });
    file->addAction("&Save Plan…", this, [this] { chooseAndSavePlan(); });
    file->addSeparator();
    file->addAction("Export &Results…", this, [this] { chooseAndExport(false); });
    file->addAction("Export Re&port…", this, [this] { chooseAndExport(true); });
    // The PDF report's paper, A4 or US Letter, first as the locale has it.
    QMenu* paper = file->addMenu("Report P&aper");
    auto* papers = new QActionGroup(this);
    for (const auto& [caption, size] :
         {std::pair{"&A4", drawing::Paper::A4}, std::pair{"US &Letter", drawing::Paper::Letter}}) {
        QAction* a = paper->addAction(caption);
        a->setCheckable(true);
        a->setChecked(size == paper_);
        papers->addAction(a);
        connect(a, &QAction::triggered, this, [this, size = size] { paper_ = size; });
    }
    file->addSeparator();
    file->addAction("&Close", this, [this] { close(); });

    auto* centre = new QWidget;
    auto* layout = new QVBoxLayout(centre);
    auto* fileRow = new QHBoxLayout;
    fileLabel_ = new QLineEdit;
    fileLabel_->setReadOnly(true);
    fileLabel_->setObjectName("surveyFile");
    // A workbook's sheets, listed once it is opened; choosing one reads that sheet.
    sheetList_ = new QComboBox;
    sheetList_->setObjectName("surveySheet");
    sheetList_->setMinimumWidth(120);
    sheetList_->setEnabled(false);
    connect(sheetList_, &QComboBox::activated, this, [this] {
        if (!path_.isEmpty() && sheetList_->currentText() != sheet_) {
            openSurvey(path_, sheetList_->currentText());
        }
    });
    auto* open = new QPushButton("Open…");
    connect(open, &QPushButton::clicked, this, [this] { chooseAndOpen(); });
    auto* reread = new QPushButton("Read with these columns");
    reread->setObjectName("cmdApplyColumns");
    connect(reread, &QPushButton::clicked, this, [this] { applyColumns(); });
    fileRow->addWidget(new QLabel("Survey:"));
    fileRow->addWidget(fileLabel_, 1);
    fileRow->addWidget(new QLabel("Sheet:"));
    fileRow->addWidget(sheetList_);
    fileRow->addWidget(open);
    fileRow->addWidget(reread);
    layout->addLayout(fileRow);

    preview_ = new QTableWidget;
    preview_->setObjectName("surveyPreview");
    preview_->setMaximumHeight(170);
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(preview_);

    planTable_ = new QTableWidget(0, 6);
    planTable_->setObjectName("surveyPlan");
    planTable_->setHorizontalHeaderLabels(
        {"Endpoint", "Reference", "Alternative", "Alpha", "Transformation", "Power difference"});
    planTable_->horizontalHeader()->setStretchLastSection(true);
    planTable_->setMaximumHeight(150);
    layout->addWidget(planTable_);

    auto* runRow = new QHBoxLayout;
    runButton_ = new QPushButton("Run");
    runButton_->setObjectName("cmdRunSurvey");
    cancelButton_ = new QPushButton("Cancel");
    cancelButton_->setObjectName("cmdCancelSurvey");
    cancelButton_->setEnabled(false);
    progress_ = new QProgressBar;
    progress_->setObjectName("surveyProgress");
    connect(runButton_, &QPushButton::clicked, this, [this] { run(); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { cancel(); });
    runRow->addWidget(runButton_);
    runRow->addWidget(cancelButton_);
    runRow->addWidget(progress_, 1);
    runRow->addWidget(new QLabel("Endpoint:"));
    endpointFilter_ = new QComboBox;
    endpointFilter_->setObjectName("filterEndpoint");
    runRow->addWidget(endpointFilter_);
    runRow->addWidget(new QLabel("Verdict:"));
    verdictFilter_ = new QComboBox;
    verdictFilter_->setObjectName("filterVerdict");
    verdictFilter_->addItems({"All", "Lower than reference", "Higher than reference",
                              "No significant difference", "Refused"});
    runRow->addWidget(verdictFilter_);
    layout->addLayout(runRow);

    model_ = new QStandardItemModel(0, ColumnCount, this);
    QStringList names;
    for (const char* n : kColumnNames) {
        names << n;
    }
    model_->setHorizontalHeaderLabels(names);
    byEndpoint_ = new QSortFilterProxyModel(this);
    byEndpoint_->setSourceModel(model_);
    byEndpoint_->setFilterKeyColumn(Endpoint);
    byVerdict_ = new ResultsProxy(this);
    byVerdict_->setSourceModel(byEndpoint_);
    byVerdict_->setFilterKeyColumn(Verdict);
    resultsView_ = new QTableView;
    resultsView_->setObjectName("surveyResults");
    resultsView_->setModel(byVerdict_);
    resultsView_->setSortingEnabled(true);
    resultsView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    resultsView_->setSelectionMode(QAbstractItemView::SingleSelection);
    resultsView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    resultsView_->sortByColumn(-1, Qt::AscendingOrder);
    connect(resultsView_, &QTableView::activated, this,
            [this](const QModelIndex& index) { openRow(index.row()); });
    connect(resultsView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { showSelected(); });
    connect(endpointFilter_, &QComboBox::currentIndexChanged, this, [this] { applyFilters(); });
    connect(verdictFilter_, &QComboBox::currentIndexChanged, this, [this] { applyFilters(); });

    plot_ = new PanelPlot;
    addSavePlotAction(
        *plot_, main_.desktop(), [this] { return plot_->panels(); },
        [this](const std::string& line) { say(QString::fromStdString(line)); });
    auto* split = new QSplitter;
    split->addWidget(resultsView_);
    split->addWidget(plot_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    split->setSizes({820, 300});
    layout->addWidget(split, 1);
    setCentralWidget(centre);
    statusBar()->setObjectName("surveyStatus");

    drainTimer_ = new QTimer(this);
    drainTimer_->setInterval(50);
    connect(drainTimer_, &QTimer::timeout, this, [this] { drainResults(); });
    resize(1100, 720);
}

SurveyWindow::~SurveyWindow() {
    cancel_ = true;
    if (worker_.joinable()) {
        worker_.join();
    }
}

void SurveyWindow::say(const QString& text) {
    statusBar()->showMessage(text);
}

bool SurveyWindow::openSurvey(const QString& path, const QString& sheet) {
    if (isRunning()) {
        return false;
    }
    std::vector<CsvRecord> records;
    const std::string file = path.toStdString();
    QStringList sheets;
    if (isWorkbookPath(file)) {
        std::string why;
        for (const std::string& name : workbookSheetNames(file, why)) {
            sheets << QString::fromStdString(name);
        }
        const std::optional<WorkbookSheet> ws = workbookSheetAsCsv(file, sheet.toStdString(), why);
        if (!ws) {
            main_.desktop().messageBox("Open Survey", "Cannot read " + file + ": " + why,
                                       MessageIcon::Exclamation, MessageButtons::Ok);
            return false;
        }
        CsvDocument doc = parseCsv(ws->csv);
        records = std::move(doc.records);
    } else {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            main_.desktop().messageBox("Open Survey", "Cannot read " + file,
                                       MessageIcon::Exclamation, MessageButtons::Ok);
            return false;
        }
        CsvStream csv(in, std::nullopt);
        CsvRecord record;
        CsvError error;
        while (records.size() <= kPreviewRows && csv.next(record, error)) {
            if (error.reason.empty()) {
                records.push_back(record);
            }
            error = {};
        }
    }
    if (records.empty()) {
        main_.desktop().messageBox("Open Survey", file + " holds no header line",
                                   MessageIcon::Exclamation, MessageButtons::Ok);
        return false;
    }
    path_ = path;
    sheet_ = sheet.isEmpty() && !sheets.isEmpty() ? sheets.front() : sheet;
    fileLabel_->setText(path);
    sheetList_->clear();
    sheetList_->addItems(sheets);
    sheetList_->setCurrentText(sheet_);
    sheetList_->setEnabled(sheets.size() > 1);
    header_.clear();
    for (const std::string& f : records[0].fields) {
        header_ << QString::fromStdString(f);
    }
    bool valueNamed = false;
    for (const QString& h : header_) {
        valueNamed = valueNamed || h.trimmed().toLower() == "value";
    }
    roles_.clear();
    const int rows = static_cast<int>(std::min<std::size_t>(records.size(), kPreviewRows + 1));
    preview_->clear();
    preview_->setColumnCount(static_cast<int>(header_.size()));
    preview_->setRowCount(rows);  // the roles, then the first rows
    preview_->setHorizontalHeaderLabels(header_);
    for (int c = 0; c < header_.size(); ++c) {
        const std::string first =
            records.size() > 1 && static_cast<std::size_t>(c) < records[1].fields.size()
                ? records[1].fields[static_cast<std::size_t>(c)]
                : std::string();
        roles_.push_back(guessRole(header_[c].toStdString(), first, valueNamed));
        auto* combo = new QComboBox;
        for (const char* n : kRoleNames) {
            combo->addItem(n);
        }
        combo->setCurrentIndex(static_cast<int>(roles_.back()));
        connect(combo, &QComboBox::currentIndexChanged, this,
                [this, c](int i) { roles_[static_cast<std::size_t>(c)] = ColumnRole(i); });
        preview_->setCellWidget(0, c, combo);
        for (int r = 1; r < rows; ++r) {
            const auto& fields = records[static_cast<std::size_t>(r)].fields;
            preview_->setItem(r, c,
                              new QTableWidgetItem(
                                  QString::fromStdString(static_cast<std::size_t>(c) < fields.size()
                                                             ? fields[static_cast<std::size_t>(c)]
                                                             : std::string())));
        }
    }
    preview_->setVerticalHeaderLabels(QStringList{"role"} << QStringList());
    return applyColumns();
}

void SurveyWindow::setRole(int column, ColumnRole role) {
    if (column >= 0 && static_cast<std::size_t>(column) < roles_.size()) {
        roles_[static_cast<std::size_t>(column)] = role;
        if (auto* combo = qobject_cast<QComboBox*>(preview_->cellWidget(0, column))) {
            combo->setCurrentIndex(static_cast<int>(role));
        }
    }
}

ColumnRole SurveyWindow::role(int column) const {
    return column >= 0 && static_cast<std::size_t>(column) < roles_.size()
               ? roles_[static_cast<std::size_t>(column)]
               : ColumnRole::Other;
}

bool SurveyWindow::applyColumns() {
    if (path_.isEmpty() || isRunning()) {
        return false;
    }
    SurveyFormat format;
    format.sampleColumn.clear();
    format.valueColumn.clear();
    for (std::size_t c = 0; c < roles_.size(); ++c) {
        const std::string name = header_[static_cast<int>(c)].toStdString();
        switch (roles_[c]) {
            case ColumnRole::Station:
                format.sampleColumn = name;
                break;
            case ColumnRole::Endpoint:
                format.groupColumns.push_back(name);
                break;
            case ColumnRole::Replicate:
                format.replicateColumn = name;
                break;
            case ColumnRole::Value:
                format.valueColumn = name;
                break;
            case ColumnRole::EndpointValues:
                format.endpointColumns.push_back(name);
                break;
            case ColumnRole::Other:
                format.ignoredColumns.push_back(name);
                break;
        }
    }
    if (format.sampleColumn.empty() ||
        (format.valueColumn.empty() && format.endpointColumns.empty())) {
        say("Give one column the role \"station\" and one \"value\" (or columns \"endpoint "
            "values\")");
        return false;
    }
    if (format.valueColumn.empty()) {
        format.valueColumn = "value";
    }
    const std::string file = path_.toStdString();
    auto survey = std::make_unique<Survey>();
    if (isWorkbookPath(file)) {
        std::string why;
        const std::optional<WorkbookSheet> ws = workbookSheetAsCsv(file, sheet_.toStdString(), why);
        if (!ws) {
            say(QString::fromStdString("Cannot read " + file + ": " + why));
            return false;
        }
        *survey = readSurvey(*ws, format);
    } else {
        std::ifstream in(file, std::ios::binary);
        std::error_code unknown;
        const auto size = std::filesystem::file_size(file, unknown);
        *survey = readSurvey(in, format, unknown ? 0 : size);
    }
    if (survey->errorCount > 0) {
        const CsvError& e = survey->errors.front();
        say(QString::fromStdString(file + ":" + std::to_string(e.line) + ": " + e.reason));
        return false;
    }
    survey_ = std::move(survey);
    fillPlanTable();
    say(QString("%1 samples in %2 endpoint(s) read from %3")
            .arg(survey_->size())
            .arg(survey_->groups().size())
            .arg(QFileInfo(path_).absoluteFilePath()));
    return true;
}

void SurveyWindow::fillPlanTable() {
    planTable_->setRowCount(0);
    endpointFilter_->blockSignals(true);
    endpointFilter_->clear();
    endpointFilter_->addItem("All");
    const auto& groups = survey_->groups();
    std::vector<QStringList> stations(groups.size());
    for (std::size_t i = 0; i < survey_->size(); ++i) {
        stations[survey_->groupIndexOf(i)] << QString::fromStdString(survey_->sample(i).id);
    }
    for (std::size_t g = 0; g < groups.size(); ++g) {
        QString name;
        for (const std::string& part : groups[g]) {
            name += (name.isEmpty() ? "" : "/") + QString::fromStdString(part);
        }
        if (name.isEmpty()) {
            name = "all samples";
        }
        endpointFilter_->addItem(name);
        const int row = planTable_->rowCount();
        planTable_->insertRow(row);
        auto* endpoint = new QTableWidgetItem(name);
        endpoint->setFlags(endpoint->flags() & ~Qt::ItemIsEditable);
        planTable_->setItem(row, 0, endpoint);
        auto* reference = new QComboBox;
        reference->addItems(stations[g]);
        // A station named like a reference is the first guess.
        for (int k = 0; k < stations[g].size(); ++k) {
            if (stations[g][k].toLower().startsWith("ref")) {
                reference->setCurrentIndex(k);
            }
        }
        planTable_->setCellWidget(row, 1, reference);
        auto* alternative = new QComboBox;
        alternative->addItems({"x1 < x2", "x1 > x2"});
        planTable_->setCellWidget(row, 2, alternative);
        auto* alpha = new QComboBox;
        alpha->addItems({"0.05", "0.1"});
        planTable_->setCellWidget(row, 3, alpha);
        auto* transform = new QComboBox;
        for (const TransformationInfo& t : kTransformations) {
            transform->addItem(
                QString::fromUtf8(t.caption.data(), static_cast<int>(t.caption.size())));
        }
        planTable_->setCellWidget(row, 4, transform);
        planTable_->setItem(row, 5, new QTableWidgetItem);
    }
    planTable_->resizeColumnsToContents();
    endpointFilter_->blockSignals(false);
}

SurveyPlan SurveyWindow::planFromTable() const {
    SurveyPlan plan;
    if (!survey_) {
        return plan;
    }
    plan.groupColumns = survey_->groupColumns;
    const auto combo = [&](int row, int col) {
        return qobject_cast<QComboBox*>(planTable_->cellWidget(row, col))
            ->currentText()
            .toStdString();
    };
    for (int row = 0; row < planTable_->rowCount(); ++row) {
        SurveyPlan::Row r;
        r.group = survey_->groups()[static_cast<std::size_t>(row)];
        r.settings.reference = combo(row, 1);
        r.settings.alternative = alternativeNamed(combo(row, 2));
        r.settings.alpha = combo(row, 3);
        r.settings.transformation = transformationNamed(combo(row, 4));
        const QString d =
            planTable_->item(row, 5) ? planTable_->item(row, 5)->text().trimmed() : QString();
        if (!d.isEmpty()) {
            r.settings.powerDifference = d.toStdString();
        }
        r.line = row + 2;
        plan.rows.push_back(std::move(r));
    }
    return plan;
}

bool SurveyWindow::savePlan(const QString& path) {
    if (!survey_ || survey_->groupColumns.empty()) {
        say("A plan is saved for a survey with endpoints");
        return false;
    }
    return writeFile(path, planText(planFromTable()));
}

bool SurveyWindow::loadPlan(const QString& path) {
    if (!survey_) {
        return false;
    }
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    std::string error;
    const std::optional<SurveyPlan> plan = readPlan(all.str(), error);
    if (!in || !plan) {
        say("Cannot load the plan " + path + ": " + QString::fromStdString(error));
        return false;
    }
    // The plan's group values in the order of the survey's group columns.
    std::vector<std::size_t> from;
    for (const std::string& column : survey_->groupColumns) {
        std::size_t k = 0;
        while (k < plan->groupColumns.size() &&
               lowerCase(plan->groupColumns[k]) != lowerCase(column)) {
            ++k;
        }
        if (k == plan->groupColumns.size() ||
            plan->groupColumns.size() != survey_->groupColumns.size()) {
            say("The plan " + path + " groups by other columns than the survey");
            return false;
        }
        from.push_back(k);
    }
    int applied = 0;
    for (int row = 0; row < planTable_->rowCount(); ++row) {
        const auto& group = survey_->groups()[static_cast<std::size_t>(row)];
        for (const SurveyPlan::Row& r : plan->rows) {
            bool same = true;
            for (std::size_t i = 0; i < from.size(); ++i) {
                same = same && r.group[from[i]] == group[i];
            }
            if (!same) {
                continue;
            }
            const PlannedSettings& s = r.settings;
            const auto pick = [&](int col, const std::string& text) {
                auto* box = qobject_cast<QComboBox*>(planTable_->cellWidget(row, col));
                const int i = box->findText(QString::fromStdString(text));
                if (i >= 0) {
                    box->setCurrentIndex(i);
                }
            };
            if (s.reference) {
                pick(1, *s.reference);
            }
            if (s.alternative) {
                pick(2, std::string(alternativeCaption(*s.alternative)));
            }
            if (s.alpha) {
                pick(3, *s.alpha);
            }
            if (s.transformation) {
                pick(4, std::string(transformationCaption(*s.transformation)));
            }
            planTable_->item(row, 5)->setText(
                QString::fromStdString(s.powerDifference.value_or("")));
            ++applied;
        }
    }
    say(QString("Plan %1: %2 endpoint(s) set")
            .arg(QFileInfo(path).absoluteFilePath())
            .arg(applied));
    return true;
}

void SurveyWindow::run() {
    if (!survey_ || isRunning()) {
        return;
    }
    // Nothing runs on tables that cannot be relied on (the main window has said why).
    if (!main_.core().tables().installationProblem().empty()) {
        say(QString::fromStdString(main_.core().tables().installationProblem()));
        return;
    }
    model_->removeRows(0, model_->rowCount());
    rows_.clear();
    rowsShown_ = 0;
    report_.reset();
    SurveyJob& job = job_;
    job = SurveyJob{};
    if (survey_->groupColumns.empty()) {
        SurveyPlan one = planFromTable();
        if (!one.rows.empty()) {
            job.settings = one.rows[0].settings.over(job.settings);
        }
    } else {
        runPlan_ = std::make_unique<SurveyPlan>(planFromTable());
        job.plan = runPlan_.get();
    }
    std::vector<std::string> errors;
    std::vector<std::string> notices;
    run_ = std::make_unique<SurveyRun>(*survey_, main_.core().sharedTables(), job, errors, notices);
    if (!errors.empty()) {
        say(QString::fromStdString(errors.front()));
        run_.reset();
        return;
    }
    drawing::SurveyReport header;
    header.project = QFileInfo(path_).completeBaseName().toStdString();
    header.surveyFile = QFileInfo(path_).absoluteFilePath().toStdString();
    {
        std::ifstream in(path_.toStdString(), std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        header.surveySha256 = sha256Hex(all.str());
    }
    header.createdAt = drawing::reportTimestamp();
    builder_ = std::make_unique<drawing::SurveyReportBuilder>(*survey_, *run_, std::move(header));
    total_ = run_->size();
    progress_->setRange(0, static_cast<int>(total_));
    progress_->setValue(0);
    cancel_ = false;
    done_ = false;
    runButton_->setEnabled(false);
    cancelButton_->setEnabled(true);
    resultsView_->setSortingEnabled(false);
    say(QString("Running %1 comparisons…").arg(total_));
    worker_ = std::thread([this] {
        const unsigned cores = std::max(1U, std::thread::hardware_concurrency());
        run_->run(
            static_cast<int>(std::min(cores, 4U)), true,
            [this](ComparisonResult& r) {
                builder_->add(r);
                const auto& e = builder_->report().endpoints[r.group];
                Pending p{e.stations.back(),
                          r.group,
                          r.line,
                          e.name,
                          e.settings.alternative,
                          e.settings.reference,
                          e.referenceValues,
                          e.referenceMean};
                r.record.reset();
                const std::lock_guard<std::mutex> lock(pendingMutex_);
                pending_.push_back(std::move(p));
            },
            &cancel_);
        done_ = true;
    });
    drainTimer_->start();
}

void SurveyWindow::cancel() {
    if (isRunning()) {
        cancel_ = true;
        say("Cancelling…");
    }
}

void SurveyWindow::drainResults() {
    std::vector<Pending> taken;
    {
        const std::lock_guard<std::mutex> lock(pendingMutex_);
        taken.swap(pending_);
    }
    const QIcon lower = style()->standardIcon(QStyle::SP_ArrowDown);
    const QIcon higher = style()->standardIcon(QStyle::SP_ArrowUp);
    const QIcon same = style()->standardIcon(QStyle::SP_DialogApplyButton);
    const QIcon refused = style()->standardIcon(QStyle::SP_MessageBoxCritical);
    for (Pending& p : taken) {
        const drawing::ReportStation& s = p.station;
        QList<QStandardItem*> items;
        items << new QStandardItem(QString::fromStdString(s.station))
              << new QStandardItem(QString::fromStdString(p.endpoint)) << numberItem(s.n)
              << numberItem(s.mean) << numberItem(s.percentOfReference.value_or(NAN))
              << new QStandardItem(QString::fromStdString(s.test)) << numberItem(s.statistic)
              << numberItem(s.critical) << pItem(s.p) << pItem(s.pAdjusted);
        const std::string words = drawing::verdictWords(s, p.alternative);
        auto* verdict = new QStandardItem(QString::fromStdString(words));
        verdict->setIcon(s.refused                            ? refused
                         : !s.rejectNull                      ? same
                         : p.alternative == Alternative::Less ? lower
                                                              : higher);
        items << verdict;
        std::string notes = s.refused ? "refused: " + s.refusal : std::string();
        for (const std::string& w : s.warnings) {
            notes += (notes.empty() ? "" : "; ") + w;
        }
        items << new QStandardItem(QString::fromStdString(notes));
        items[0]->setData(static_cast<qulonglong>(rows_.size()), Qt::UserRole + 1);
        model_->appendRow(items);
        rows_.push_back(std::move(p));
    }
    rowsShown_ = rows_.size();
    progress_->setValue(static_cast<int>(rowsShown_));
    if (done_ && worker_.joinable()) {
        finishRun();
    }
}

void SurveyWindow::finishRun() {
    worker_.join();
    drainTimer_->stop();
    drainResults();
    report_ = builder_->take();
    runButton_->setEnabled(true);
    cancelButton_->setEnabled(false);
    resultsView_->setSortingEnabled(true);
    resultsView_->resizeColumnsToContents();
    say(QString("%1 of %2 comparisons%3")
            .arg(rowsShown_)
            .arg(total_)
            .arg(cancel_ ? " (cancelled)" : ""));
    emit runFinished();
}

void SurveyWindow::applyFilters() {
    const QString endpoint =
        endpointFilter_->currentIndex() <= 0 ? QString() : endpointFilter_->currentText();
    byEndpoint_->setFilterRegularExpression(
        endpoint.isEmpty() ? QString() : "^" + QRegularExpression::escape(endpoint) + "$");
    const QString verdict =
        verdictFilter_->currentIndex() <= 0 ? QString() : verdictFilter_->currentText();
    byVerdict_->setFilterFixedString(verdict);
}

void SurveyWindow::showSelected() {
    const QModelIndex current = resultsView_->currentIndex();
    if (!current.isValid()) {
        return;
    }
    const QModelIndex first = byVerdict_->index(current.row(), 0);
    const auto row = first.data(Qt::UserRole + 1).toULongLong();
    if (row >= rows_.size()) {
        return;
    }
    const Pending& p = rows_[row];
    drawing::PlotPanel panel;
    panel.title = p.station.station + " / " + p.endpoint;
    panel.test = {p.station.station, p.station.values, std::nullopt};
    panel.reference = {p.reference, p.referenceValues, std::nullopt};
    if (std::isfinite(p.station.mean)) {
        panel.test.mean = p.station.mean;
    }
    if (std::isfinite(p.referenceMean)) {
        panel.reference.mean = p.referenceMean;
    }
    plot_->show({panel});
}

void SurveyWindow::openRow(int viewRow) {
    if (!survey_ || viewRow < 0 || viewRow >= byVerdict_->rowCount()) {
        return;
    }
    const auto row = byVerdict_->index(viewRow, 0).data(Qt::UserRole + 1).toULongLong();
    if (row >= rows_.size() || !run_) {
        return;
    }
    const Pending& p = rows_[row];
    const ComparisonSettings settings = run_->settingsOf(p.group);
    const std::optional<std::size_t> test = survey_->find(p.station.station, p.group);
    const std::optional<std::size_t> reference = survey_->find(settings.reference, p.group);
    if (!test || !reference) {
        say("The reference is not in this endpoint");
        return;
    }
    const SurveySample t = survey_->sample(*test);
    const SurveySample r = survey_->sample(*reference);
    const std::string project = QFileInfo(path_).completeBaseName().toStdString();
    main_.forward([&](MainWindow& w) { openSurveyComparison(w, t, r, settings, project); });

    main_.show();
    main_.raise();
    main_.activateWindow();
}

std::optional<QString> SurveyWindow::choosePath(const char* caption) {
    const std::optional<FileDialogAnswer> answer =
        main_.desktop().fileDialog(caption, QFileInfo(path_).absolutePath().toStdString());
    if (!answer || answer->entryText.empty()) {
        return std::nullopt;
    }
    return QString::fromStdString(
        (std::filesystem::path(answer->folder) / answer->entryText).string());
}

void SurveyWindow::chooseAndOpen() {
    if (const auto path = choosePath("Open Survey")) {
        openSurvey(*path, {});
    }
}

void SurveyWindow::chooseAndLoadPlan() {
    if (const auto path = choosePath("Load Plan")) {
        loadPlan(*path);
    }
}

void SurveyWindow::chooseAndSavePlan() {
    if (const auto path = choosePath("Save Plan")) {
        savePlan(*path);
    }
}

void SurveyWindow::chooseAndExport(bool report) {
    if (const auto path = choosePath(report ? "Export Report (.pdf or .html)"
                                            : "Export Results (.csv, .xlsx or .jsonl)")) {
        report ? exportReport(*path) : exportResults(*path);
    }
}

bool SurveyWindow::confirmReplace(const QString& path) {
    if (!QFileInfo::exists(path)) {
        return true;
    }
    return main_.desktop()
        .confirm("Replace File",
                 QFileInfo(path).absoluteFilePath().toStdString() + " exists. Replace it?")
        .yes;
}

bool SurveyWindow::writeFile(const QString& path, const std::string& bytes) {
    return writeWith(path, [&bytes](const std::string& full) {
        std::ofstream out(full, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        return out ? std::string() : std::string("the file could not be written");
    });
}

bool SurveyWindow::writeWith(const QString& path,
                             const std::function<std::string(const std::string&)>& write) {
    if (!confirmReplace(path)) {
        say("Nothing written");
        return false;
    }
    const QString full = QFileInfo(path).absoluteFilePath();
    if (const std::string failure = write(full.toStdString()); !failure.empty()) {
        say("Writing " + full + " failed: " + QString::fromStdString(failure));
        return false;
    }
    say("Wrote " + full);
    return true;
}

bool SurveyWindow::exportResults(const QString& path) {
    if (rows_.empty() || isRunning()) {
        return false;
    }
    const QString lower = path.toLower();
    if (lower.endsWith(".jsonl") || lower.endsWith(".json")) {
        return writeFile(path, jsonLines());
    }
    const bool workbook = lower.endsWith(".xlsx");
    if (!workbook && !lower.endsWith(".csv") && !lower.endsWith(".txt")) {
        say("The results are written as .csv, .xlsx or .jsonl");
        return false;
    }
    std::string text;
    appendCsvRecord(text, resultsHeader(PAdjust::None, survey_->groupColumns));
    for (const Pending& p : rows_) {
        text += p.line;
    }
    if (!workbook) {
        return writeFile(path, text);
    }
    // The same cells as the CSV, numbers stored as numbers, on one sheet.
    std::vector<ReportLine> lines;
    std::istringstream in(text);
    CsvStream csv(in, ',');
    CsvRecord record;
    CsvError error;
    while (csv.next(record, error)) {
        lines.push_back(record.fields);
    }
    return writeWith(path, [&lines](const std::string& full) {
        const TableError saved = ReportWorkbook{}.save(full, "Results", lines);
        return !saved ? std::string() : saved.cause.empty() ? saved.description : saved.cause;
    });
}

std::string SurveyWindow::jsonLines() const {
    // The shown results once more as the batch's JSON lines: the same job, run again in the
    // same order, as far as the run shown went.
    SurveyJob job = job_;
    job.format = ResultsFormat::Jsonl;
    std::vector<std::string> errors;
    std::vector<std::string> notices;
    const SurveyRun again(*survey_, main_.core().sharedTables(), job, errors, notices);
    std::string text;
    std::size_t count = 0;
    std::atomic<bool> enough{false};
    again.run(
        1, false,
        [&](ComparisonResult& r) {
            if (count < rows_.size()) {
                text += r.line;
            }
            enough = ++count >= rows_.size();
        },
        &enough);
    return text;
}

bool SurveyWindow::exportReport(const QString& path) {
    if (!report_ || isRunning()) {
        return false;
    }
    const bool pdf = path.toLower().endsWith(".pdf");
    if (!pdf && !path.toLower().endsWith(".html") && !path.toLower().endsWith(".htm")) {
        say("The report is written as .pdf or .html");
        return false;
    }
    return writeFile(path, pdf ? drawing::surveyReportPdf(*report_, paper_)
                               : drawing::surveyReportHtml(*report_, drawing::pangoTextWidth));
}

}  // namespace bx::gui
