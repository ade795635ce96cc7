// SPDX-License-Identifier: MIT
#include "datafiles/sample_file.h"

#include <array>
#include <cmath>

#include "base/paths.h"
#include "base/text_format.h"
#include "datafiles/sample_record.h"
#include "tables/file_copy.h"
#include "tables/file_lock.h"

namespace bx {
namespace {

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

// What makes a file that could be read no sample data file, in plain words.
std::string invalidReason(const std::string& path, const TableError& error) {
    if (error.number == kErrFieldNotFound) {
        // The description is "Item not found in this collection: <field>".
        const std::size_t colon = error.description.rfind(": ");
        const std::string field =
            colon == std::string::npos ? error.description : error.description.substr(colon + 2);
        return path + ": field layout is not that of a sample data file (no field " + field + ")";
    }
    if (!error.cause.empty()) {
        return path + ": " + error.cause;
    }
    return path + ": " + error.description;
}

// The fields that hold the replicates' value texts.
bool isValueField(std::string_view field) {
    return field == "SAMPDATA" || field == "SAMPTRANS" || field == "REFDATA" || field == "REFTRANS";
}

std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

TableError writeSampleRows(const SampleData& data, DbfTable& table) {
    const int n1 = CountValues(data.sampRaw);
    const int n2 = CountValues(data.refRaw);
    if (TableError error = table.moveFirst()) {
        return error;
    }
    if (table.eof()) {
        if (TableError error = table.addNew()) {
            return error;
        }
    }
    const std::pair<std::string_view, std::string> header[] = {
        {"SAMPID", data.sampleId},      {"SAMP_ALIAS", data.sampleAlias},
        {"REFID", data.referenceId},    {"REF_ALIAS", data.referenceAlias},
        {"PROJECT", data.project},      {"SAMP_REPS", numberToText(n1)},
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
            if (TableError error = table.writeField("SAMPDATA", slotText(data.sampRaw[i]))) {
                return error;
            }
            if (TableError error = table.writeField("SAMPTRANS", slotText(data.sampTrans[i]))) {
                return error;
            }
        }
        if (reference) {
            if (TableError error = table.writeField("REFDATA", slotText(data.refRaw[i]))) {
                return error;
            }
            if (TableError error = table.writeField("REFTRANS", slotText(data.refTrans[i]))) {
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

}  // namespace

std::string errorDetail(const TableError& error) {
    std::string text = "error " + std::to_string(error.number);
    if (!error.description.empty()) {
        text += " (" + error.description + ")";
    }
    return withCause(std::move(text), error);
}

TableError writeSampleFile(const std::string& templatePath, const std::string& folder,
                           const std::string& fileName, const SampleData& data,
                           const std::function<void(const FieldCut&)>& reportCut, bool replace) {
    const std::string path = joinPath(folder, fileName);
    std::optional<FieldCut> valueCut;
    FileLock lock;
    const FillFile fill = [&](const std::string& tempPath, const FileLock& tempLock) -> TableError {
        if (TableError error = copyFileInto(templatePath, tempLock.fd(), tempPath)) {
            return error;
        }
        DbfTable table;
        // An identifier too long for its field is cut and reported; a value text is not
        // cut (it would reload as another number): the save fails instead.
        table.setCutHandler([&](const FieldCut& cut) {
            if (isValueField(cut.field)) {
                if (!valueCut) {
                    valueCut = cut;
                }
            } else if (reportCut) {
                reportCut(cut);
            }
        });
        if (TableError error =
                table.open(folder, fileNameOf(tempPath), DbfOpenMode::ReadWrite, tempLock)) {
            return error;
        }
        if (TableError error = table.requireFields(sampleFieldNames())) {
            return error;
        }
        // The whole file is forced to disk once, before it replaces the target.
        table.skipSyncOnStore();
        if (TableError error = writeSampleRows(data, table)) {
            return error;
        }
        if (valueCut) {
            return makeFileError(
                kErrBadRecordLength, path,
                "the value in field " + valueCut->field + ", row " + std::to_string(valueCut->row) +
                    " has " + std::to_string(valueCut->givenBytes) + " characters, more than the " +
                    std::to_string(valueCut->keptBytes) + " the field holds; nothing was saved",
                valueCut->field);
        }
        return TableError{};
    };
    return replace ? replaceUnderLock(path, kSharedFileWait, true, fill, lock)
                   : createUnderLock(path, true, fill, lock);
}

SampleFileRead readSampleFile(const std::string& folder, const std::string& fileName) {
    SampleFileRead read;
    const std::string path = joinPath(folder, fileName);
    DbfTable table;
    TableError error = table.open(folder, fileName, DbfOpenMode::ReadOnly);
    if (!error) {
        error = table.requireFields(sampleFieldNames());
    }
    if (error) {
        if (isAccessError(error.number)) {
            read.accessError = error;
        } else {
            read.invalidFile = true;
            read.problem = invalidReason(path, error);
        }
        return read;
    }

    std::array<SampleRow, kMaxReplicates> rows;
    error = table.moveFirst();
    for (std::size_t r = 0; r < rows.size() && !error; ++r) {
        if (table.eof()) {
            // Rows marked as deleted are skipped: a file of ten rows of which one is so
            // marked is told apart from a short one.
            const bool deleted = table.recordCount() >= kMaxReplicates;
            read.problem = std::string(kNotLoaded) + " <" + path + "> has fewer than " +
                           std::to_string(kMaxReplicates) + " rows" +
                           (deleted ? " that are not marked as deleted." : ".");
            return read;
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
        read.problem = std::string(kNotLoaded) + " <" + path + ">: " + errorDetail(error);
        return read;
    }
    const SampleRow& first = rows[0];
    int n1 = replicateCount(first["SAMP_REPS"]);
    int n2 = replicateCount(first["REF_REPS"]);
    if (n1 < 0 || n2 < 0) {
        read.problem = std::string(kNotLoaded) + " The replicate counts in <" + path + "> (" +
                       first["SAMP_REPS"] + ", " + first["REF_REPS"] +
                       ") are not whole numbers from 0 to " + std::to_string(kMaxReplicates) + ".";
        return read;
    }
    // The program writes the counts from the values, so values held past a count mean a
    // damaged count: they are loaded, and the difference is named, rather than left out (which
    // would change the comparison without a word).
    int held[2] = {n1, n2};
    const std::string_view dataFields[2] = {"SAMPDATA", "REFDATA"};
    const char* const sampleWords[2] = {"test", "reference"};
    const char* const countFields[2] = {"SAMP_REPS", "REF_REPS"};
    for (int k = 0; k < 2; ++k) {
        for (int i = held[k] + 1; i <= kMaxReplicates; ++i) {
            if (!trimBlanks(rows.at(static_cast<std::size_t>(i - 1))[dataFields[k]]).empty()) {
                held[k] = i;
            }
        }
        const int counted = k == 0 ? n1 : n2;
        if (held[k] == counted) {
            continue;
        }
        for (int i = counted + 1; i < held[k]; ++i) {
            if (trimBlanks(rows.at(static_cast<std::size_t>(i - 1))[dataFields[k]]).empty()) {
                read.problem = std::string(kNotLoaded) + " <" + path + "> holds " + sampleWords[k] +
                               " values past its count " + countFields[k] + " (" +
                               std::to_string(counted) + ") with row " + std::to_string(i) +
                               " empty between them.";
                return read;
            }
        }
        read.warnings.push_back("<" + path + "> holds " + std::to_string(held[k]) + " " +
                                sampleWords[k] + " values, but its " + countFields[k] + " says " +
                                std::to_string(counted) + ": all " + std::to_string(held[k]) +
                                " are loaded; check them.");
    }
    n1 = held[0];
    n2 = held[1];
    SampleData data;
    for (int i = 1; i <= kMaxReplicates; ++i) {
        const SampleRow& row = rows.at(static_cast<std::size_t>(i - 1));
        const double t1 = leadingNumber(row["SAMPTRANS"]);
        const double t2 = leadingNumber(row["REFTRANS"]);
        if ((i <= n1 && !std::isfinite(t1)) || (i <= n2 && !std::isfinite(t2))) {
            const std::string& text =
                i <= n1 && !std::isfinite(t1) ? row["SAMPTRANS"] : row["REFTRANS"];
            const LeadingNumber parsed = parseLeadingNumber(text);
            read.problem = std::string(kNotLoaded) + " A transformed value in row " +
                           std::to_string(i) + " of <" + path + "> is out of range" +
                           (parsed.found ? "." : " (\"" + text + "\" is not a number).");
            return read;
        }
        data.sampRaw[i] = i <= n1 ? row["SAMPDATA"] : std::string();
        data.sampTrans[i] = i <= n1 ? Slot(t1) : Slot(std::string(kEndMarker));
        data.refRaw[i] = i <= n2 ? row["REFDATA"] : std::string();
        data.refTrans[i] = i <= n2 ? Slot(t2) : Slot(std::string(kEndMarker));
    }
    data.sampleId = first["SAMPID"];
    data.sampleAlias = first["SAMP_ALIAS"];
    data.referenceId = first["REFID"];
    data.referenceAlias = first["REF_ALIAS"];
    data.project = first["PROJECT"];
    read.data = std::move(data);
    return read;
}

}  // namespace bx
