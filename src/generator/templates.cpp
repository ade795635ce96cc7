// SPDX-License-Identifier: MIT
// The empty templates that the program copies to start a sample file, a log or the report
// table: every field a character field, in record order.

#include "datafiles/sample_record.h"
#include "generator/generated_table.h"
#include "logs/summary_record.h"
#include "reports/report_record.h"

namespace bx::gen {
namespace {

template <std::size_t N>
std::vector<DbfFieldDef> characterFields(const std::array<RecordField, N>& record) {
    std::vector<DbfFieldDef> fields;
    fields.reserve(N);
    for (const RecordField& f : record) {
        fields.push_back({std::string(f.name), 'C', f.width, 0});
    }
    return fields;
}

}  // namespace

std::vector<GeneratedTable> templateTables() {
    std::vector<GeneratedTable> tables;
    // Saving walks forward through existing rows and loading reads ten: ten blank rows.
    tables.push_back({"stat.dbf", characterFields(kSampleRecordFields),
                      std::vector<std::vector<std::string>>(kSampleTemplateRows)});
    tables.push_back({"sslog.dbf", characterFields(kReportRecordFields), {}});
    tables.push_back({"result.dbf", characterFields(kReportRecordFields), {}});
    tables.push_back({"sslogsum.dbf", characterFields(kSummaryRecordFields), {}});
    return tables;
}

}  // namespace bx::gen
