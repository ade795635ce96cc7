// SPDX-License-Identifier: MIT
#include "tables/dbf_layout.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string>

namespace bx {
namespace {

unsigned byteAt(std::string_view bytes, std::size_t i) {
    return static_cast<unsigned char>(bytes[i]);
}

// What is wrong with a damaged table, for the user: its header, its record count or its
// field layout.
enum class Damage { Header, RecordCount, Fields };

TableError damaged(int number, const std::string& path, std::string_view reason,
                   Damage part = Damage::Header) {
    const char* what = part == Damage::RecordCount ? "wrong record count"
                       : part == Damage::Fields    ? "damaged field layout"
                                                   : "damaged header";
    return makeFileError(number, path, std::string(what) + " (" + std::string(reason) + ")",
                         path + " (" + std::string(reason) + ")");
}

bool knownFieldType(char type) {
    switch (type) {
        case 'C':
        case 'N':
        case 'F':
        case 'L':
        case 'D':
        case 'M':
            return true;
        default:
            return false;
    }
}

}  // namespace

TableError parseDbfLayout(std::string_view header, std::uint64_t fileSize, const std::string& path,
                          DbfLayout& layout) {
    layout = DbfLayout{};
    if (fileSize < kDbfFileHeaderSize || header.size() < kDbfFileHeaderSize) {
        return damaged(kErrInputPastEnd, path, "file shorter than a table header");
    }
    const std::uint32_t records = byteAt(header, 4) | (byteAt(header, 5) << 8U) |
                                  (byteAt(header, 6) << 16U) | (byteAt(header, 7) << 24U);
    const int headerLength = static_cast<int>(byteAt(header, 8) | (byteAt(header, 9) << 8U));
    const int recordLength = static_cast<int>(byteAt(header, 10) | (byteAt(header, 11) << 8U));

    if (headerLength < kDbfFileHeaderSize + kDbfFieldDescriptorSize + 1) {
        return damaged(kErrPathFileAccess, path, "header too short to hold a field");
    }
    if (static_cast<std::uint64_t>(headerLength) > fileSize ||
        header.size() < static_cast<std::size_t>(headerLength)) {
        return damaged(kErrInputPastEnd, path, "header longer than the file");
    }

    // Field descriptors follow the file header, 32 bytes each, ended by 0x0D.
    int offset = 1;
    bool terminated = false;
    for (int pos = kDbfFileHeaderSize; pos < headerLength; pos += kDbfFieldDescriptorSize) {
        const auto p = static_cast<std::size_t>(pos);
        if (byteAt(header, p) == kDbfHeaderTerminator) {
            terminated = true;
            break;
        }
        if (pos + kDbfFieldDescriptorSize > headerLength) {
            break;
        }
        DbfField field;
        for (std::size_t i = 0; i < 11 && header[p + i] != '\0'; ++i) {
            field.name.push_back(header[p + i]);
        }
        while (!field.name.empty() && field.name.back() == ' ') {
            field.name.pop_back();
        }
        field.type = header[p + 11];
        field.width = static_cast<int>(byteAt(header, p + 16));
        field.decimals = static_cast<int>(byteAt(header, p + 17));
        field.offset = offset;
        if (field.name.empty()) {
            return damaged(kErrPathFileAccess, path, "field without a name", Damage::Fields);
        }
        if (!knownFieldType(field.type)) {
            return damaged(kErrPathFileAccess, path, "unknown type of field " + field.name,
                           Damage::Fields);
        }
        if (field.width == 0) {
            return damaged(kErrBadRecordLength, path, "field " + field.name + " has no width",
                           Damage::Fields);
        }
        offset += field.width;
        layout.fields.push_back(std::move(field));
    }
    if (!terminated) {
        return damaged(kErrPathFileAccess, path, "field list not terminated");
    }
    if (layout.fields.empty()) {
        return damaged(kErrPathFileAccess, path, "no fields", Damage::Fields);
    }
    if (recordLength != offset) {
        return damaged(kErrBadRecordLength, path, "record length does not match the fields",
                       Damage::Fields);
    }
    if (records > static_cast<std::uint32_t>(INT_MAX)) {
        return damaged(kErrBadRecordNumber, path, "absurd record count", Damage::RecordCount);
    }
    const std::uint64_t needed = static_cast<std::uint64_t>(headerLength) +
                                 static_cast<std::uint64_t>(records) * recordLength;
    if (needed > fileSize) {
        return damaged(kErrInputPastEnd, path, "file shorter than its records",
                       Damage::RecordCount);
    }
    layout.recordCount = records;
    layout.headerLength = headerLength;
    layout.recordLength = recordLength;
    layout.languageDriver = static_cast<unsigned char>(byteAt(header, 29));
    return {};
}

TableError readDbfLayout(int fd, const std::string& path, DbfLayout& layout) {
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        return errorFromErrno(errno, path);
    }
    if (!S_ISREG(st.st_mode)) {
        return makeFileError(kErrPathFileAccess, path, "not a regular file",
                             path + " (not a regular file)");
    }
    const auto fileSize = static_cast<std::uint64_t>(st.st_size);
    // The header length field allows at most 65535 bytes.
    std::string header(static_cast<std::size_t>(fileSize < 65535 ? fileSize : 65535), '\0');
    std::size_t got = 0;
    while (got < header.size()) {
        const ssize_t n =
            pread(fd, header.data() + got, header.size() - got, static_cast<off_t>(got));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errorFromErrno(errno, path);
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    header.resize(got);
    return parseDbfLayout(header, fileSize, path, layout);
}

}  // namespace bx
