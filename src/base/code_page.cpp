// SPDX-License-Identifier: MIT
#include "base/code_page.h"

#include <cstring>

namespace bx {

void appendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::uint32_t windows1252Character(unsigned char b) {
    static constexpr std::uint16_t k80To9F[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    return b >= 0x80 && b < 0xA0 ? k80To9F[b - 0x80] : b;
}

int utf8Length(const unsigned char* p, std::size_t n) {
    const unsigned char b = p[0];
    if (b < 0x80) {
        return 1;
    }
    int length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        low = b == 0xE0 ? 0xA0 : 0x80;
        high = b == 0xED ? 0x9F : 0xBF;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        low = b == 0xF0 ? 0x90 : 0x80;
        high = b == 0xF4 ? 0x8F : 0xBF;
    } else {
        return -1;
    }
    for (int i = 1; i < length; ++i) {
        if (static_cast<std::size_t>(i) == n) {
            return 0;
        }
        const unsigned char c = p[i];
        if (c < (i == 1 ? low : 0x80) || c > (i == 1 ? high : 0xBF)) {
            return -1;
        }
    }
    return length;
}

std::size_t validUtf8(std::string_view text, bool& beyondAscii) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        // Eight ASCII bytes at a time.
        if (i + 8 <= n) {
            std::uint64_t word = 0;
            std::memcpy(&word, p + i, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                i += 8;
                continue;
            }
        }
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        const int length = utf8Length(p + i, n - i);
        if (length <= 0) {
            return i;
        }
        beyondAscii = true;
        i += static_cast<std::size_t>(length);
    }
    return n;
}

std::string windows1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        appendUtf8(out, windows1252Character(static_cast<unsigned char>(c)));
    }
    return out;
}

bool utf8ToWindows1252(std::string_view text, std::string& out, std::string& missing) {
    out.clear();
    missing.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    bool complete = true;
    for (std::size_t i = 0; i < n;) {
        if (p[i] < 0x80) {
            out += static_cast<char>(p[i++]);
            continue;
        }
        const int length = utf8Length(p + i, n - i);
        if (length <= 0) {
            // Not UTF-8 at all: said as the byte it is.
            complete = false;
            static constexpr char kHex[] = "0123456789ABCDEF";
            const std::string named = std::string("byte 0x") + kHex[p[i] >> 4] + kHex[p[i] & 15];
            if (missing.find(named) == std::string::npos) {
                missing += (missing.empty() ? "" : ", ") + named;
            }
            ++i;
            continue;
        }
        std::uint32_t c = p[i] & (0xFFU >> (length + 1));
        for (int k = 1; k < length; ++k) {
            c = (c << 6) | (p[i + static_cast<std::size_t>(k)] & 0x3FU);
        }
        const std::string_view character(text.data() + i, static_cast<std::size_t>(length));
        i += static_cast<std::size_t>(length);
        // Latin-1 supplement maps to itself; 0x80-0x9F are the code page's own characters.
        int byte = -1;
        if (c >= 0xA0 && c <= 0xFF) {
            byte = static_cast<int>(c);
        } else {
            for (int b = 0x80; b < 0xA0; ++b) {
                if (windows1252Character(static_cast<unsigned char>(b)) == c) {
                    byte = b;
                    break;
                }
            }
        }
        if (byte >= 0) {
            out += static_cast<char>(byte);
            continue;
        }
        complete = false;
        if (missing.find(character) == std::string::npos) {
            missing += (missing.empty() ? "" : ", ") + std::string(character);
        }
    }
    return complete;
}

}  // namespace bx
