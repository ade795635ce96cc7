#pragma once
// Helpers of the report tests: entering replicates and reading a report back.

#include <filesystem>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "support/test_support.h"

namespace bx::test {

// Types the replicates into the Data columns of both grids.
void enterReplicates(MainWindow& w, const std::vector<std::string>& test,
                     const std::vector<std::string>& reference);

// The lines of a CR LF text without their line ends. Fails the current test when a line ends
// otherwise or the text does not end with CR LF.
std::vector<std::string> crlfLines(const std::string& text);

}  // namespace bx::test
