// SPDX-License-Identifier: MIT
#pragma once
// SHA-256 (FIPS 180-4) of a byte string, as 64 lower-case hexadecimal digits: the checksum the
// table manifest records. Written here rather than taken from a crypto library because the
// program needs nothing else of one, and the function is short and fixed by its standard.

#include <cstdint>
#include <string>
#include <string_view>

namespace bx {

class Sha256 {
  public:
    Sha256();
    void update(std::string_view bytes);
    // The digest of everything given, as hexadecimal digits; the object is spent afterwards.
    std::string hexDigest();

  private:
    void block(const unsigned char* data);

    std::uint32_t state_[8];
    unsigned char buffer_[64];
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0;  // bytes given so far
};

std::string sha256Hex(std::string_view bytes);

}  // namespace bx
