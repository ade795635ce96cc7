// Fuzzes reading a survey from an .xlsx workbook: the input bytes become the workbook file,
// whose first sheet is read as CSV and then as a survey. A damaged archive or sheet must give
// an error, never a crash, an out-of-bounds access, or memory out of proportion to the input.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "survey/survey.h"
#include "survey/workbook_reader.h"

namespace {

std::string scratchFile() {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("benthix-fuzz-" + std::to_string(::getpid()));
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return (folder / "w.xlsx").string();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = scratchFile();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    std::string error;
    const std::optional<bx::WorkbookSheet> sheet = bx::workbookSheetAsCsv(path, "", error);
    if (sheet) {
        const bx::Survey survey = bx::readSurvey(*sheet);
        for (std::size_t i = 0; i < survey.size(); ++i) {
            (void)survey.sample(i);
        }
    }
    return 0;
}
