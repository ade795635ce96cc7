// SPDX-License-Identifier: MIT
#include "base/text_format.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace bx {
namespace {

struct Pattern {
    int minInteger = 0;   // "0" places before the point
    int minDecimals = 0;  // "0" places after the point
    int maxDecimals = 0;  // all places after the point
};

Pattern parsePattern(std::string_view pattern) {
    Pattern p;
    const auto point = pattern.find('.');
    const std::string_view integerPart = pattern.substr(0, point);
    for (char c : integerPart) {
        if (c == '0') {
            ++p.minInteger;
        }
    }
    if (point != std::string_view::npos) {
        const std::string_view fraction = pattern.substr(point + 1);
        for (char c : fraction) {
            if (c == '0' || c == '#') {
                ++p.maxDecimals;
            }
            if (c == '0') {
                ++p.minDecimals;
            }
        }
    }
    return p;
}

// |value| rounded to `decimals` places, half away from zero, on its 15-significant-digit
// decimal form (so that 1.0005, stored as 1.000499999..., rounds as the decimal it was typed
// as). The digits are written without a point: integer digits (no leading zeros), then exactly
// `decimals` fraction digits.
struct RoundedDigits {
    std::string digits;  // integer digits, then the fraction digits
    int integerLength = 0;
    int length = 0;
};

// Powers of ten that a double holds exactly.
constexpr std::array<double, 23> kPow10 = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                           1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                           1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Powers of ten up to 10^19, the largest below 2^64.
constexpr std::array<std::uint64_t, 20> kPow10Integer = [] {
    std::array<std::uint64_t, 20> powers{};
    std::uint64_t p = 1;
    for (std::uint64_t& power : powers) {
        power = p;
        p *= 10;
    }
    return powers;
}();

// The 15 significant digits of `magnitude` (correctly rounded) by integer arithmetic, for the
// common range where that is exact: m = magnitude * 10^(14 - e) lies in [1e14, 1e15) and the
// power of ten is exact (at most 10^22), so the product's rounding error is itself a double
// that fma() finds exactly, and the product, m plus that error, is known exactly. Rounding it to
// the nearest integer then gives the correctly rounded digits; an exact half, where the
// general path's rounding rule applies, is left to it. `digits` is then the 15-digit integer and
// `exponent` the power of ten of its first digit. Returns false where the caller must take the
// general path.
bool fifteenDigits(double magnitude, std::uint64_t& digits, int& exponent) {
    if (!(magnitude >= 1e-7 && magnitude < 1e14)) {
        return false;
    }
    // floor(log10(magnitude)) or one less, from the binary exponent (78913 / 2^18 is log10(2)
    // to six places); the loop below steps to the right power.
    const int binaryExponent =
        static_cast<int>((std::bit_cast<std::uint64_t>(magnitude) >> 52) & 0x7FF) - 1023;
    int e = (binaryExponent * 78913) >> 18;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int shift = 14 - e;
        if (shift < 0 || shift > 22) {
            return false;
        }
        const double power = kPow10[static_cast<std::size_t>(shift)];
        const double m = magnitude * power;
        if (m < 1e14) {
            --e;
            continue;
        }
        if (m >= 1e15) {
            ++e;
            continue;
        }
        const double error = std::fma(magnitude, power, -m);  // the product is m + error
        auto n = static_cast<std::uint64_t>(m);               // m's integer part
        // m - n - 0.5 is exact (m has at most 6 fraction bits here), and adding the error keeps
        // the sign of the exact sum.
        const double aboveHalf = (m - static_cast<double>(n) - 0.5) + error;
        if (aboveHalf == 0.0) {
            return false;
        }
        n += aboveHalf > 0.0 ? 1 : 0;
        if (n >= kPow10Integer[15]) {  // rounded up to the next power of ten
            n /= 10;
            ++e;
        }
        digits = n;
        exponent = e;
        return true;
    }
    return false;
}

// |value| * 10^decimals rounded as roundedDigits() rounds it, as an integer, where
// fifteenDigits() finds the digits and the result fits in 64 bits. The 15 digits hold the places
// down to 10^(exponent - 14); those below 10^-decimals are dropped, rounding half up on the
// first of them. False where the caller must take the general path.
bool roundedInteger(double magnitude, int decimals, std::uint64_t& scaled) {
    std::uint64_t digits = 0;
    int exponent = 0;
    if (!fifteenDigits(magnitude, digits, exponent)) {
        return false;
    }
    const int dropped = 14 - exponent - decimals;
    if (dropped <= 0) {
        if (-dropped > 4) {  // the digits times 10^4 stay below 2^64
            return false;
        }
        scaled = digits * kPow10Integer[static_cast<std::size_t>(-dropped)];
    } else if (dropped <= 15) {
        const std::uint64_t unit = kPow10Integer[static_cast<std::size_t>(dropped)];
        scaled = digits / unit + (digits % unit >= unit / 2 ? 1 : 0);
    } else {
        scaled = 0;  // every digit lies beyond the places, the first at most 10^(-decimals - 2)
    }
    return true;
}

RoundedDigits roundedDigits(double magnitude, int decimals) {
    RoundedDigits out;
    if (magnitude == 0.0) {
        out.digits.assign(static_cast<std::size_t>(decimals), '0');
        out.length = decimals;
        return out;
    }
    std::array<char, 15> significant{};
    int exponent = 0;
    if (std::uint64_t n = 0; fifteenDigits(magnitude, n, exponent)) {
        std::to_chars(significant.data(), significant.data() + significant.size(), n);
    } else {
        // "d.dddddddddddddde+XX": 15 significant digits, correctly rounded
        std::array<char, 32> sci{};
        const auto written = std::to_chars(sci.data(), sci.data() + sci.size(), magnitude,
                                           std::chars_format::scientific, 14);
        significant[0] = sci[0];
        std::copy_n(sci.begin() + 2, 14, significant.begin() + 1);
        const char* expStart = sci.data() + 17;  // after "e"
        if (*expStart == '+') {
            ++expStart;
        }
        std::from_chars(expStart, written.ptr, exponent);
    }

    // Position k of the fixed grid holds the digit of 10^(integerDigits - 1 - k).
    const int integerDigits = exponent >= 0 ? exponent + 1 : 0;
    const int firstSignificant = exponent >= 0 ? 0 : -exponent - 1;
    auto digitAt = [&](int k) {
        const int i = k - firstSignificant;
        return i >= 0 && i < 15 ? significant[static_cast<std::size_t>(i)] : '0';
    };
    const int keep = integerDigits + decimals;
    out.digits.resize(static_cast<std::size_t>(keep) + 1);
    char* d = out.digits.data() + 1;  // room for a carry into a new leading digit
    for (int k = 0; k < keep; ++k) {
        d[k] = digitAt(k);
    }
    int length = keep;
    if (digitAt(keep) >= '5') {
        int i = keep - 1;
        while (i >= 0 && d[i] == '9') {
            d[i] = '0';
            --i;
        }
        if (i >= 0) {
            ++d[i];
        } else {
            --d;
            d[0] = '1';
            ++length;
        }
    }
    // Drop leading zeros of the integer part.
    int integerLength = length - decimals;
    int skip = 0;
    while (skip < integerLength && d[skip] == '0') {
        ++skip;
    }
    integerLength -= skip;
    length -= skip;
    out.digits.erase(0, static_cast<std::size_t>(d + skip - out.digits.data()));
    out.digits.resize(static_cast<std::size_t>(length));
    out.integerLength = integerLength;
    out.length = length;
    return out;
}

// The "%.15g" text of a value whose shortest round-trip form has at most 15 significant
// digits: then both have the same digits (the value lies within half an ulp of the shortest
// form, far less than half a unit of the 15th digit), and the shortest form is much cheaper to
// find. Returns "" for a value that needs more digits.
std::string shortestAtFifteenDigits(double value) {
    std::array<char, 40> sci{};
    const auto written =
        std::to_chars(sci.data(), sci.data() + sci.size(), value, std::chars_format::scientific);
    const char* p = sci.data();
    const bool negative = *p == '-';
    if (negative) {
        ++p;
    }
    std::string digits;
    const char* c = p;
    for (; c != written.ptr && *c != 'e'; ++c) {
        if (*c != '.') {
            digits.push_back(*c);
        }
    }
    if (digits.size() > 15 || c == written.ptr) {
        return {};
    }
    int exponent = 0;
    const char* expStart = c + 1;
    if (*expStart == '+') {
        ++expStart;
    }
    std::from_chars(expStart, written.ptr, exponent);
    std::string text;
    if (negative) {
        text.push_back('-');
    }
    if (exponent < -4 || exponent >= 15) {
        text.push_back(digits[0]);
        if (digits.size() > 1) {
            text.push_back('.');
            text.append(digits, 1);
        }
        std::array<char, 16> e{};
        std::snprintf(e.data(), e.size(), "e%c%02d", exponent < 0 ? '-' : '+',
                      exponent < 0 ? -exponent : exponent);
        text.append(e.data());
    } else if (exponent < 0) {
        text += "0.";
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text += digits;
    } else {
        const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= integerDigits) {
            text += digits;
            text.append(integerDigits - digits.size(), '0');
        } else {
            text.append(digits, 0, integerDigits);
            text.push_back('.');
            text.append(digits, integerDigits);
        }
    }
    return text;
}

// The text of a rounded magnitude: `digits` holds its integer digits (`integerLength` of them,
// without leading zeros) and then exactly `maxDecimals` fraction digits.
std::string composeNumber(bool negative, std::string_view digits, int integerLength,
                          const Pattern& p) {
    const char* integer = digits.data();
    const char* fraction = integer + integerLength;
    const auto length = static_cast<int>(digits.size());
    int fractionLength = length - integerLength;
    while (fractionLength > p.minDecimals && fraction[fractionLength - 1] == '0') {
        --fractionLength;
    }
    const bool isZero = digits.find_first_not_of('0') == std::string_view::npos;
    const int integerPad = std::max(0, p.minInteger - integerLength);
    const bool sign = negative && !isZero && (integerLength + integerPad + fractionLength) > 0;
    std::string text(static_cast<std::size_t>((sign ? 1 : 0) + integerPad + integerLength +
                                              (fractionLength > 0 ? fractionLength + 1 : 0)),
                     '0');
    char* out = text.data();
    if (sign) {
        *out++ = '-';
    }
    out = std::copy_n(integer, integerLength, out + integerPad);
    if (fractionLength > 0) {
        *out++ = '.';
        std::copy_n(fraction, fractionLength, out);
    }
    return text;
}

}  // namespace

std::string formatNumber(double value, std::string_view pattern) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value > 0 ? "Infinity" : "-Infinity";
    }
    const Pattern p = parsePattern(pattern);
    // Whole numbers below 10^15 have an exact decimal form: no rounding to do (counts, table
    // keys, degrees of freedom and most entered replicates take this path).
    const double magnitude = std::fabs(value);
    if (magnitude < 1e15 && magnitude == std::floor(magnitude)) {
        std::array<char, 24> digits{};
        const auto n = static_cast<long long>(magnitude);
        char* end = digits.data();
        if (n != 0) {
            end = std::to_chars(digits.data(), digits.data() + digits.size(), n).ptr;
        }
        const auto length = static_cast<int>(end - digits.data());
        std::string text;
        if (value < 0 && n != 0) {
            text.push_back('-');
        }
        text.append(static_cast<std::size_t>(std::max(0, p.minInteger - length)), '0');
        text.append(digits.data(), end);
        if (p.minDecimals > 0) {
            text.push_back('.');
            text.append(static_cast<std::size_t>(p.minDecimals), '0');
        }
        return text;
    }
    std::uint64_t scaled = 0;
    if (roundedInteger(magnitude, p.maxDecimals, scaled)) {
        std::array<char, 24> digits{};
        // A value that rounds to zero has no digits at all, as on the general path.
        char* end = scaled == 0
                        ? digits.data()
                        : std::to_chars(digits.data(), digits.data() + digits.size(), scaled).ptr;
        const auto length = static_cast<int>(end - digits.data());
        if (length >= p.maxDecimals) {
            return composeNumber(value < 0, {digits.data(), static_cast<std::size_t>(length)},
                                 length - p.maxDecimals, p);
        }
        // Below 1: the fraction's leading zeros.
        std::array<char, 48> fraction{};
        const auto zeros = static_cast<std::size_t>(p.maxDecimals - length);
        if (zeros + static_cast<std::size_t>(length) <= fraction.size()) {
            std::fill_n(fraction.begin(), zeros, '0');
            std::copy(digits.data(), end, fraction.begin() + static_cast<std::ptrdiff_t>(zeros));
            return composeNumber(value < 0,
                                 {fraction.data(), zeros + static_cast<std::size_t>(length)}, 0, p);
        }
    }
    const RoundedDigits r = roundedDigits(magnitude, p.maxDecimals);
    return composeNumber(value < 0, r.digits, r.integerLength, p);
}

std::string numberToText(double value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value > 0 ? "Infinity" : "-Infinity";
    }
    if (value == 0.0) {
        return "0";
    }
    std::string text = shortestAtFifteenDigits(value);
    if (text.empty()) {
        std::array<char, 40> buffer{};
        const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                           std::chars_format::general, 15);
        text.assign(buffer.data(), written.ptr);
    }
    const auto e = text.find('e');
    if (e == std::string::npos) {
        return text;
    }
    // 1e-05 -> 1E-05, 1.5e+20 -> 1.5E+20
    text[e] = 'E';
    return text;
}

std::string numberToTextSigned(double value) {
    std::string text = numberToText(value);
    if (!text.empty() && text.front() != '-') {
        text.insert(text.begin(), ' ');
    }
    return text;
}

LeadingNumber parseLeadingNumber(std::string_view text) {
    LeadingNumber result;
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    const std::size_t start = i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    // The digits as one integer while there are at most 15 of them (leading zeros count), and
    // how many follow the point.
    std::int64_t mantissa = 0;
    std::size_t digits = 0;
    int decimals = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        mantissa = digits < 15 ? mantissa * 10 + (text[i] - '0') : mantissa;
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            mantissa = digits < 15 ? mantissa * 10 + (text[i] - '0') : mantissa;
            ++i;
            ++digits;
            ++decimals;
        }
    }
    if (digits == 0) {
        return result;
    }
    std::size_t end = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        const std::size_t expStart = j;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9') {
            ++j;
        }
        if (j > expStart) {
            end = j;
        }
    }
    if (digits <= 15 && end == i) {
        // Clinger's fast path: at most 15 digits and no exponent make an exact integer divided
        // by an exact power of ten, and one correctly rounded division gives the correctly
        // rounded value.
        result.value = static_cast<double>(mantissa) / kPow10[static_cast<std::size_t>(decimals)];
        if (negative) {
            result.value = -result.value;
        }
    } else {
        // from_chars takes no leading "+"; out-of-range magnitudes (1e999) go to strtod, which
        // gives the infinity that the validation then refuses.
        const char* first = text.data() + start;
        const char* last = text.data() + end;
        if (*first == '+') {
            ++first;
        }
        const auto parsed = std::from_chars(first, last, result.value);
        if (parsed.ec != std::errc()) {
            const std::string number(text.substr(start, end - start));
            result.value = std::strtod(number.c_str(), nullptr);
        }
    }
    result.found = true;
    result.wholeText = std::all_of(text.begin() + static_cast<std::ptrdiff_t>(end), text.end(),
                                   [](char c) { return c == ' '; });
    return result;
}

double leadingNumber(std::string_view text) {
    return parseLeadingNumber(text).value;
}

std::string_view trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string shortenedText(std::string_view text) {
    if (text.size() <= kShownTextLimit) {
        return std::string(text);
    }
    // The length with thousands separators: "a value of 100,000 characters".
    std::string digits = std::to_string(text.size());
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), ",");
    }
    return "a value of " + digits + " characters";
}

std::string quotedText(std::string_view text) {
    return text.size() <= kShownTextLimit ? "\"" + std::string(text) + "\"" : shortenedText(text);
}

bool readsAsFormula(std::string_view text) {
    // Only a text that begins with one of these may be run; most cells are passed at once.
    if (text.empty() || (text[0] != '=' && text[0] != '+' && text[0] != '@' && text[0] != '-')) {
        return false;
    }
    // A number ("+50.7", "-1e3") is a number cell, not a text.
    if (const LeadingNumber n = parseLeadingNumber(text); n.found && n.wholeText) {
        return false;
    }
    const auto digit = [&](std::size_t i) {
        return i < text.size() && text[i] >= '0' && text[i] <= '9';
    };
    switch (text[0]) {
        case '=':
        case '+':
        case '@':
            return true;
        case '-':
            return !digit(1) && !(text.size() > 1 && text[1] == '.' && digit(2));
        default:
            return false;
    }
}

std::string spreadsheetText(std::string_view text) {
    return readsAsFormula(text) ? "'" + std::string(text) : std::string(text);
}

double shownNumber(double value, std::string_view pattern) {
    return leadingNumber(formatNumber(value, pattern));
}

namespace {

// A formatted text of at most 15 significant digits and no exponent reads back as the double
// nearest to it, whose shortest text at fifteen digits is the same digits: the text itself
// without trailing zeros in the fraction (and without a bare point). Such texts lie between
// 0.001 and 1e15 or are 0, where the text without a pattern is plain, not exponential. Trims
// `text` so and returns true; false for any other text.
bool trimShownText(std::string& text) {
    std::size_t i = text.empty() || text[0] != '-' ? 0 : 1;
    int significant = 0;
    bool point = false;
    for (std::size_t k = i; k < text.size(); ++k) {
        const char c = text[k];
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            if (significant > 0 || c != '0') {
                ++significant;
            }
        } else {
            return false;
        }
    }
    if (significant > 15) {
        return false;
    }
    if (point) {
        while (text.back() == '0') {
            text.pop_back();
        }
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    if (significant == 0) {
        text = "0";  // "", "0.000"
    }
    return true;
}

}  // namespace

std::string shownNumberText(double value, std::string_view pattern) {
    // Mostly the rounded value is a whole number of the last place below 10^15, and the text
    // is written from it at once: its integer digits (one "0" below 1), then the fraction's
    // digits without trailing zeros, as trimming the pattern's text would leave them.
    const Pattern p = parsePattern(pattern);
    std::uint64_t scaled = 0;
    if ((p.minInteger == 1 || (p.minInteger == 0 && p.maxDecimals == 0)) && p.maxDecimals <= 15 &&
        roundedInteger(std::fabs(value), p.maxDecimals, scaled) && scaled < kPow10Integer[15]) {
        if (scaled == 0) {
            return "0";
        }
        const std::uint64_t unit = kPow10Integer[static_cast<std::size_t>(p.maxDecimals)];
        std::array<char, 24> text{};
        char* out = text.data();
        if (value < 0) {
            *out++ = '-';
        }
        out = std::to_chars(out, text.data() + text.size(), scaled / unit).ptr;
        std::uint64_t fraction = scaled % unit;
        int places = p.maxDecimals;
        for (; places > 0 && fraction % 10 == 0; --places) {
            fraction /= 10;
        }
        if (places > 0) {
            *out++ = '.';
            for (int k = places - 1; k >= 0; --k) {
                out[k] = static_cast<char>('0' + fraction % 10);
                fraction /= 10;
            }
            out += places;
        }
        return {text.data(), out};
    }
    std::string text = formatNumber(value, pattern);
    if (trimShownText(text)) {
        return text;
    }
    return numberToText(leadingNumber(text));
}

std::string lowerTrimmed(std::string_view text) {
    std::string s(trimBlanks(text));
    for (char& c : s) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return s;
}

std::string xmlEscaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace bx
