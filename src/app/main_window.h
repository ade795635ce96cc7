#pragma once
// The headless main window: the whole state of the window and the analysis, the connection to
// the desktop (message boxes, dialogs, clipboard) and to the statistical tables. Front ends
// (the Qt window, the command-line tool, the tests) create one, call formLoad(), then forward
// every user action to the commands declared in the subsystem headers, all of which take a
// MainWindow&. Nothing here is global: several windows may run side by side.

#include <memory>
#include <string>
#include <string_view>

#include "analysis/analysis_state.h"
#include "app/desktop.h"
#include "app/status_sink.h"
#include "app/window_state.h"
#include "tables/lookup.h"

namespace bx {

inline constexpr const char* kAppTitle = "Benthix";
inline constexpr const char* kReleaseDate = "February 9, 2006";

struct StartupFolders {
    std::string programFolder;  // the folder of the executable: tables, templates, pictures
    std::string scratchFolder;  // persistent per-user folder standing in for "C:\temp"
};

class MainWindow : public StatusSink {
public:
    // `tables` may be shared between windows; when null they are read from the program folder.
    MainWindow(Desktop& desktop, StartupFolders folders,
               std::shared_ptr<const StatTables> tables = nullptr);

    // Appends a line to the status list (PostStatus).
    void postStatus(std::string_view line) override;

    Desktop& desktop() { return desktop_; }
    Lookup& lookup() { return lookup_; }

    // Path of a file in the program folder, e.g. programFile("stat.dbf").
    std::string programFile(std::string_view name) const;

    WindowState ui;
    AnalysisState analysis;

private:
    Desktop& desktop_;
    Lookup lookup_;
};

// The platform's default folders: the executable's folder and the per-user scratch folder
// (~/Documents/Benthix, or ~/Benthix without a documents folder).
StartupFolders defaultStartupFolders(const std::string& executablePath);

// Joins a folder and a file name with one separator.
std::string joinPath(std::string_view folder, std::string_view name);

}  // namespace bx
