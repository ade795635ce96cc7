// SPDX-License-Identifier: MIT
#pragma once
// The program's number <-> text conventions. Every number the window shows, every number a
// log or report writes, and every number read back from a field's text passes through here.

#include <string>
#include <string_view>

namespace bx {

// Formats `value` with a display pattern such as "##0.0##", "#0.00000" or "##".
//   "0" is a digit always shown, "#" a digit shown only when significant, "." the point.
//   Rounding is half away from zero on the value's 15-significant-digit decimal form, so
//   1.0005 with "0.000" gives 1.001. A value that rounds to zero carries no minus sign.
//   A pattern without "0" places shows 0 as the empty text. Infinities show as "Infinity"
//   and "-Infinity", NaN as "NaN".
std::string formatNumber(double value, std::string_view pattern);

// Number-to-text without a pattern: at most 15 significant digits, trailing zeros dropped
// (12.5, 3; 0.1 + 0.2 gives 0.3). Very large or small magnitudes use the form 1E-05.
std::string numberToText(double value);

// The number that `value` formatted with `pattern` shows, written without a pattern: what a
// field's text gives when read back as a number (12.5 with "##0.0##" shows "12.5" and gives
// "12.5"; 12 shows "12.0" and gives "12"; a pattern of "#" places shows 0 as nothing, which
// gives "0").
std::string shownNumberText(double value, std::string_view pattern);
// The same number as a number.
double shownNumber(double value, std::string_view pattern);

// The same with a leading blank for a value that is not negative (" 7"), as the grid's
// replicate labels use.
std::string numberToTextSigned(double value);

struct LeadingNumber {
    double value = 0.0;      // 0 when the text does not begin with a number
    bool found = false;      // the text begins (after blanks) with a number
    bool wholeText = false;  // nothing but blanks follows the number
};

// The leading-number parse: optional blanks, an optional sign, digits with at most one point,
// an optional exponent (e or E, optional sign, digits). Anything else gives 0.
LeadingNumber parseLeadingNumber(std::string_view text);

// Shorthand for parseLeadingNumber(text).value.
double leadingNumber(std::string_view text);

// Removes leading and trailing blanks (spaces only, as the program's trimming does).
std::string_view trimBlanks(std::string_view text);

// The text without its surrounding blanks, in lower case (ASCII letters): how column names and
// plan words are matched.
std::string lowerTrimmed(std::string_view text);

// The text with &, <, >, " and ' written as character references, for XML, SVG and HTML.
std::string xmlEscaped(std::string_view text);

// True for a text a spreadsheet would run as a formula when it opens a comma-separated file:
// one beginning with "=", "+" or "@", or with "-" not followed by a digit or a point and a
// digit. A whole decimal number ("+50.7", "-.5") is a number, not such a text.
bool readsAsFormula(std::string_view text);

// A text as a message shows it: as it is, or, when longer than kShownTextLimit characters,
// "a value of 100,000 characters", so that a message stays one readable line.
inline constexpr std::size_t kShownTextLimit = 64;
std::string shortenedText(std::string_view text);

// The same in double quotes; a long text is described without them.
std::string quotedText(std::string_view text);

// The text as it goes into a comma-separated file meant for a spreadsheet: a leading
// apostrophe before a text that would read as a formula, else unchanged.
std::string spreadsheetText(std::string_view text);

}  // namespace bx
