#pragma once
// Start-up of the main window, leaving it, and the Help menu.

namespace bx {

class MainWindow;

// Form_Load: the scratch folder, the working folders, the grids' layout, the option defaults,
// the pictures and the hidden power fields. Runs once, before the window is shown.
void Form_Load(MainWindow& w);

// Help > "Version Info" and Help > "About".
void mnuHelpVersion_Click(MainWindow& w);
void mnuHelpAbout_Click(MainWindow& w);

}  // namespace bx
