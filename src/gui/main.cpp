// SPDX-License-Identifier: MIT
// The Benthix window: start-up of the core, then the window.

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <cstring>

#include "app/main_window.h"
#include "base/version.h"
#include "gui/main_form.h"

namespace {

bool asksForInformation(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        for (const char* option : {"-h", "--help", "-?", "--help-all", "-v", "--version"}) {
            if (std::strcmp(argv[i], option) == 0) {
                return true;
            }
        }
    }
    return false;
}

// --help and --version, answered without a display: prints and exits.
int showInformation(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Compares a test treatment with a reference treatment in bioassays.\n"
        "Opens the Benthix window; benthix-cli runs the same analyses without it.");
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    // Qt's own options (-platform, -style, ...) are not the parser's business: parse() only
    // reports them, and the two options asked for are still recognised.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(version)) {
        parser.showVersion();
    }
    if (parser.isSet(help) || parser.isSet("help-all")) {
        parser.showHelp(0);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(bx::kProgramName);
    QCoreApplication::setApplicationVersion(bx::kVersion);
    if (asksForInformation(argc, argv)) {
        return showInformation(argc, argv);
    }
    QApplication app(argc, argv);
    // Desktops match the window to its menu entry and icon through this name.
    QGuiApplication::setDesktopFileName(bx::kDesktopId);
    bx::gui::MainForm window(
        bx::defaultStartupFolders(QCoreApplication::applicationFilePath().toStdString()));
    window.formLoad();
    window.show();
    return QApplication::exec();
}
