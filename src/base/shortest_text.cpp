// SPDX-License-Identifier: MIT
#include "base/shortest_text.h"

#include <array>
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

// Writes the n digits of v (n at most 20) at out: 24 places are laid out eight at a time, and
// the last n copied.
void writeDigits(char* out, std::uint64_t v, int n) {
    static_assert(std::endian::native == std::endian::little);
    std::array<std::uint64_t, 3> words{};
    words[2] = eightDigits(static_cast<std::uint32_t>(v % 100000000));
    if (n > 8) {
        v /= 100000000;
        words[1] = eightDigits(static_cast<std::uint32_t>(v % 100000000));
        if (n > 16) {
            words[0] = eightDigits(static_cast<std::uint32_t>(v / 100000000));
        }
    }
    std::array<char, sizeof(words)> text;  // NOLINT(cppcoreguidelines-pro-type-member-init)
    std::memcpy(text.data(), words.data(), sizeof(words));
    // The last n places, in two fixed-size copies that overlap where n is not their sum (a copy
    // of a length known only at run time would be a library call).
    const char* from = text.data() + text.size() - n;
    if (n >= 16) {
        std::memcpy(out, from, 16);
        std::memcpy(out + n - 8, from + n - 8, 8);
    } else if (n >= 8) {
        std::memcpy(out, from, 8);
        std::memcpy(out + n - 8, from + n - 8, 8);
    } else if (n >= 4) {
        std::memcpy(out, from, 4);
        std::memcpy(out + n - 4, from + n - 4, 4);
    } else {
        for (int i = 0; i < n; ++i) {
            out[i] = from[i];
        }
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
