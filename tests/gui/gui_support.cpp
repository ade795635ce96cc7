// SPDX-License-Identifier: MIT
#include "gui_support.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QSettings>
#include <QTableView>
#include <QTest>

#include "support/test_support.h"

namespace bx::gui::test {

void ensureApplication() {
    if (QApplication::instance() != nullptr) {
        return;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window's settings go to a folder of the tests, never to the user's own.
    qputenv("XDG_CONFIG_HOME", QByteArray(BX_TEST_SCRATCH) + "/config");
    // QApplication keeps references to argc and argv for its whole life.
    static int argc = 1;
    static char name[] = "gui_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

void clickListedFile(QWidget* dialog, const QString& name, bool twice) {
    auto* list = dialog->findChild<QListWidget*>("filFind");
    list->doItemsLayout();
    const auto items = list->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << name.toStdString();
    const QPoint centre = list->visualItemRect(items.first()).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    if (twice) {
        // A widget's double click arrives as the second press of a quick pair.
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    }
}

QtDesktop::MessageFunction MessageScript::function() {
    return [this](const MessageRequest& request) {
        shown.push_back(request);
        if (request.buttons == MessageButtons::Ok) {
            return MessageAnswer::Ok;
        }
        if (answers.empty()) {
            return MessageAnswer::No;
        }
        const MessageAnswer answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    };
}

FormFixture::FormFixture(const std::string& name, const std::string& programFolder)
    : scratch(bx::test::freshScratch("gui-" + name)) {
    ensureApplication();
    // Every window starts with the settings of a first start.
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "Benthix", "Benthix").clear();
    window = std::make_unique<MainForm>(
        StartupFolders{programFolder.empty() ? bx::test::programFolder() : programFolder,
                       (scratch / "userdata").string()});
    window->desktop().setMessageFunction(messages.function());
    // Files are never handed to another program from the tests.
    window->desktop().setOpenFunction([this](const std::string& path) {
        opened.push_back(path);
        return openSucceeds;
    });
    window->formLoad();
    window->resize(1340, 700);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
}

QWidget* FormFixture::widget(const char* name) const {
    auto* found = window->findChild<QWidget*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << "no widget named " << name;
    return found;
}

QString FormFixture::text(const char* name) const {
    auto* edit = qobject_cast<QLineEdit*>(widget(name));
    EXPECT_NE(edit, nullptr) << name << " is not a text field";
    return edit != nullptr ? edit->text() : QString();
}

QString FormFixture::picture(const char* name) const {
    return widget(name)->property("picture").toString();
}

QAction* FormFixture::action(const char* name) const {
    auto* found = window->findChild<QAction*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << "no menu entry named " << name;
    return found;
}

QStringList FormFixture::statusLines() const {
    auto* status = window->findChild<QWidget*>("Status");
    return status->property("plainText").toString().split('\n');
}

void FormFixture::typeColumn(const char* grid, const QStringList& values) {
    QWidget* view = widget(grid);
    view->setFocus();
    for (const QString& value : values) {
        QTest::keyClicks(view, value);
        QTest::keyClick(view, Qt::Key_Return);
    }
}

namespace {

QPoint cellCentre(QWidget* grid, int row, int col) {
    auto* view = qobject_cast<QTableView*>(grid);
    return view->visualRect(view->model()->index(row, col)).center();
}

QWidget* viewportOf(QWidget* grid) {
    return qobject_cast<QTableView*>(grid)->viewport();
}

}  // namespace

void FormFixture::dragCells(const char* grid, int row, int col, int rowSel, int colSel) {
    QWidget* view = widget(grid);
    QWidget* port = viewportOf(view);
    QTest::mousePress(port, Qt::LeftButton, Qt::NoModifier, cellCentre(view, row, col));
    // QTest's mouseMove carries no button state: send the drag itself.
    QMouseEvent move(QEvent::MouseMove, cellCentre(view, rowSel, colSel),
                     port->mapToGlobal(cellCentre(view, rowSel, colSel)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(port, &move);
    QTest::mouseRelease(port, Qt::LeftButton, Qt::NoModifier, cellCentre(view, rowSel, colSel));
}

void FormFixture::clickCell(const char* grid, int row, int col, Qt::MouseButton button) {
    QWidget* view = widget(grid);
    QTest::mouseClick(viewportOf(view), button, Qt::NoModifier, cellCentre(view, row, col));
}

QString FormFixture::cell(const char* grid, int row, int col) const {
    auto* view = qobject_cast<QTableView*>(widget(grid));
    return view->model()->index(row, col).data().toString();
}

}  // namespace bx::gui::test

// Under LeakSanitizer: the font configuration library keeps a cache it never frees; that is no
// leak of this program.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
