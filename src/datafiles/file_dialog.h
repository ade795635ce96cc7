#pragma once
// The program's file-selection dialog as its callers use it: a purpose picks the folder that
// is offered and remembered, the typed name is turned into a short, safe file name with the
// purpose's extension, and the outcome lands in ChosenFileName, ChosenFolder, ChosenDrive and
// ChosenPath of the window state. The dialog never opens or creates the file itself.

#include <string>
#include <string_view>

namespace bx {

class MainWindow;
struct WindowState;

inline constexpr const char* kPurposeSave = "save";
inline constexpr const char* kPurposeLoad = "load";
inline constexpr const char* kPurposeDetailLog = "detail log";
inline constexpr const char* kPurposeSummaryLog = "summary log";
inline constexpr const char* kPurposeReport = "report";

// What ChosenFileName holds after Cancel.
inline constexpr const char* kUserCancelled = "UserCancelled";

inline constexpr const char* kTruncationMessage =
    "Filename must be 8 characters or fewer - the filename you entered will be truncated.";

struct FixedFileName {
    std::string name;        // the cleaned name with its extension, e.g. "myfile.dbf"
    bool truncated = false;  // the entry was cut to 8 characters (the caller tells the user)
};

// A table name: at most 8 characters before ".dbf". Whatever extension was typed is dropped,
// blanks and the characters  !@#$%^&*()+=?|{}[]<>,:;~/\  are removed, and a base that shrinks
// to one character or none while being cleaned becomes "Log". An empty entry gives ".dbf".
FixedFileName fixDbfName(std::string_view entry);

// A report name: the same cleaning without the length limit, "Report" for a base that shrinks
// to one character or none, and ".csv". Never truncated.
FixedFileName fixCSVName(std::string_view entry);

// The folder the dialog offers for `purpose` (one of the kPurpose texts); any other purpose
// gets the scratch folder.
std::string purposeFolder(const WindowState& ui, std::string_view purpose);

// Shows the dialog for w.ui.fileDialogPurpose with `caption` and fills the four Chosen values.
// Cancel sets ChosenFileName to "UserCancelled" and changes nothing else. OK cleans the entry
// (showing the truncation message when the name is cut), sets ChosenFileName, ChosenFolder,
// ChosenDrive and ChosenPath, and remembers the folder for the purpose (the report folder with
// a trailing "/").
void showFileDialog(MainWindow& w, const std::string& caption);

// True when `path` is one of the tables installed in the program folder (the statistical
// tables, the four templates and the report table): a sample file or a log written there would
// destroy what every later run relies on.
bool isProgramTable(const MainWindow& w, const std::string& path);

// True when ChosenFileName names no file: empty, or the bare extension (".dbf" or ".csv").
bool chosenNameIsEmpty(std::string_view chosenFileName, std::string_view extension);

}  // namespace bx
