#include "app/text_format.h"

#include <array>
#include <cmath>
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

// Decimal digits of |value| at 15 significant digits: digits "d1d2...d15" and the decimal
// exponent of d1 (value = 0.d1d2... * 10^(exp+1)).
struct DecimalForm {
    std::string digits;
    int exponent = 0;
};

DecimalForm decimalForm(double magnitude) {
    std::array<char, 40> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.14e", magnitude);
    DecimalForm form;
    const std::string text(buffer.data());
    const auto e = text.find('e');
    for (std::size_t i = 0; i < e; ++i) {
        if (text[i] != '.') {
            form.digits.push_back(text[i]);
        }
    }
    form.exponent = std::atoi(text.c_str() + e + 1);
    return form;
}

// Rounds |value| to `decimals` places, half away from zero, on its 15-digit decimal form.
// Returns the integer digits and the fraction digits (exactly `decimals` of them).
std::pair<std::string, std::string> roundedDigits(double magnitude, int decimals) {
    if (magnitude == 0.0) {
        return {"", std::string(static_cast<std::size_t>(decimals), '0')};
    }
    const DecimalForm form = decimalForm(magnitude);
    // Place the digits on a fixed grid: position of the units digit is form.exponent.
    const int integerDigits = form.exponent >= 0 ? form.exponent + 1 : 0;
    const int leadingZeros = form.exponent < 0 ? -form.exponent - 1 : 0;
    std::string all;  // integer digits followed by fraction digits, no point
    if (integerDigits > 0) {
        all = form.digits;
        if (static_cast<int>(all.size()) < integerDigits) {
            all.append(static_cast<std::size_t>(integerDigits) - all.size(), '0');
        }
    } else {
        all = std::string(static_cast<std::size_t>(leadingZeros), '0') + form.digits;
    }
    const int keep = integerDigits + decimals;
    if (static_cast<int>(all.size()) < keep) {
        all.append(static_cast<std::size_t>(keep) - all.size(), '0');
    }
    const bool roundUp =
        static_cast<int>(all.size()) > keep && all[static_cast<std::size_t>(keep)] >= '5';
    all.resize(static_cast<std::size_t>(keep));
    if (roundUp) {
        int i = keep - 1;
        while (i >= 0) {
            auto& c = all[static_cast<std::size_t>(i)];
            if (c == '9') {
                c = '0';
                --i;
            } else {
                ++c;
                break;
            }
        }
        if (i < 0) {
            all.insert(all.begin(), '1');
        }
    }
    const std::size_t fractionStart = all.size() - static_cast<std::size_t>(decimals);
    std::string integer = all.substr(0, fractionStart);
    const std::string fraction = all.substr(fractionStart);
    const auto firstNonZero = integer.find_first_not_of('0');
    integer = firstNonZero == std::string::npos ? std::string() : integer.substr(firstNonZero);
    return {integer, fraction};
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
    auto [integer, fraction] = roundedDigits(std::fabs(value), p.maxDecimals);
    while (static_cast<int>(fraction.size()) > p.minDecimals && fraction.back() == '0') {
        fraction.pop_back();
    }
    if (static_cast<int>(integer.size()) < p.minInteger) {
        integer.insert(0, static_cast<std::size_t>(p.minInteger) - integer.size(), '0');
    }
    const bool isZero = integer.find_first_not_of('0') == std::string::npos &&
                        fraction.find_first_not_of('0') == std::string::npos;
    std::string text = integer;
    if (!fraction.empty()) {
        text += '.';
        text += fraction;
    }
    if (text.empty()) {
        return text;
    }
    if (value < 0 && !isZero) {
        text.insert(text.begin(), '-');
    }
    return text;
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
    std::array<char, 40> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.15g", value);
    std::string text(buffer.data());
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
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            ++i;
            ++digits;
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
    const std::string number(text.substr(start, end - start));
    result.value = std::strtod(number.c_str(), nullptr);
    result.found = true;
    result.wholeText = trimBlanks(text.substr(end)).empty();
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

}  // namespace bx
