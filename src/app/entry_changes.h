// SPDX-License-Identifier: MIT
#pragma once
// How the window follows changes of its entries. Results and Transform columns that no longer
// match the entries they came from are marked stale (the window greys them, one status line
// says so) until the next run; nothing is blanked, so the previous run can still be read.
// Entries changed since they were last saved or loaded are asked about before Exit or a Clear
// throws them away. The power box names the transformed scale while a transformation is chosen.

#include <string>

namespace bx {

class MainWindow;
struct WindowState;
struct SampleEntries;
struct RunInputs;

inline constexpr const char* kStaleResultsLine =
    "Entries changed: results are from the previous run";

// The entries and the run inputs as the window holds them now.
SampleEntries sampleEntries(const WindowState& ui);
RunInputs runInputs(const WindowState& ui);

// The results on show now come from the entries as they stand (after a completed run).
void noteResultsShown(WindowState& ui);
// The Transform columns now come from the entries as they stand.
void noteTransformsShown(WindowState& ui);
// The results and the Transform columns were blanked: nothing to go stale.
void noteResultsBlank(WindowState& ui);
// The entries as they stand were saved to or loaded from `path`.
void noteEntriesSaved(WindowState& ui, const std::string& path);

// Run by the window after every user action: marks the results and the Transform columns
// stale when the entries they came from have changed (posting kStaleResultsLine once until the
// next run) and sets the power box's caption for the transformation.
void afterUserAction(MainWindow& w);

// The entries a command would throw away: the test sample's (ID, alias, Data column), the
// reference's, or all of them with the project name.
enum class EntryPart { Test, Reference, All };

// True when that part holds something and differs from what was last saved or loaded.
bool hasUnsavedEntries(const WindowState& ui, EntryPart part);

// Before a command throws away `part`: true to go on. Asks `question` (with "Don't ask again")
// only when the part has unsaved entries and the user has not switched the question off.
bool confirmDiscard(MainWindow& w, EntryPart part, const std::string& title,
                    const std::string& question);

}  // namespace bx
