// SPDX-License-Identifier: MIT
#pragma once
// Start-up of the main window, leaving it, and the Help menu.

#include <string>

namespace bx {

class MainWindow;

// Form_Load: the scratch folder, the working folders, the grids' layout, the option defaults,
// the pictures and the hidden power fields. Runs once, before the window is shown. Temporary
// files that killed runs left in the program's folders are removed. When the statistical
// tables are missing or damaged it says so (a message box and the status list) and switches
// Execute and Report off.
void Form_Load(MainWindow& w);

// Removes, once per window and folder, the temporary files that runs of this program killed
// while writing left in `folder` (tables/temp_files.h).
void removeLeftoverFiles(MainWindow& w, const std::string& folder);

// Help > "Version Info" and Help > "About".
void mnuHelpVersion_Click(MainWindow& w);
void mnuHelpAbout_Click(MainWindow& w);

}  // namespace bx
