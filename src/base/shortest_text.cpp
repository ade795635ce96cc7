// SPDX-License-Identifier: MIT
#include "base/shortest_text.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>

#ifndef FMT_HEADER_ONLY
#define FMT_HEADER_ONLY
#endif
#include <fmt/format.h>

namespace bx {

namespace {

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

constexpr std::uint64_t kPowersOfTen[] = {1ULL,
                                          10ULL,
                                          100ULL,
                                          1000ULL,
                                          10000ULL,
                                          100000ULL,
                                          1000000ULL,
                                          10000000ULL,
                                          100000000ULL,
                                          1000000000ULL,
                                          10000000000ULL,
                                          100000000000ULL,
                                          1000000000000ULL,
                                          10000000000000ULL,
                                          100000000000000ULL,
                                          1000000000000000ULL,
                                          10000000000000000ULL,
                                          100000000000000000ULL,
                                          1000000000000000000ULL,
                                          10000000000000000000ULL};

// The number of decimal digits of v > 0: log10(2) is 1233 / 4096 to the precision needed here,
// which gives the count or one more.
int digitCount(std::uint64_t v) {
    const auto estimate = static_cast<int>((std::bit_width(v) * 1233) >> 12) + 1;
    return v < kPowersOfTen[estimate - 1] ? estimate - 1 : estimate;
}

void writePair(char* out, std::uint32_t v) {
    out[0] = kDigitPairs[2 * v];
    out[1] = kDigitPairs[(2 * v) + 1];
}

// Writes the n digits of v at out: eight at a time from the last (in 32-bit arithmetic), then
// two at a time.
void writeDigits(char* out, std::uint64_t v, int n) {
    char* p = out + n;
    while (v >= 100000000) {
        const auto low = static_cast<std::uint32_t>(v % 100000000);
        v /= 100000000;
        p -= 8;
        const std::uint32_t high4 = low / 10000;
        const std::uint32_t low4 = low % 10000;
        writePair(p, high4 / 100);
        writePair(p + 2, high4 % 100);
        writePair(p + 4, low4 / 100);
        writePair(p + 6, low4 % 100);
    }
    auto w = static_cast<std::uint32_t>(v);
    while (w >= 100) {
        p -= 2;
        writePair(p, w % 100);
        w /= 100;
    }
    if (w >= 10) {
        writePair(p - 2, w);
    } else {
        p[-1] = static_cast<char>('0' + w);
    }
}

}  // namespace

// The digits come from {fmt}'s Dragonbox, which finds the same shortest, nearest digits as the
// standard library's Ryu in about a third of the time; the text is then laid out here. Values
// where the plain form could differ from "digits, then zeros" (at 2^53 and above, where a whole
// number's exact digits may be the nearest text of its length) and the rare ones (zero,
// subnormal, infinite, NaN) are left to std::to_chars.
char* writeShortest(char* out, double value) {
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 0x1p-1022 && magnitude < 0x1p53)) {
        return std::to_chars(out, out + kShortestTextRoom, value).ptr;
    }
    const auto decimal = fmt::detail::dragonbox::to_decimal(magnitude);
    const int n = digitCount(decimal.significand);
    const int exponent = decimal.exponent + n - 1;  // value = d.ddd * 10^exponent
    if (value < 0) {
        *out++ = '-';
    }
    // The lengths of both forms without the sign: "d.ddde-07", and "0.000000ddd", "ddd000" or
    // "ddd.ddd".
    const int absExponent = exponent < 0 ? -exponent : exponent;
    const int scientificLength = n + (n > 1 ? 1 : 0) + 2 + (absExponent >= 100 ? 3 : 2);
    int plainLength = 0;
    if (exponent < 0) {
        plainLength = 1 + 1 + (-exponent - 1) + n;
    } else if (exponent >= n - 1) {
        plainLength = exponent + 1;
    } else {
        plainLength = n + 1;
    }
    if (plainLength <= scientificLength) {
        if (exponent < 0) {
            *out++ = '0';
            *out++ = '.';
            for (int i = 0; i < -exponent - 1; ++i) {
                *out++ = '0';
            }
            writeDigits(out, decimal.significand, n);
            return out + n;
        }
        if (exponent >= n - 1) {
            writeDigits(out, decimal.significand, n);
            for (int i = n; i <= exponent; ++i) {
                out[i] = '0';
            }
            return out + exponent + 1;
        }
        // The digits one place on, then the integer digits moved back before the point.
        writeDigits(out + 1, decimal.significand, n);
        for (int i = 0; i <= exponent; ++i) {
            out[i] = out[i + 1];
        }
        out[exponent + 1] = '.';
        return out + n + 1;
    }
    writeDigits(out + 1, decimal.significand, n);
    out[0] = out[1];
    if (n > 1) {
        out[1] = '.';
        out += n + 1;
    } else {
        out += 1;
    }
    *out++ = 'e';
    *out++ = exponent < 0 ? '-' : '+';
    if (absExponent >= 100) {
        *out++ = static_cast<char>('0' + absExponent / 100);
    }
    const auto pair = static_cast<std::size_t>(absExponent % 100) * 2;
    *out++ = kDigitPairs[pair];
    *out++ = kDigitPairs[pair + 1];
    return out;
}

}  // namespace bx
