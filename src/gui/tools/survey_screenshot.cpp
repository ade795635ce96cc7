// Takes the guide's picture of the survey window: writes a small survey (12 stations and a
// reference, three endpoints) into a temporary folder, opens it in the survey window, runs it,
// selects a station and grabs the window into the file named on the command line. Run it under
// a display server, e.g. xvfb-run -s "-screen 0 1366x768x24".

#include <QApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "gui/main_form.h"
#include "gui/survey_window.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: benthix_survey_screenshot <picture.png>\n");
        return 2;
    }
    QApplication app(argc, argv);
    QTemporaryDir folder;
    const QString path = folder.filePath("river-survey.csv");
    {
        std::ofstream out(path.toStdString());
        out << "station,endpoint,rep,value\n";
        const char* endpoints[] = {"growth", "survival", "length"};
        const double centres[] = {15.0, 80.0, 4.0};
        for (int e = 0; e < 3; ++e) {
            for (int s = 0; s <= 12; ++s) {
                char station[8];
                std::snprintf(station, sizeof station, "ST%02d", s);
                const double shift = s == 0 ? 0.0 : std::sin(s * 1.7 + e) * 0.18 - 0.06;
                for (int rep = 1; rep <= 4; ++rep) {
                    const double v =
                        centres[e] * (1.0 + shift + std::cos(s * 3.1 + rep * 2.3) * 0.06);
                    out << (s == 0 ? "REF" : station) << ',' << endpoints[e] << ',' << rep << ','
                        << std::round(v * 100.0) / 100.0 << '\n';
                }
            }
        }
    }
    bx::gui::MainForm window(
        bx::defaultStartupFolders(QCoreApplication::applicationFilePath().toStdString()));
    window.formLoad();
    bx::gui::SurveyWindow& survey = window.openSurveyWindow();
    survey.resize(1180, 700);
    if (!QTest::qWaitForWindowExposed(&survey) || !survey.openSurvey(path)) {
        std::fprintf(stderr, "benthix_survey_screenshot: the survey window did not open\n");
        return 1;
    }
    QSignalSpy finished(&survey, &bx::gui::SurveyWindow::runFinished);
    survey.run();
    finished.wait(10000);
    QTableView* view = survey.resultsView();
    view->sortByColumn(8, Qt::AscendingOrder);
    view->setFocus();
    view->selectRow(0);
    QTest::qWait(300);
    if (!survey.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "benthix_survey_screenshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
