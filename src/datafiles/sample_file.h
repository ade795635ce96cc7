// SPDX-License-Identifier: MIT
#pragma once
// The sample data file: the entered data of one comparison (project name, sample identifiers
// and aliases, both samples' replicates with their transformed values) in a table made from
// the template stat.dbf.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "entry/value_array.h"
#include "tables/dbf_table.h"
#include "tables/table_error.h"

namespace bx {

struct SampleData {
    std::string project;
    std::string sampleId;
    std::string sampleAlias;
    std::string referenceId;
    std::string referenceAlias;
    ValueArray sampRaw;    // the replicates as entered
    ValueArray sampTrans;  // and transformed
    ValueArray refRaw;
    ValueArray refTrans;
};

// Writes `data` to `fileName` in `folder`: a copy of the template beside the target receives
// the rows and then replaces the target, so that a failure leaves an earlier file as it was.
// The target is locked meanwhile (tables/file_copy.h replaceUnderLock): a save of the same file
// by another program waits for this one, up to kSharedFileWait.
// Row 1 holds the identifiers, the project and the counts, row i the i-th replicate of each
// sample that has one. Identifiers cut to their field are reported; a value text that does
// not fit its field fails the save (error 59), the target left as it was. An error in creating the
// copy names the target file, never the copy's temporary name. Without `replace` the target must
// not exist: when it does (or appears meanwhile) the save fails with 58 and leaves it as it is.
TableError writeSampleFile(const std::string& templatePath, const std::string& folder,
                           const std::string& fileName, const SampleData& data,
                           const std::function<void(const FieldCut&)>& reportCut,
                           bool replace = true);

struct SampleFileRead {
    std::optional<SampleData> data;  // the file's data, when it is a sound sample data file
    // Why not: the file could not be reached (missing, locked, no permission)...
    std::optional<TableError> accessError;
    // ...or it is no sample data file at all (fields missing, not a table)...
    bool invalidFile = false;
    // ...or it was read but its content is unusable: the reason, for the status line. For an
    // invalid file, what is wrong with it: "<path>: damaged header (...)", "<path>: no field
    // SAMPID", ...
    std::string problem;
    // Said about a file that was loaded all the same (values held past a replicate count).
    std::vector<std::string> warnings;
};

// Reads and checks `fileName` in `folder` completely: ten rows, replicate counts that are
// whole numbers from 0 to 10, transformed values that are finite numbers. Values held past a
// replicate count are loaded, with a warning.
SampleFileRead readSampleFile(const std::string& folder, const std::string& fileName);

// "error <n> (<description>)", with "; <cause>" when the cause is known.
std::string errorDetail(const TableError& error);

}  // namespace bx
