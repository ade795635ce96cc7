// SPDX-License-Identifier: MIT
#pragma once
// File > "&Save As..." and "&Load From...": the entered data of one comparison in a sample
// data file.

#include <string>

namespace bx {

class MainWindow;

// File > "&Save As...".
void mnuSaveAs_Click(MainWindow& w);

// File > "&Load From...".
void mnuLoadFrom_Click(MainWindow& w);

// Loads the sample data file `fileName` of `folder` into the window, as File > "&Load From..."
// does after its dialog (the window's drag-and-drop). The file is read and checked completely
// before anything in the window changes: a file that is not a sample data file, that has
// fewer than ten rows, replicate counts other than whole numbers from 0 to 10, or transformed
// values that are not finite numbers leaves the window's data as they were and says why in
// the status list.
void loadSampleFile(MainWindow& w, const std::string& folder, const std::string& fileName);

}  // namespace bx
