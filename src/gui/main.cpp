// The Benthix window: start-up of the core, then the window.

#include <QApplication>
#include <QCoreApplication>

#include "app/main_window.h"
#include "gui/main_form.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Benthix");
    bx::gui::MainForm window(
        bx::defaultStartupFolders(QCoreApplication::applicationFilePath().toStdString()));
    window.formLoad();
    window.show();
    return QApplication::exec();
}
