// SPDX-License-Identifier: MIT
// Fuzzes opening and reading a table: the input bytes become a .dbf file, which is opened,
// read row by row and field by field, searched, and written to. A damaged file must give an
// error, never a crash or an out-of-bounds access.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "tables/dbf_layout.h"
#include "tables/dbf_table.h"

namespace {

// The rows read per input: record counts are bounded by the file size anyway; this keeps
// each run short.
constexpr int kMaxRows = 256;

std::string scratchFolder() {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("benthix-fuzz-" + std::to_string(::getpid()));
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return folder.string();
}

void readEverything(bx::DbfTable& table) {
    int rows = 0;
    for (bx::TableError e = table.moveFirst(); !e && !table.eof() && rows < kMaxRows;
         e = table.moveNext(), ++rows) {
        for (const bx::DbfField& f : table.fields()) {
            (void)table.fieldText(f.name);
        }
        (void)table.rowPosition();
    }
    if (!table.fields().empty()) {
        (void)table.findFirst(table.fields().front().name, "3,3");
        (void)table.noMatch();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    bx::DbfLayout layout;
    (void)bx::parseDbfLayout(bytes, bytes.size(), "input", layout);

    const std::string folder = scratchFolder();
    const std::string path = folder + "/t.dbf";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    bx::DbfTable table;
    if (!table.open(folder, "t.dbf", bx::DbfOpenMode::ReadOnly)) {
        readEverything(table);
    }
    table.close();

    // Writing: change the first row (if any), add a row, read it back.
    if (!table.open(folder, "T", bx::DbfOpenMode::ReadWrite)) {
        table.setCutHandler([](const bx::FieldCut&) {});
        const std::string first = table.fields().front().name;
        if (!table.eof() && !table.writeField(first, "\xC3\xA9t\xC3\xA9 written")) {
            (void)table.store();
        }
        if (table.isOpen() && !table.addNew() && !table.writeField(first, "new") &&
            !table.store()) {
            readEverything(table);
        }
    }
    return 0;
}
