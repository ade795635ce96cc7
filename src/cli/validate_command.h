// SPDX-License-Identifier: MIT
#pragma once
// `benthix-cli validate`: the installation and operational qualification of this copy,
// printed, and written as a dated document with --report.

#include <optional>
#include <ostream>
#include <string>

#include "base/paths.h"

namespace bx::cli {

struct ValidateRequest {
    std::optional<std::string> report;  // .html or .pdf
    bool force = false;                 // replace an existing report
};

// Prints the validation on `out`. Returns kExitRan when every check passed and the report (if
// asked for) was written, kExitRefused when a check failed or the report could not be written,
// kExitUsage for a report name that is neither .html nor .pdf or that exists without --force.
int runValidate(const ValidateRequest& request, const StartupFolders& folders, std::ostream& out,
                std::ostream& err);

}  // namespace bx::cli
