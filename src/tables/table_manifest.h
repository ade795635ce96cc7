// SPDX-License-Identifier: MIT
#pragma once
// The manifest of the statistical tables and the templates: the size and SHA-256 checksum of
// each file as the build wrote it, kept in the program folder beside them ("tables.manifest"),
// so that a missing, cut or altered table is found at start-up instead of giving wrong answers,
// and a damaged template before it makes logs and sample files that cut their values.
//
// One line per file: "<size in bytes> <64 hexadecimal digits> <file name>"; lines that begin
// with '#' are comments.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tables/table_error.h"

namespace bx {

inline constexpr const char* kTableManifestName = "tables.manifest";

// The empty tables that sample files, logs and the report table are made from.
inline constexpr std::array<const char*, 4> kTemplateFileNames{"stat.dbf", "sslog.dbf",
                                                               "sslogsum.dbf", "result.dbf"};

struct ManifestEntry {
    std::string fileName;
    std::uint64_t size = 0;
    std::string sha256;  // lower-case hexadecimal

    bool operator==(const ManifestEntry&) const = default;
};

// The entry of the file at `path` (its name without folder, size and checksum).
TableError describeFile(const std::string& path, ManifestEntry& entry);

// Writes the entries of `fileNames` in `folder` to the manifest there.
TableError writeTableManifest(const std::string& folder, const std::vector<std::string>& fileNames);

// Reads the manifest of `folder`.
TableError readTableManifest(const std::string& folder, std::vector<ManifestEntry>& entries);

}  // namespace bx
