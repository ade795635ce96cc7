#pragma once
// The files of the detailed and the summary log: a new log made from its template, and the
// rows of a run appended to it.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "logs/log_rows.h"
#include "tables/dbf_table.h"
#include "tables/table_error.h"

namespace bx {

// Called for every value that does not fit its field.
using CutReporter = std::function<void(const FieldCut&)>;

// Replaces the file `fileName` in `folder` by a copy of the template and opens it with one
// blank row: nothing of an earlier file is lost unless the copy is complete.
TableError createLogFile(const std::string& templatePath, const std::string& folder,
                         const std::string& fileName);

// Appends `rows` to the log at `path`; the first failure ends the writing and is returned.
TableError appendLogRows(const std::string& path, const std::vector<LogRow>& rows,
                         const CutReporter& reportCut);

// "File IO Error <n>.  File may already be open or pathname is corrupt." for a file error.
std::string fileIoErrorText(int number);

// The status line of a run that could not be written to a log (the log stays active).
std::string logWriteErrorLine(std::string_view logName, const TableError& error);

}  // namespace bx
