// SPDX-License-Identifier: MIT
// Takes the README's picture of the window: starts it at the size it opens with on the screen,
// types 10, 11, 12 and 14, 15, 16 into the grids with real key presses, runs the analysis and
// grabs the window into the file named on the command line. Run it under a display server the
// size of a small laptop's, e.g. xvfb-run -s "-screen 0 1366x768x24".

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <cstdio>

#include "app/main_window.h"
#include "gui/grid_view.h"
#include "gui/main_form.h"

namespace {

void typeColumn(QWidget* grid, const char* const* values, int count) {
    grid->setFocus();
    for (int i = 0; i < count; ++i) {
        QTest::keyClicks(grid, QString::fromLatin1(values[i]));
        QTest::keyClick(grid, Qt::Key_Return);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: benthix_screenshot <picture.png>\n");
        return 2;
    }
    QApplication app(argc, argv);
    bx::gui::MainForm window(
        bx::defaultStartupFolders(QCoreApplication::applicationFilePath().toStdString()));
    window.formLoad();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "benthix_screenshot: the window was never shown\n");
        return 1;
    }
    window.findChild<QWidget*>("txtProjectName")->setFocus();
    QTest::keyClicks(window.findChild<QWidget*>("txtProjectName"), "Sediment toxicity");
    QTest::keyClicks(window.findChild<QWidget*>("txtSampId"), "Station 4");
    QTest::keyClicks(window.findChild<QWidget*>("txtRefId"), "Control");
    const char* const test[] = {"10", "11", "12"};
    const char* const reference[] = {"14", "15", "16"};
    typeColumn(window.findChild<QWidget*>("Grid1"), test, 3);
    typeColumn(window.findChild<QWidget*>("Grid2"), reference, 3);
    QTest::mouseClick(window.findChild<QPushButton*>("cmdExecute"), Qt::LeftButton);
    QTest::qWait(300);
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "benthix_screenshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
