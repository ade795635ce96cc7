// SPDX-License-Identifier: MIT
#pragma once
// The program's file-selection dialog as the window's commands use it: a purpose picks the
// folder that is offered and remembered, the typed name is cleaned (see file_names.h), and the
// outcome lands in ChosenFileName, ChosenFolder, ChosenDrive and ChosenPath of the window
// state. The dialog never opens or creates the file itself.

#include <string>
#include <string_view>
#include <vector>

#include "app/desktop.h"
#include "datafiles/file_names.h"

namespace bx {

class MainWindow;
struct WindowState;

// The folder the dialog offers for `purpose` (one of the kPurpose texts); any other purpose
// gets the scratch folder.
std::string purposeFolder(const WindowState& ui, std::string_view purpose);

// Shows the dialog for w.ui.fileDialogPurpose with `caption` (checking the answer with
// fileChoiceProblem) and fills the four Chosen values.
// Cancel sets ChosenFileName to "UserCancelled" and changes nothing else. OK cleans the entry
// (showing the truncation message when the name is cut), sets ChosenFileName, ChosenFolder,
// ChosenDrive and ChosenPath, and remembers the folder for the purpose (the report folder with
// a trailing "/").
void showFileDialog(MainWindow& w, const std::string& caption);

// Why the dialog's answer cannot serve `purpose`, or "" when it can: the folder must exist; a
// file to load must exist under the name the answer turns into; any other purpose writes, and
// the folder must allow it. The dialog shows the reason and stays open.
std::string fileChoiceProblem(std::string_view purpose, const FileDialogAnswer& answer);

// True when `path` is one of the tables installed in the program folder (the statistical
// tables, the four templates and the report table): a sample file or a log written there would
// destroy what every later run relies on.
bool isProgramTable(const MainWindow& w, const std::string& path);

// The answer with a typed path taken apart: an entry holding a "/" names its folder (absolute,
// or below the folder shown) and only its last part is the name.
FileDialogAnswer splitTypedPath(const FileDialogAnswer& answer);

// On screen, asks before any of `paths` that exists is replaced, "No" being the default; true
// when none exists or the user answered Yes. Off screen (the command-line tool, which has its
// own --force) it is always true.
bool confirmReplace(MainWindow& w, const std::string& title, const std::vector<std::string>& paths);

}  // namespace bx
