#include "datafiles/sample_file.h"

#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <random>

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

// A name for the file being written, beside its target and unique to this writer.
std::string temporaryName(const std::string& fileName) {
    std::random_device random;
    return "." + fileName + "." + std::to_string(::getpid()) + "." + std::to_string(random()) +
           ".tmp.dbf";
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
        {"SAMPID", data.sampleId},       {"SAMP_ALIAS", data.sampleAlias},
        {"REFID", data.referenceId},     {"REF_ALIAS", data.referenceAlias},
        {"PROJECT", data.project},       {"SAMP_REPS", numberToText(n1)},
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
    return text;
}

TableError writeSampleFile(const std::string& templatePath, const std::string& folder,
                           const std::string& fileName, const SampleData& data,
                           const std::function<void(const FieldCut&)>& reportCut) {
    const std::string path = joinPath(folder, fileName);
    if (TableError held = checkNotHeldOpen(path)) {
        return held;
    }
    const std::string tempName = temporaryName(fileName);
    const std::string tempPath = joinPath(folder, tempName);
    struct Cleanup {
        std::string path;
        ~Cleanup() { std::remove(path.c_str()); }
    } cleanup{tempPath};

    if (TableError error = copyFileSafely(templatePath, tempPath)) {
        // The temporary name means nothing to the user: a failure to create it in the folder
        // (a folder that is missing or may not be written to) names the folder.
        if (error.description.find(tempPath) != std::string::npos) {
            return makeTableError(error.number, folder);
        }
        return error;
    }
    DbfTable table;
    table.setCutHandler(reportCut);
    if (TableError error = table.open(folder, tempName)) {
        return error;
    }
    if (TableError error = table.requireFields(sampleFieldNames())) {
        return error;
    }
    if (TableError error = writeSampleRows(data, table)) {
        return error;
    }
    table.close();
    if (std::rename(tempPath.c_str(), path.c_str()) != 0) {
        return errorFromErrno(errno, path);
    }
    return {};
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
        }
        return read;
    }

    std::array<SampleRow, kMaxReplicates> rows;
    error = table.moveFirst();
    for (std::size_t r = 0; r < rows.size() && !error; ++r) {
        if (table.eof()) {
            read.problem = std::string(kNotLoaded) + " <" + path + "> has fewer than " +
                           std::to_string(kMaxReplicates) + " rows.";
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
    const int n1 = replicateCount(first["SAMP_REPS"]);
    const int n2 = replicateCount(first["REF_REPS"]);
    if (n1 < 0 || n2 < 0) {
        read.problem = std::string(kNotLoaded) + " The replicate counts in <" + path + "> (" +
                       first["SAMP_REPS"] + ", " + first["REF_REPS"] +
                       ") are not whole numbers from 0 to " + std::to_string(kMaxReplicates) + ".";
        return read;
    }
    SampleData data;
    for (int i = 1; i <= kMaxReplicates; ++i) {
        const SampleRow& row = rows.at(static_cast<std::size_t>(i - 1));
        const double t1 = leadingNumber(row["SAMPTRANS"]);
        const double t2 = leadingNumber(row["REFTRANS"]);
        if ((i <= n1 && !std::isfinite(t1)) || (i <= n2 && !std::isfinite(t2))) {
            read.problem = std::string(kNotLoaded) + " A transformed value in row " +
                           std::to_string(i) + " of <" + path + "> is out of range.";
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
