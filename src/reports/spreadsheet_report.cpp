#include "reports/spreadsheet_report.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>

#include "analysis/driver.h"
#include "app/main_window.h"
#include "datafiles/file_dialog.h"
#include "entry/validation.h"
#include "reports/report_database.h"
#include "reports/report_layout.h"
#include "reports/report_lines.h"
#include "reports/report_workbook.h"
#include "tables/file_lock.h"

namespace bx {
namespace {

constexpr const char* kCaption = "New Report File";
constexpr const char* kNameTitle = "Log File Selection";
constexpr const char* kNameMessage = "Incorrect Filename Chosen, Try again.";
constexpr const char* kFileErrorTitle = "Log File Status";
constexpr const char* kOtherErrorTitle = "File Status";

void showReportError(MainWindow& w, const TableError& error) {
    if (error.isFileError()) {
        w.desktop().messageBox(kFileErrorTitle,
                               "File IO Error " + std::to_string(error.number) +
                                   ".  File may already be open or pathname is corrupt.",
                               MessageIcon::Exclamation, MessageButtons::Ok);
    } else {
        w.desktop().messageBox(kOtherErrorTitle, "Error!!!" + std::to_string(error.number),
                               MessageIcon::Exclamation, MessageButtons::Ok);
    }
}

bool writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

TableError writeTextFileSafely(const std::string& path, const std::string& text) {
    if (TableError held = checkNotHeldOpen(path)) {
        return held;
    }
    namespace fs = std::filesystem;
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::random_device random;
    const std::string temp =
        (folder / ("." + target.filename().string() + "." + std::to_string(::getpid()) + "." +
                   std::to_string(random()) + ".tmp"))
            .string();
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return errorFromErrno(errno, path);
    }
    const bool written = writeAll(fd, text) && ::fsync(fd) == 0;
    const int writeErrno = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        const int reason = written ? errno : writeErrno;
        std::remove(temp.c_str());
        return errorFromErrno(reason, path);
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        const int reason = errno;
        std::remove(temp.c_str());
        return errorFromErrno(reason, path);
    }
    return {};
}

void CreateReport(MainWindow& w) {
    WindowState& ui = w.ui;
    ui.fileDialogPurpose = kPurposeReport;
    showFileDialog(w, kCaption);
    if (ui.ChosenFileName == kUserCancelled) {
        return;
    }
    if (chosenNameIsEmpty(ui.ChosenFileName, ".csv")) {
        w.desktop().messageBox(kNameTitle, kNameMessage, MessageIcon::Exclamation,
                               MessageButtons::Ok);
        return;
    }
    ui.reportFolder = ui.ChosenFolder;
    if (ui.reportFolder.empty() || ui.reportFolder.back() != '/') {
        ui.reportFolder += '/';
    }
    const std::string reportPath = ui.reportFolder + ui.ChosenFileName;

    if (!ChkEntry(w)) {
        return;
    }
    cmdExecute_Click(w);

    const std::vector<ReportLine> lines = buildReportLines(ui, w.analysis);
    if (TableError error = writeTextFileSafely(reportPath, csvText(lines))) {
        showReportError(w, error);
        return;
    }
    w.postStatus("*** Generating Report...");
    if (TableError error = InitReportDatabase(w)) {
        showReportError(w, error);
        return;
    }
    w.postStatus("*** Creating the Report");

    ReportWorkbook workbook;
    layOutReport(workbook);
    const std::string workbookPath = workbookPathFor(reportPath);
    const std::string sheetName = std::filesystem::path(reportPath).stem().string();
    if (TableError error = workbook.save(workbookPath, sheetName, lines)) {
        showReportError(w, error);
        return;
    }
    if (!w.desktop().openExternally(workbookPath)) {
        w.postStatus("     Report workbook saved as <" + workbookPath + ">.");
    }
    w.postStatus("*** Report Complete.");
}

void mnuFileReport_Click(MainWindow& w) {
    CreateReport(w);
}

}  // namespace bx
