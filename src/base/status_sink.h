// SPDX-License-Identifier: MIT
#pragma once
#include <string_view>

namespace bx {

// Where status lines go: the window's status list, or a collector in a test.
class StatusSink {
  public:
    virtual ~StatusSink() = default;
    virtual void postStatus(std::string_view line) = 0;
};

}  // namespace bx
