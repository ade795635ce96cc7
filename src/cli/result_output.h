// SPDX-License-Identifier: MIT
#pragma once
// What `analyze` prints: the window's panels, pictures and status list, read back from the
// display fields exactly as the window shows them.

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace bx {
struct WindowState;
}

namespace bx::cli {

// The status list split at CR LF; the first line of a list that was posted to is "".
std::vector<std::string> statusLines(const std::string& status);

// The JSON object of the panels: status, the two treatments, normality, homoscedasticity,
// hypothesis, pictures and the Transform columns of both grids.
nlohmann::ordered_json resultJson(const WindowState& ui);

// The same with the typed "result" object added, serialised with two-space indentation and a
// final line end. Bytes that are not UTF-8 (a typed cell text, say) are replaced rather than
// refused.
std::string resultJsonText(const WindowState& ui, nlohmann::ordered_json result);

// A readable layout of the panels and the status list: one "label value" line per shown
// field, a heading with the picture per panel.
std::string readableResults(const WindowState& ui);

}  // namespace bx::cli
