// The survey window offscreen: a survey opened and its columns mapped, a plan loaded, the run on
// its worker thread, the results sorted and filtered, a row opened in the main window with the
// same panels as the comparison typed in by hand, and a long run cancelled.

#include <QApplication>
#include <QComboBox>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <chrono>
#include <fstream>
#include <iostream>

#include "gui/gui_support.h"
#include "gui/replicate_plot.h"
#include "gui/survey_window.h"

namespace bx::gui::test {
namespace {

void writeText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

QString shown(QTableView* view, int row, int column) {
    return view->model()->index(row, column).data().toString();
}

bool runToEnd(SurveyWindow& s) {
    QSignalSpy finished(&s, &SurveyWindow::runFinished);
    s.run();
    return finished.wait(20000);
}

TEST(SurveyWindow, MapsColumnsLoadsAPlanRunsSortsFiltersAndOpensARow) {
    FormFixture f("survey-window");
    // The station column's name is nothing the window would guess.
    writeText(f.scratch / "survey.csv",
              "pond,endpoint,rep,value\n"
              "REF,growth,1,14\nREF,growth,2,15\nREF,growth,3,16\n"
              "ST01,growth,1,10\nST01,growth,2,11\nST01,growth,3,12\n"
              "ST02,growth,1,14\nST02,growth,2,16\nST02,growth,3,15\n"
              "ST03,growth,1,abc\nST03,growth,2,11\n"
              "ST01,survival,1,14\nST01,survival,2,2\nST01,survival,3,16\nST01,survival,4,12\n"
              "CTRL,survival,1,19\nCTRL,survival,2,18\nCTRL,survival,3,7\nCTRL,survival,4,17\n");
    writeText(f.scratch / "plan.csv",
              "endpoint,reference,alternative,alpha\ngrowth,REF,less,0.05\n"
              "survival,CTRL,less,0.05\n");
    f.action("mnuOpenSurvey")->trigger();
    SurveyWindow* s = f.form().surveyWindow();
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->isVisible());
    EXPECT_FALSE(s->openSurvey(QString::fromStdString((f.scratch / "survey.csv").string())));
    EXPECT_EQ(s->role(0), ColumnRole::Other);
    EXPECT_EQ(s->role(2), ColumnRole::Replicate);
    s->setRole(0, ColumnRole::Station);
    ASSERT_TRUE(s->applyColumns());
    ASSERT_EQ(s->planTable()->rowCount(), 2);
    ASSERT_TRUE(s->loadPlan(QString::fromStdString((f.scratch / "plan.csv").string())));
    const auto reference = [&](int row) {
        return qobject_cast<QComboBox*>(s->planTable()->cellWidget(row, 1))->currentText();
    };
    EXPECT_EQ(reference(0), "REF");
    EXPECT_EQ(reference(1), "CTRL");

    ASSERT_TRUE(runToEnd(*s));
    QTableView* view = s->resultsView();
    ASSERT_EQ(view->model()->rowCount(), 4);
    // p by hand (the guide's worked examples): ST01 growth 0.0040, survival 0.1 (U = 13);
    // ST02 equals the reference, 0.5; ST03 refused, without a p, last.
    view->sortByColumn(8, Qt::AscendingOrder);
    EXPECT_EQ(shown(view, 0, 0) + "/" + shown(view, 0, 1), "ST01/growth");
    EXPECT_EQ(shown(view, 0, 8), "0.0040");
    EXPECT_EQ(shown(view, 0, 10), "Lower than reference");
    EXPECT_FALSE(view->model()->index(0, 10).data(Qt::DecorationRole).isNull());
    EXPECT_EQ(shown(view, 1, 8), "0.1000");
    EXPECT_EQ(shown(view, 2, 8), "0.5000");
    EXPECT_EQ(shown(view, 3, 10), "Refused");
    EXPECT_TRUE(shown(view, 3, 11).contains("not a number"));
    auto* verdict = s->findChild<QComboBox*>("filterVerdict");
    verdict->setCurrentText("No significant difference");
    EXPECT_EQ(view->model()->rowCount(), 2);
    verdict->setCurrentIndex(0);
    s->findChild<QComboBox*>("filterEndpoint")->setCurrentText("survival");
    EXPECT_EQ(view->model()->rowCount(), 1);
    s->findChild<QComboBox*>("filterEndpoint")->setCurrentIndex(0);

    // Enter on the first row opens it in the main window, executed.
    view->setFocus();
    view->setCurrentIndex(view->model()->index(0, 0));
    QTest::keyClick(view, Qt::Key_Return);
    FormFixture typed("survey-window-typed");
    typed.typeColumn("Grid1", {"10", "11", "12"});
    typed.typeColumn("Grid2", {"14", "15", "16"});
    QTest::keyClick(typed.widget("Grid1"), Qt::Key_F5);
    EXPECT_EQ(f.text("txtSampId"), "ST01");
    EXPECT_EQ(f.text("txtRefId"), "REF");
    for (const char* field :
         {"txtSampNum", "txtSampMean", "txtSampStdDev", "txtRefMean", "txtWtestW",
          "txtWtestCritVal", "txtScedCalcVal", "txtTstStat", "txtTstCalcStat", "txtTstCritVal",
          "txtTstDegFreedom", "txtTstPassFail"}) {
        EXPECT_EQ(f.text(field), typed.text(field)) << field;
    }
    EXPECT_EQ(f.text("txtTstCalcStat"), "4.8990");

    // The opened comparison counts as loaded: the next one replaces it without a question;
    // entries typed since are asked about, and No keeps them.
    const std::size_t questions = f.messages.shown.size();
    s->openRow(2);
    EXPECT_EQ(f.text("txtSampId"), "ST02");
    EXPECT_EQ(f.messages.shown.size(), questions);
    f.typeColumn("Grid1", {"99"});
    f.messages.answers = {MessageAnswer::No};
    s->openRow(0);
    EXPECT_EQ(f.messages.shown.size(), questions + 1);
    EXPECT_EQ(f.text("txtSampId"), "ST02");
    EXPECT_EQ(f.cell("Grid1", 1, 1), "99");

    // Export asks before replacing; the status bar names the whole path.
    const QString results = QString::fromStdString((f.scratch / "results.csv").string());
    ASSERT_TRUE(s->exportResults(results));
    EXPECT_TRUE(s->statusBar()->currentMessage().contains(results));
    f.messages.answers = {MessageAnswer::No};
    EXPECT_FALSE(s->exportResults(results));
    EXPECT_TRUE(s->exportReport(QString::fromStdString((f.scratch / "report.html").string())));

    // JSON lines hold the same comparisons in the same order as the CSV; the workbook is one;
    // an extension the window cannot write is refused with nothing written.
    const std::filesystem::path jsonl = f.scratch / "results.jsonl";
    ASSERT_TRUE(s->exportResults(QString::fromStdString(jsonl.string())));
    std::ifstream csvIn(results.toStdString());
    std::ifstream jsonIn(jsonl);
    std::string csvLine;
    std::string jsonLine;
    std::getline(csvIn, csvLine);  // the header
    std::size_t lines = 0;
    while (std::getline(jsonIn, jsonLine) && std::getline(csvIn, csvLine)) {
        ++lines;
        // The endpoint column leads, the sample id follows.
        const std::size_t start = csvLine.find(',') + 1;
        const std::string sample = csvLine.substr(start, csvLine.find(',', start) - start);
        EXPECT_NE(jsonLine.find("\"sample\":\"" + sample + "\""), std::string::npos) << jsonLine;
    }
    EXPECT_EQ(lines, s->resultCount());
    const std::filesystem::path xlsx = f.scratch / "results.xlsx";
    ASSERT_TRUE(s->exportResults(QString::fromStdString(xlsx.string())));
    std::ifstream book(xlsx, std::ios::binary);
    std::string zip(2, '\0');
    book.read(zip.data(), 2);
    EXPECT_EQ(zip, "PK");
    EXPECT_FALSE(s->exportResults(QString::fromStdString((f.scratch / "results.ods").string())));
    EXPECT_FALSE(std::filesystem::exists(f.scratch / "results.ods"));

    // Save Plot As: the format by the extension, nothing replaced without a Yes.
    const std::string png = (f.scratch / "plot.png").string();
    EXPECT_EQ(savePlot(png, f.form().findChild<ReplicatePlot*>()->data(), f.form().desktop()),
              "Plot saved to " + png);
    std::ifstream saved(png, std::ios::binary);
    std::string signature(4, '\0');
    saved.read(signature.data(), 4);
    EXPECT_EQ(signature.substr(1), "PNG");
    f.messages.answers = {MessageAnswer::No};
    EXPECT_EQ(savePlot(png, {}, f.form().desktop()), "Plot not saved: " + png + " kept as it was");
    EXPECT_EQ(savePlot(png + ".txt", {}, f.form().desktop()).rfind("Plot not saved", 0), 0U);
}

TEST(SurveyWindow, CancelStopsALongRunAndAThousandComparisonsShowWithinASecond) {
    FormFixture f("survey-cancel");
    const auto survey = [&](const char* name, int stations) {
        std::string text = "station,value\n";
        for (int i = 0; i <= stations; ++i) {
            for (int rep = 0; rep < 3; ++rep) {
                text += (i == 0 ? std::string("REF") : "S" + std::to_string(i)) + "," +
                        std::to_string(10 + (i * 7 + rep * 3) % 11) + "\n";
            }
        }
        writeText(f.scratch / name, text);
        return QString::fromStdString((f.scratch / name).string());
    };
    SurveyWindow& s = f.form().openSurveyWindow();
    ASSERT_TRUE(s.openSurvey(survey("thousand.csv", 1000)));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(runToEnd(s));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(s.resultCount(), 1000U);
    std::cout << "survey window: 1000 comparisons shown in " << seconds << " s\n";
    EXPECT_LT(seconds, 1.0);

    ASSERT_TRUE(s.openSurvey(survey("long.csv", 40000)));
    QSignalSpy finished(&s, &SurveyWindow::runFinished);
    s.run();
    EXPECT_TRUE(s.isRunning());
    s.cancel();
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_FALSE(s.isRunning());
    EXPECT_LT(s.resultCount(), 40000U);
    EXPECT_TRUE(s.statusBar()->currentMessage().contains("cancelled"));
}

TEST(ReportDocument, TheWindowsRunAsHtmlNamedInTheStatusList) {
    FormFixture f("report-document");
    f.typeColumn("Grid1", {"10", "11", "12"});
    f.typeColumn("Grid2", {"14", "15", "16"});
    const std::string html = (f.scratch / "comparison.html").string();
    f.form().saveReportDocument(html);
    std::ifstream in(html);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Student's t = 4.8990, p = 0.0040 (the guide's worked example).
    EXPECT_NE(text.find("Comparison report"), std::string::npos);
    EXPECT_NE(text.find("4.899"), std::string::npos);
    EXPECT_NE(text.find("0.0040"), std::string::npos);
    EXPECT_TRUE(
        f.statusLines().contains(QString::fromStdString("Report document written to " + html)));
}

}  // namespace
}  // namespace bx::gui::test
