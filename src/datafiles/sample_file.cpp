#include "datafiles/sample_file.h"

#include <unistd.h>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>

#include "analysis/descriptive.h"
#include "app/main_window.h"
#include "app/text_format.h"
#include "datafiles/file_dialog.h"
#include "datafiles/sample_record.h"
#include "entry/clearing.h"
#include "entry/grid_events.h"
#include "entry/validation.h"
#include "tables/dbf_table.h"
#include "tables/file_copy.h"
#include "tables/file_lock.h"

namespace bx {
namespace {

constexpr const char* kTemplate = "stat.dbf";
constexpr const char* kSaveTitle = "Save as File Selection";
constexpr const char* kNotLoaded = "*** Data NOT Loaded!";

// One row of a sample data file as read, before anything is taken over.
struct SampleRow {
    std::array<std::string, kSampleRecordFields.size()> fields;
    const std::string& operator[](std::string_view name) const {
        for (std::size_t i = 0; i < kSampleRecordFields.size(); ++i) {
            if (kSampleRecordFields[i].name == name) {
                return fields.at(i);
            }
        }
        return fields.at(0);  // not reached: only the record's own names are asked for
    }
};

std::vector<std::string_view> sampleFieldNames() {
    std::vector<std::string_view> names;
    names.reserve(kSampleRecordFields.size());
    for (const RecordField& f : kSampleRecordFields) {
        names.push_back(f.name);
    }
    return names;
}

std::string errorDetail(const TableError& error) {
    std::string text = "error " + std::to_string(error.number);
    if (!error.description.empty()) {
        text += " (" + error.description + ")";
    }
    return text;
}

// A file that could not be reached at all (missing, locked, no permission), as opposed to a
// file that was read but is not a sample data file.
bool isAccessError(int number) {
    switch (number) {
        case kErrBadFileName:
        case kErrFileNotFound:
        case kErrBadFileMode:
        case kErrFileAlreadyOpen:
        case kErrDeviceIo:
        case kErrDiskFull:
        case kErrTooManyFiles:
        case kErrDeviceUnavailable:
        case kErrPermissionDenied:
        case kErrDiskNotReady:
        case kErrPathNotFound:
            return true;
        default:
            return false;
    }
}

// A replicate count as stored: a whole number from 0 to kMaxReplicates, else -1.
int replicateCount(const std::string& text) {
    const double value = leadingNumber(text);
    if (!std::isfinite(value) || value != std::floor(value) || value < 0.0 ||
        value > kMaxReplicates) {
        return -1;
    }
    return static_cast<int>(value);
}

// A name for the file being written, beside its target and unique to this writer.
std::string temporaryName(const std::string& fileName) {
    std::random_device random;
    return "." + fileName + "." + std::to_string(::getpid()) + "." + std::to_string(random()) +
           ".tmp.dbf";
}

// The rows of the sample data file: row 1 with the identifiers, the project and the counts,
// row i with the i-th replicate of each sample that has one.
TableError writeSampleRows(MainWindow& w, DbfTable& table) {
    const WindowState& ui = w.ui;
    const AnalysisState& a = w.analysis;
    const int n1 = static_cast<int>(CountValues(a.SampRaw));
    const int n2 = static_cast<int>(CountValues(a.RefRaw));
    if (TableError error = table.moveFirst()) {
        return error;
    }
    if (table.eof()) {
        if (TableError error = table.addNew()) {
            return error;
        }
    }
    const std::pair<std::string_view, std::string> header[] = {
        {"SAMPID", ui.txtSampId.text},       {"SAMP_ALIAS", ui.txtSampAlias.text},
        {"REFID", ui.txtRefId.text},         {"REF_ALIAS", ui.txtRefAlias.text},
        {"PROJECT", ui.txtProjectName.text}, {"SAMP_REPS", numberToText(n1)},
        {"REF_REPS", numberToText(n2)},
    };
    for (const auto& [field, value] : header) {
        if (TableError error = table.writeField(field, value)) {
            return error;
        }
    }
    for (int i = 1; i <= kMaxReplicates; ++i) {
        const bool test = n1 >= i;
        const bool reference = n2 >= i;
        // Row 1 is always stored: it carries the identifiers even when both samples are empty.
        if (!test && !reference && i > 1) {
            continue;
        }
        if (table.eof()) {
            // A template with fewer rows than replicates grows by the rows it lacks.
            if (TableError error = table.addNew()) {
                return error;
            }
        }
        if (test) {
            if (TableError error = table.writeField("SAMPDATA", slotText(a.SampRaw[i]))) {
                return error;
            }
            if (TableError error = table.writeField("SAMPTRANS", slotText(a.SampTrans[i]))) {
                return error;
            }
        }
        if (reference) {
            if (TableError error = table.writeField("REFDATA", slotText(a.RefRaw[i]))) {
                return error;
            }
            if (TableError error = table.writeField("REFTRANS", slotText(a.RefTrans[i]))) {
                return error;
            }
        }
        if (TableError error = table.store()) {
            return error;
        }
        if (TableError error = table.moveNext()) {
            return error;
        }
    }
    return {};
}

// Writes the sample data file at ChosenPath: a copy of the template beside it receives the
// rows and then replaces the target, so that a failure leaves an earlier file as it was.
TableError saveSampleFile(MainWindow& w) {
    const WindowState& ui = w.ui;
    if (TableError held = checkNotHeldOpen(ui.ChosenPath)) {
        return held;
    }
    const std::string tempName = temporaryName(ui.ChosenFileName);
    const std::string tempPath = joinPath(ui.ChosenFolder, tempName);
    struct Cleanup {
        std::string path;
        ~Cleanup() { std::remove(path.c_str()); }
    } cleanup{tempPath};

    if (TableError error = copyFileSafely(w.programFile(kTemplate), tempPath)) {
        return error;
    }
    DbfTable table;
    table.setCutHandler([&w](const FieldCut& cut) { w.postStatus(describeCut(cut)); });
    if (TableError error = table.open(ui.ChosenFolder, tempName)) {
        return error;
    }
    if (TableError error = table.requireFields(sampleFieldNames())) {
        return error;
    }
    if (TableError error = writeSampleRows(w, table)) {
        return error;
    }
    table.close();
    if (std::rename(tempPath.c_str(), ui.ChosenPath.c_str()) != 0) {
        return errorFromErrno(errno, ui.ChosenPath);
    }
    return {};
}

}  // namespace

void mnuSaveAs_Click(MainWindow& w) {
    WindowState& ui = w.ui;
    ui.fileDialogPurpose = kPurposeSave;
    showFileDialog(w, "Save As...");
    if (ui.ChosenFileName == kUserCancelled) {
        return;
    }
    if (chosenNameIsEmpty(ui.ChosenFileName, ".dbf")) {
        w.desktop().messageBox(kSaveTitle, "No file selected...", MessageIcon::Exclamation,
                               MessageButtons::Ok);
        return;
    }
    ui.currentSampleFileName = ui.ChosenFileName;
    ui.saveFolder = ui.ChosenFolder;
    if (isProgramTable(w, ui.ChosenPath)) {
        w.desktop().messageBox(kSaveTitle, "File already Selected!", MessageIcon::Exclamation,
                               MessageButtons::Ok);
        return;
    }

    GridToArray(ui.Grid1, w.analysis.SampRaw);
    GridToArray(ui.Grid2, w.analysis.RefRaw);
    TransformEntries(w, false);

    if (TableError error = saveSampleFile(w)) {
        w.postStatus("*** Save of Sample Data to <" + ui.ChosenPath +
                     "> FAILED: " + errorDetail(error));
        return;
    }
    w.postStatus("Save of Sample Data to <" + ui.ChosenPath + "> complete.");
}

void mnuLoadFrom_Click(MainWindow& w) {
    WindowState& ui = w.ui;
    ui.dataErrorFlag = false;
    ui.fileDialogPurpose = kPurposeLoad;
    showFileDialog(w, "Load From...");
    if (ui.ChosenFileName == kUserCancelled || chosenNameIsEmpty(ui.ChosenFileName, ".dbf")) {
        return;
    }
    loadSampleFile(w, ui.ChosenFolder, ui.ChosenFileName);
}

void loadSampleFile(MainWindow& w, const std::string& folder, const std::string& fileName) {
    WindowState& ui = w.ui;
    ui.dataErrorFlag = false;
    ui.currentSampleFileName = fileName;
    ui.loadFolder = folder;
    const std::string path = joinPath(folder, fileName);

    DbfTable table;
    TableError error = table.open(folder, fileName, DbfOpenMode::ReadOnly);
    if (!error) {
        error = table.requireFields(sampleFieldNames());
    }
    if (error) {
        if (isAccessError(error.number)) {
            w.desktop().messageBox("", "Data error event hit err:" + error.description,
                                   MessageIcon::None, MessageButtons::Ok);
        } else {
            // Missing fields, or a file that is not a table at all.
            w.desktop().messageBox("ERROR", "Invalid Data File Selected!", MessageIcon::Critical,
                                   MessageButtons::Ok);
            ui.dataErrorFlag = true;
        }
        w.postStatus(kNotLoaded);
        return;
    }

    // Everything is read and checked before the window changes.
    std::array<SampleRow, kMaxReplicates> rows;
    error = table.moveFirst();
    for (std::size_t r = 0; r < rows.size() && !error; ++r) {
        if (table.eof()) {
            w.postStatus(std::string(kNotLoaded) + " <" + path + "> has fewer than " +
                         std::to_string(kMaxReplicates) + " rows.");
            return;
        }
        for (std::size_t i = 0; i < kSampleRecordFields.size() && !error; ++i) {
            error = table.readField(kSampleRecordFields[i].name, rows[r].fields[i]);
        }
        if (!error) {
            error = table.moveNext();
        }
    }
    table.close();
    if (error) {
        w.postStatus(std::string(kNotLoaded) + " <" + path + ">: " + errorDetail(error));
        return;
    }
    const SampleRow& first = rows[0];
    const int n1 = replicateCount(first["SAMP_REPS"]);
    const int n2 = replicateCount(first["REF_REPS"]);
    if (n1 < 0 || n2 < 0) {
        w.postStatus(std::string(kNotLoaded) + " The replicate counts in <" + path + "> (" +
                     first["SAMP_REPS"] + ", " + first["REF_REPS"] +
                     ") are not whole numbers from 0 to " + std::to_string(kMaxReplicates) + ".");
        return;
    }
    ValueArray sampRaw;
    ValueArray sampTrans;
    ValueArray refRaw;
    ValueArray refTrans;
    for (int i = 1; i <= kMaxReplicates; ++i) {
        const SampleRow& row = rows.at(static_cast<std::size_t>(i - 1));
        const double t1 = leadingNumber(row["SAMPTRANS"]);
        const double t2 = leadingNumber(row["REFTRANS"]);
        if ((i <= n1 && !std::isfinite(t1)) || (i <= n2 && !std::isfinite(t2))) {
            w.postStatus(std::string(kNotLoaded) + " A transformed value in row " +
                         std::to_string(i) + " of <" + path + "> is out of range.");
            return;
        }
        sampRaw[i] = i <= n1 ? row["SAMPDATA"] : std::string();
        sampTrans[i] = i <= n1 ? Slot(t1) : Slot(std::string(kEndMarker));
        refRaw[i] = i <= n2 ? row["REFDATA"] : std::string();
        refTrans[i] = i <= n2 ? Slot(t2) : Slot(std::string(kEndMarker));
    }

    mnuClearAll_Click(w);
    ui.txtSampId.text = first["SAMPID"];
    ui.txtSampAlias.text = first["SAMP_ALIAS"];
    ui.txtRefId.text = first["REFID"];
    ui.txtRefAlias.text = first["REF_ALIAS"];
    ui.txtProjectName.text = first["PROJECT"];
    AnalysisState& a = w.analysis;
    a.SampRaw = sampRaw;
    a.SampTrans = sampTrans;
    a.RefRaw = refRaw;
    a.RefTrans = refTrans;
    ArrayToGrid(ui.Grid1, a.SampRaw, a.SampTrans);
    ArrayToGrid(ui.Grid2, a.RefRaw, a.RefTrans);
    w.postStatus("Data Entry Loaded from file <" + path + ">.");
}

}  // namespace bx
