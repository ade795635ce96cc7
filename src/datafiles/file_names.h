// SPDX-License-Identifier: MIT
#pragma once
// The names the file-selection dialog hands back: the purposes that pick a folder, and the
// typed name turned into a short, safe file name with the purpose's extension.

#include <string>
#include <string_view>

namespace bx {

inline constexpr const char* kPurposeSave = "save";
inline constexpr const char* kPurposeLoad = "load";
inline constexpr const char* kPurposeDetailLog = "detail log";
inline constexpr const char* kPurposeSummaryLog = "summary log";
inline constexpr const char* kPurposeReport = "report";

// What ChosenFileName holds after Cancel.
inline constexpr const char* kUserCancelled = "UserCancelled";

inline constexpr const char* kTruncationMessage =
    "Filename must be 8 characters or fewer - the filename you entered will be truncated.";

struct FixedFileName {
    std::string name;        // the cleaned name with its extension, e.g. "myfile.dbf"
    bool truncated = false;  // the entry was cut to 8 characters (the caller tells the user)
};

// A table name: at most 8 characters before ".dbf". Whatever extension was typed is dropped,
// blanks and the characters  !@#$%^&*()+=?|{}[]<>,:;~/\  are removed, and a base that shrinks
// to one character or none while being cleaned becomes "Log". An empty entry gives ".dbf".
FixedFileName fixDbfName(std::string_view entry);

// A report name: the same cleaning without the length limit, "Report" for a base that shrinks
// to one character or none, and ".csv". Never truncated.
FixedFileName fixCSVName(std::string_view entry);

// True for a character the name rules drop from a typed name.
bool isUnsafeNameCharacter(char c);

// True when ChosenFileName names no file: empty, or the bare extension (".dbf" or ".csv").
bool chosenNameIsEmpty(std::string_view chosenFileName, std::string_view extension);

}  // namespace bx
