// SPDX-License-Identifier: MIT
#pragma once
// Debian's Emscripten (3.1.6) builds with libc++ 13, which lacks four C++20 pieces the core
// uses: std::bit_cast, the floating-point std::to_chars and std::from_chars, and std::jthread;
// and its C library has no renameat2(). This header, given to every source of the browser
// build with -include, supplies them with their documented meaning (renameat2 as a kernel
// without it answers, which the callers handle); with a newer libc++ it adds nothing. The shortest
// round-trip digits come from {fmt}'s Dragonbox (Debian's libfmt-dev, header-only here), the
// fixed-precision forms from the C library's printf, which rounds correctly.

#include <charconv>
#include <cstdio>
#include <iterator>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>
#include <thread>
#include <type_traits>
#include <utility>

#include <cerrno>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
inline int renameat2(int, const char*, int, const char*, unsigned int) {
    errno = ENOSYS;
    return -1;
}
#endif

#if defined(_LIBCPP_VERSION) && _LIBCPP_VERSION < 14000

#define FMT_HEADER_ONLY
#include <fmt/format.h>

namespace std {

template <class To, class From>
constexpr To bit_cast(const From& from) noexcept {
    static_assert(sizeof(To) == sizeof(From));
    return __builtin_bit_cast(To, from);
}

namespace bx_compat {

// The shortest decimal digits that read back as `value` (> 0, finite) and the exponent of the
// first of them: value = d.ddd × 10^exponent.
struct ShortestDigits {
    std::string digits;
    int exponent = 0;
};

inline ShortestDigits shortestDigits(double value) {
    const auto decimal = fmt::detail::dragonbox::to_decimal(value);
    ShortestDigits out;
    out.digits = std::to_string(decimal.significand);
    out.exponent = decimal.exponent + static_cast<int>(out.digits.size()) - 1;
    return out;
}

inline std::string scientificText(const ShortestDigits& d) {
    std::string text(1, d.digits[0]);
    if (d.digits.size() > 1) {
        text += '.';
        text.append(d.digits, 1, std::string::npos);
    }
    text += d.exponent < 0 ? "e-" : "e+";
    const int magnitude = d.exponent < 0 ? -d.exponent : d.exponent;
    if (magnitude < 10) {
        text += '0';
    }
    text += std::to_string(magnitude);
    return text;
}

inline std::string fixedText(const ShortestDigits& d) {
    const int n = static_cast<int>(d.digits.size());
    if (d.exponent < 0) {
        return "0." + std::string(static_cast<std::size_t>(-d.exponent - 1), '0') + d.digits;
    }
    if (n <= d.exponent + 1) {
        return d.digits + std::string(static_cast<std::size_t>(d.exponent + 1 - n), '0');
    }
    const auto point = static_cast<std::size_t>(d.exponent + 1);
    return d.digits.substr(0, point) + "." + d.digits.substr(point);
}

inline to_chars_result put(char* first, char* last, const std::string& text) {
    if (static_cast<std::size_t>(last - first) < text.size()) {
        return {last, errc::value_too_large};
    }
    std::memcpy(first, text.data(), text.size());
    return {first + text.size(), errc{}};
}

// Infinity, NaN and zero as printf writes them; nullptr for other values.
inline const char* specialText(double value) {
    if (value != value) {
        return __builtin_signbit(value) ? "-nan" : "nan";
    }
    if (value == __builtin_inf()) {
        return "inf";
    }
    if (value == -__builtin_inf()) {
        return "-inf";
    }
    return nullptr;
}

inline to_chars_result shortest(char* first, char* last, double value, bool scientificOnly) {
    if (const char* special = specialText(value)) {
        return put(first, last, special);
    }
    const std::string sign = __builtin_signbit(value) ? "-" : "";
    if (value == 0.0) {
        return put(first, last, sign + (scientificOnly ? "0e+00" : "0"));
    }
    const ShortestDigits d = shortestDigits(value < 0 ? -value : value);
    const std::string scientific = scientificText(d);
    if (scientificOnly) {
        return put(first, last, sign + scientific);
    }
    const std::string fixed = fixedText(d);
    // The shorter of the two; fixed on a tie.
    return put(first, last, sign + (fixed.size() <= scientific.size() ? fixed : scientific));
}

// printf's %.*e, %.*f or %.*g, correctly rounded. {fmt} rather than the C library's printf,
// which works in long double: software 128-bit arithmetic in WebAssembly, a hundred times
// slower.
inline to_chars_result printed(char* first, char* last, double value, chars_format format,
                               int precision) {
    fmt::memory_buffer out;
    if (format == chars_format::scientific) {
        fmt::format_to(std::back_inserter(out), "{:.{}e}", value, precision);
    } else if (format == chars_format::fixed) {
        fmt::format_to(std::back_inserter(out), "{:.{}f}", value, precision);
    } else if (format == chars_format::hex) {
        fmt::format_to(std::back_inserter(out), "{:.{}a}", value, precision);
    } else {
        fmt::format_to(std::back_inserter(out), "{:.{}g}", value, precision);
    }
    return put(first, last, std::string(out.data(), out.size()));
}

inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace bx_compat

inline to_chars_result to_chars(char* first, char* last, double value) {
    return bx_compat::shortest(first, last, value, false);
}

inline to_chars_result to_chars(char* first, char* last, double value, chars_format format) {
    if (format == chars_format::scientific) {
        return bx_compat::shortest(first, last, value, true);
    }
    if (format == chars_format::fixed) {
        if (const char* special = bx_compat::specialText(value)) {
            return bx_compat::put(first, last, special);
        }
        const std::string sign = __builtin_signbit(value) ? "-" : "";
        if (value == 0.0) {
            return bx_compat::put(first, last, sign + "0");
        }
        return bx_compat::put(
            first, last,
            sign + bx_compat::fixedText(bx_compat::shortestDigits(value < 0 ? -value : value)));
    }
    // The shortest general form is not used by the core.
    return {last, errc::invalid_argument};
}

inline to_chars_result to_chars(char* first, char* last, double value, chars_format format,
                                int precision) {
    return bx_compat::printed(first, last, value, format, precision);
}

// A decimal number (digits, an optional fraction, an optional exponent; a leading "-" but no
// "+"), "inf", "infinity" or "nan" in any letter case, read as strtod reads it.
inline from_chars_result from_chars(const char* first, const char* last, double& value,
                                    chars_format = chars_format::general) {
    const char* p = first;
    if (p != last && *p == '-') {
        ++p;
    }
    const char* const body = p;
    auto matches = [&](const char* word) {
        const std::size_t n = std::strlen(word);
        if (static_cast<std::size_t>(last - p) < n) {
            return false;
        }
        for (std::size_t i = 0; i < n; ++i) {
            const char c = p[i];
            if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != word[i]) {
                return false;
            }
        }
        return true;
    };
    const char* end = nullptr;
    if (matches("infinity")) {
        end = p + 8;
    } else if (matches("inf") || matches("nan")) {
        end = p + 3;
    } else {
        bool digits = false;
        while (p != last && bx_compat::isDigit(*p)) {
            ++p;
            digits = true;
        }
        if (p != last && *p == '.') {
            ++p;
            while (p != last && bx_compat::isDigit(*p)) {
                ++p;
                digits = true;
            }
        }
        if (!digits) {
            return {first, errc::invalid_argument};
        }
        if (p != last && (*p == 'e' || *p == 'E')) {
            const char* e = p + 1;
            if (e != last && (*e == '+' || *e == '-')) {
                ++e;
            }
            if (e != last && bx_compat::isDigit(*e)) {
                while (e != last && bx_compat::isDigit(*e)) {
                    ++e;
                }
                p = e;
            }
        }
        end = p;
    }
    (void)body;
    const std::string text(first, end);
    char* parsedEnd = nullptr;
    const double parsed = std::strtod(text.c_str(), &parsedEnd);
    if (parsed == __builtin_inf() || parsed == -__builtin_inf()) {
        if (!matches("inf")) {
            return {end, errc::result_out_of_range};
        }
    }
    value = parsed;
    return {end, errc{}};
}

// A thread that is joined when it is destroyed; no stop token.
class jthread {
  public:
    jthread() noexcept = default;
    template <class F, class... Args>
    explicit jthread(F&& f, Args&&... args)
        : thread_(std::forward<F>(f), std::forward<Args>(args)...) {}
    jthread(jthread&&) noexcept = default;
    jthread& operator=(jthread&& other) noexcept {
        if (thread_.joinable()) {
            thread_.join();
        }
        thread_ = std::move(other.thread_);
        return *this;
    }
    ~jthread() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    bool joinable() const noexcept { return thread_.joinable(); }
    void join() { thread_.join(); }

  private:
    std::thread thread_;
};

}  // namespace std

#endif
