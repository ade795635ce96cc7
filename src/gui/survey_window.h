#pragma once
// The survey window (File > Open Survey…): a survey file's columns given their roles, the plan
// as a table with one row per endpoint, the run on a worker thread with its progress and
// Cancel, the results as a sortable table filtered by endpoint and verdict, the selected
// comparison's replicate plot, and the results and the survey report written to files. A row
// opened (double-click or Enter) is put into the main window and executed there.

#include <QMainWindow>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "drawing/cairo/survey_report_pdf.h"
#include "drawing/survey_report.h"
#include "survey/plan.h"
#include "survey/survey.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;
class QTableWidget;
class QTimer;

namespace bx {
class StatTables;
class SurveyRun;
}  // namespace bx

namespace bx::gui {

class MainForm;
class PanelPlot;

// What a column of the survey holds.
enum class ColumnRole { Other, Station, Endpoint, Replicate, Value, EndpointValues };

class SurveyWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit SurveyWindow(MainForm& main, QWidget* parent = nullptr);
    ~SurveyWindow() override;

    // Reads the header and the first rows of a CSV file or a workbook's sheet (the first when
    // `sheet` is empty), guesses the columns' roles and reads the survey with them. False after
    // saying why.
    bool openSurvey(const QString& path, const QString& sheet = {});
    // The role of a column of the preview; reading the survey again follows it.
    void setRole(int column, ColumnRole role);
    ColumnRole role(int column) const;
    // Reads the survey with the roles as they stand and makes the plan table anew.
    bool applyColumns();

    bool loadPlan(const QString& path);
    bool savePlan(const QString& path);
    SurveyPlan planFromTable() const;

    void run();
    void cancel();
    bool isRunning() const { return worker_.joinable(); }

    // Writes the results (.csv, .xlsx, or the batch's JSON lines as .jsonl), or the report
    // (.pdf or .html); asks before replacing a file.
    bool exportResults(const QString& path);
    bool exportReport(const QString& path);

    // Opens a row of the results table (as the view shows it) in the main window.
    void openRow(int viewRow);

    QTableView* resultsView() const { return resultsView_; }
    QTableWidget* planTable() const { return planTable_; }
    std::size_t resultCount() const { return rowsShown_; }
    const Survey* survey() const { return survey_.get(); }

  signals:
    void runFinished();

  private:
    void chooseAndOpen();
    void chooseAndLoadPlan();
    void chooseAndSavePlan();
    void chooseAndExport(bool report);
    std::optional<QString> choosePath(const char* caption);
    bool confirmReplace(const QString& path);
    bool writeFile(const QString& path, const std::string& bytes);
    // Asks before replacing `path`, then has `write` write its full path (returning why it
    // failed, or ""), and says the outcome in the status bar.
    bool writeWith(const QString& path,
                   const std::function<std::string(const std::string&)>& write);
    std::string jsonLines() const;
    void fillPlanTable();
    void drainResults();
    void finishRun();
    void showSelected();
    void applyFilters();
    void say(const QString& text);

    MainForm& main_;
    QString path_;
    QString sheet_;
    QStringList header_;
    std::vector<ColumnRole> roles_;
    std::unique_ptr<Survey> survey_;
    std::unique_ptr<SurveyPlan> plan_;

    QLineEdit* fileLabel_ = nullptr;
    QComboBox* sheetList_ = nullptr;
    drawing::Paper paper_ = drawing::defaultPaper();
    QTableWidget* preview_ = nullptr;
    QTableWidget* planTable_ = nullptr;
    QPushButton* runButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QComboBox* endpointFilter_ = nullptr;
    QComboBox* verdictFilter_ = nullptr;
    QStandardItemModel* model_ = nullptr;
    QSortFilterProxyModel* byEndpoint_ = nullptr;
    QSortFilterProxyModel* byVerdict_ = nullptr;
    QTableView* resultsView_ = nullptr;
    PanelPlot* plot_ = nullptr;
    QTimer* drainTimer_ = nullptr;

    // The run: the worker thread hands each result to `pending_`; the window's timer moves
    // them into the table.
    struct Pending {
        drawing::ReportStation station;
        std::size_t group = 0;
        std::string line;
        // Its endpoint as the run found it, so that the window reads nothing the worker writes.
        std::string endpoint;
        Alternative alternative = Alternative::Less;
        std::string reference;
        std::vector<double> referenceValues;
        double referenceMean = drawing::kNaN;
    };
    std::unique_ptr<SurveyRun> run_;
    SurveyJob job_;  // the last run's, its plan in runPlan_
    std::unique_ptr<SurveyPlan> runPlan_;
    std::unique_ptr<drawing::SurveyReportBuilder> builder_;
    std::optional<drawing::SurveyReport> report_;
    std::thread worker_;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> done_{false};
    std::mutex pendingMutex_;
    std::vector<Pending> pending_;
    std::vector<Pending> rows_;  // every result shown, by the model's row
    std::size_t rowsShown_ = 0;
    std::size_t total_ = 0;
};

}  // namespace bx::gui
