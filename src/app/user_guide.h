// SPDX-License-Identifier: MIT
#pragma once
// Help > "User Guide" (F1): the guide shown by the desktop (the window's help window) at the
// topic of the panel that has the focus.

#include <string>

namespace bx {

class MainWindow;

// The guide's file: guide.md in the program folder (where a build puts docs/guide.md), or the
// installed copy in share/doc/benthix beside or above the program folder; "" when there is none.
std::string userGuidePath(const std::string& programFolder);

// Shows the guide at WindowState::helpTopic; says so in a message box when there is none or no
// program opened it.
void mnuHelpGuide_Click(MainWindow& w);

}  // namespace bx
