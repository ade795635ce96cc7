// SPDX-License-Identifier: MIT
#pragma once
// Help > Validate Installation...: the installation's validation, written as a report the user
// names (PDF or HTML) and opened, with its summary in a message box.

#include <string>

namespace bx {

class MainWindow;

// `libraries`: the window's own libraries for the report ("Qt 6.4.2").
void mnuHelpValidate_Click(MainWindow& w, const std::string& libraries);

}  // namespace bx
