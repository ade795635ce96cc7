// SPDX-License-Identifier: MIT
#include "datafiles/file_names.h"

#include "base/text_format.h"

namespace bx {
namespace {

// Characters a typed name loses. Beside the blank and the punctuation that the table engine
// cannot take, the two path separators go too, so that a typed name always stays inside the
// chosen folder.
constexpr std::string_view kUnsafeCharacters = " !@#$%^&*()+=?|{}[]<>,:;~/\\";

constexpr std::size_t kDbfBaseLength = 8;

// Cleans a base name position by position: a character of the unsafe set is deleted
// everywhere in the base, and the same position is examined again. When the base has shrunk
// to one character or none, it becomes `replacement`.
std::string cleanBase(std::string base, std::string_view replacement) {
    std::size_t pos = 0;
    while (pos < base.size()) {
        const char c = base[pos];
        if (kUnsafeCharacters.find(c) == std::string_view::npos) {
            ++pos;
            continue;
        }
        std::erase(base, c);
        if (base.size() <= 1) {
            base = replacement;
        }
    }
    return base;
}

// The part of the name before the first point of its trimmed form, or the whole name when the
// trimmed form has no point: a typed extension is dropped.
std::string baseOf(std::string_view name) {
    const std::string_view trimmed = trimBlanks(name);
    const std::size_t dot = trimmed.find('.');
    if (dot == std::string_view::npos) {
        return std::string(name);
    }
    return std::string(trimmed.substr(0, dot));
}

// Number of characters of a UTF-8 text (continuation bytes do not count).
std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0U) != 0x80U) {
            ++count;
        }
    }
    return count;
}

// Cuts a UTF-8 text to its first `count` characters, never inside a character.
void cutToCharacters(std::string& text, std::size_t count) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0U) != 0x80U) {
            if (seen == count) {
                text.resize(i);
                return;
            }
            ++seen;
        }
    }
}

}  // namespace

FixedFileName fixDbfName(std::string_view entry) {
    FixedFileName result;
    std::string name(entry);
    // Too long: more than 8 characters without a point, or more than 8 before the first point
    // of the trimmed name. Lengths count characters, not bytes.
    const std::string_view trimmed = trimBlanks(name);
    const std::size_t dot = trimmed.find('.');
    const bool hasDot = dot != std::string_view::npos;
    if ((!hasDot && characterCount(name) > kDbfBaseLength) ||
        (hasDot && characterCount(trimmed.substr(0, dot)) > kDbfBaseLength)) {
        result.truncated = true;
        cutToCharacters(name, kDbfBaseLength);
    }
    std::string base = cleanBase(baseOf(name), "Log");
    cutToCharacters(base, kDbfBaseLength);
    result.name = base + ".dbf";
    return result;
}

FixedFileName fixCSVName(std::string_view entry) {
    FixedFileName result;
    result.name = cleanBase(baseOf(entry), "Report") + ".csv";
    return result;
}

bool isUnsafeNameCharacter(char c) {
    return kUnsafeCharacters.find(c) != std::string_view::npos;
}

bool chosenNameIsEmpty(std::string_view chosenFileName, std::string_view extension) {
    return chosenFileName.empty() || chosenFileName == extension;
}

}  // namespace bx
