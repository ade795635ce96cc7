// SPDX-License-Identifier: MIT
#include "base/shortest_text.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

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

// The eight decimal digits of x < 10^8, leading zeros included, as ASCII in one 64-bit word
// whose lowest byte is the first digit (in memory order on a little-endian machine). The halves
// are split by 10^4, then each lane by 100 and by 10 at once, each division done as a
// multiplication and shift that is exact for the lane's range (x / 100 = x * 10486 >> 20 below
// 10^4, x / 10 = x * 103 >> 10 below 100) and never carries into the next lane.
std::uint64_t eightDigits(std::uint32_t x) {
    const std::uint64_t halves = (x / 10000) | (static_cast<std::uint64_t>(x % 10000) << 32);
    const std::uint64_t hundreds = ((halves * 10486) >> 20) & 0x0000007F0000007FULL;
    const std::uint64_t quarters = hundreds | ((halves - (hundreds * 100)) << 16);
    const std::uint64_t tens = ((quarters * 103) >> 10) & 0x000F000F000F000FULL;
    const std::uint64_t digits = tens | ((quarters - (tens * 10)) << 8);
    return digits + 0x3030303030303030ULL;
}

// Writes the n digits of v (n at most 20) at out, whole 64-bit words at a time: the first
// word's digits are moved to its low bytes, and a later word overwrites what an earlier one
// wrote beyond its digits. With fewer than 8 digits, up to 8 - n bytes after them are written
// too (the room writeShortest() asks for holds them). Whole-word stores also keep the processor
// from reading back bytes of two stores at once, which it cannot forward.
void writeDigits(char* out, std::uint64_t v, int n) {
    static_assert(std::endian::native == std::endian::little);
    const auto store = [](char* at, std::uint64_t word) { std::memcpy(at, &word, sizeof(word)); };
    const auto lastDigits = [](std::uint64_t word, int count) {
        return word >> (8 * (8 - count));  // the first digit is the lowest byte
    };
    if (n <= 8) {
        store(out, lastDigits(eightDigits(static_cast<std::uint32_t>(v)), n));
        return;
    }
    const std::uint64_t low = eightDigits(static_cast<std::uint32_t>(v % 100000000));
    v /= 100000000;
    if (n <= 16) {
        store(out, lastDigits(eightDigits(static_cast<std::uint32_t>(v)), n - 8));
    } else {
        store(out, lastDigits(eightDigits(static_cast<std::uint32_t>(v / 100000000)), n - 16));
        store(out + n - 16, eightDigits(static_cast<std::uint32_t>(v % 100000000)));
    }
    store(out + n - 8, low);
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
