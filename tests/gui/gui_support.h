// SPDX-License-Identifier: MIT
#pragma once
// The Qt window under test: one QApplication for the test program (offscreen platform), a
// window started on the build's program folder, and helpers that act through real key and
// mouse events and read back what the widgets show.

#include <gtest/gtest.h>
#include <QApplication>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "gui/main_form.h"
#include "gui/qt_desktop.h"

class QAction;

namespace bx::gui::test {

// Creates the application object on first use.
void ensureApplication();

// Runs `action` on the modal dialog or box of type `Widget` as soon as it is open.
template <typename Widget, typename Action>
void whenModalOpens(Action action) {
    QTimer::singleShot(0, [action] {
        auto* modal = qobject_cast<Widget*>(QApplication::activeModalWidget());
        ASSERT_NE(modal, nullptr);
        action(modal);
    });
}

// Clicks the file `name` in a file dialog's list; `twice` makes it a double click.
void clickListedFile(QWidget* dialog, const QString& name, bool twice = false);

// Message boxes the window asked for, answered from a script.
struct MessageScript {
    std::vector<MessageRequest> shown;
    std::vector<MessageAnswer> answers;  // used in order for Yes/No questions; then No

    QtDesktop::MessageFunction function();
};

struct FormFixture {
    // A window on `programFolder` (the build's program folder when empty), shown offscreen.
    explicit FormFixture(const std::string& name, const std::string& programFolder = "");

    MainForm& form() { return *window; }
    MainWindow& core() { return window->core(); }

    QWidget* widget(const char* name) const;
    QString text(const char* name) const;  // a line edit's text
    // A widget's "picture" property: the picture it shows.
    QString picture(const char* name) const;
    QAction* action(const char* name) const;
    // The status list as the widget shows it, one entry per line.
    QStringList statusLines() const;

    // Types `values` into a grid's Data column from row 1, each followed by Enter.
    void typeColumn(const char* grid, const QStringList& values);
    // Drags the mouse over a grid from one cell to another (rows and columns of the grid).
    void dragCells(const char* grid, int row, int col, int rowSel, int colSel);
    // Clicks one cell of a grid.
    void clickCell(const char* grid, int row, int col, Qt::MouseButton button = Qt::LeftButton);
    // A grid cell as displayed.
    QString cell(const char* grid, int row, int col) const;

    std::filesystem::path scratch;
    MessageScript messages;
    // Files the window asked the desktop to open, and whether that succeeds.
    std::vector<std::string> opened;
    bool openSucceeds = true;
    std::unique_ptr<MainForm> window;  // last: closed before the scripts it uses go
};

}  // namespace bx::gui::test

// Readable QString values in test failures.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* out) {
    *out << '[' << list.join("|").toStdString() << ']';
}
QT_END_NAMESPACE
