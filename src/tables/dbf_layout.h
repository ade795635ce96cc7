// SPDX-License-Identifier: MIT
#pragma once
// The layout of a dBASE III file (header, field descriptors, record count), read and checked
// before any library sees the file: a damaged or hostile file gives an error, never an
// out-of-bounds read.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tables/table_error.h"

namespace bx {

struct DbfField {
    std::string name;  // as stored, without padding
    char type = 'C';   // 'C' character, 'N'/'F' numeric, 'L' logical, 'D' date, 'M' memo pointer
    int width = 0;     // bytes in the record
    int decimals = 0;
    int offset = 0;  // position in the record; byte 0 is the deletion flag
};

struct DbfLayout {
    std::vector<DbfField> fields;
    std::uint32_t recordCount = 0;
    int headerLength = 0;
    int recordLength = 0;
    // Byte 29, the language driver: the code page of the table's text (0 when unmarked).
    unsigned char languageDriver = 0;
};

// The language driver mark of Windows-1252 (dBASE's "Windows ANSI"), which this program
// writes; 0x57, the mark some other programs write for the same code page, is read as it.
inline constexpr unsigned char kDbfWindows1252 = 0x03;
inline constexpr unsigned char kDbfWindows1252Alternative = 0x57;
inline bool isWindows1252Table(const DbfLayout& layout) {
    return layout.languageDriver == kDbfWindows1252 ||
           layout.languageDriver == kDbfWindows1252Alternative;
}

inline constexpr int kDbfFileHeaderSize = 32;
inline constexpr int kDbfFieldDescriptorSize = 32;
inline constexpr unsigned char kDbfHeaderTerminator = 0x0D;

// Parses the header bytes of a dBASE III file whose whole size is `fileSize`. `header` holds
// the file's first bytes: at least the header length that its bytes 8-9 give, or the whole
// file when it is shorter. `path` only names the file in the error text.
TableError parseDbfLayout(std::string_view header, std::uint64_t fileSize, const std::string& path,
                          DbfLayout& layout);

// Reads and checks the layout of the open file `fd`.
TableError readDbfLayout(int fd, const std::string& path, DbfLayout& layout);

}  // namespace bx
