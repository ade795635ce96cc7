// Fuzzes reading a survey from delimited text: the first input byte picks how it is read
// (delimiter, decimal comma, a group column, the wide layout), the rest is the text. Any bytes
// must give a survey or its errors, never a crash, an out-of-bounds access or a hang; and UTF-8
// text must read the same through the stream as through the whole-document parser.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "base/code_page.h"
#include "survey/csv.h"
#include "survey/survey.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const unsigned options = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    bx::SurveyFormat format;
    switch (options & 3U) {
        case 1:
            format.delimiter = ',';
            break;
        case 2:
            format.delimiter = ';';
            break;
        case 3:
            format.delimiter = '\t';
            break;
        default:
            break;  // found from the header line
    }
    format.decimalComma = (options & 4U) != 0;
    if ((options & 8U) != 0) {
        format.groupColumns = {"endpoint"};
    }
    if ((options & 16U) != 0) {
        format.endpointColumns = {"survival", "growth"};
    }
    if ((options & 32U) != 0) {
        format.ignoredColumns = {"note"};
    }

    const bx::Survey survey = bx::readSurvey(text, format);
    bx::SurveySample sample;
    for (std::size_t i = 0; i < survey.size(); ++i) {
        survey.sampleInto(i, sample);
        (void)survey.find(sample.id, survey.groupIndexOf(i));
    }

    // The whole-document parser, and writing the records back.
    const bx::CsvDocument document = bx::parseCsv(text, bx::detectDelimiter(text));
    std::string out;
    for (const bx::CsvRecord& record : document.records) {
        bx::appendSpreadsheetRecord(out, record.fields);
    }

    // UTF-8 (which the stream passes on as it is) reads through the stream, record by record,
    // as the whole document reads. (After a malformed line the two may part: the stream takes a
    // quote opened later on that line as spanning lines, the whole document does not.)
    const char delimiter = format.delimiter.value_or(',');
    const bx::CsvDocument whole = bx::parseCsv(text, delimiter);
    if (whole.errors.empty() && bx::isUtf8(text) && text.substr(0, 2) != "\xFE\xFF" &&
        text.substr(0, 2) != "\xFF\xFE") {
        std::istringstream in{std::string(text)};
        bx::CsvStream stream(in, delimiter);
        bx::CsvRecordView record;
        bx::CsvError error;
        std::size_t records = 0;
        while (stream.next(record, error)) {
            if (error.reason.empty()) {
                const bx::CsvRecord& expected = whole.records.at(records++);
                if (record.line != expected.line ||
                    !std::equal(record.fields.begin(), record.fields.end(), expected.fields.begin(),
                                expected.fields.end())) {
                    __builtin_trap();
                }
            } else {
                __builtin_trap();
            }
        }
        if (records != whole.records.size()) {
            __builtin_trap();
        }
    }
    return 0;
}
