#pragma once
// One comparison of a survey opened in the window: the entries and choices put in as a user
// would put them, then Execute Statistics, so that every panel shows that comparison.

#include <string>

#include "survey/plan.h"
#include "survey/survey.h"

namespace bx {

class MainWindow;

// Clears the entries, puts the station's values into x1 and the reference's into x2 (their ids
// and the project's name into their fields), sets the choices of `settings`, and executes. The
// entries count as loaded (from the survey). Entries changed since they were last saved are
// asked about first, as Clear All asks; false when the user keeps them (nothing changes).
bool openSurveyComparison(MainWindow& w, const SurveySample& test, const SurveySample& reference,
                          const ComparisonSettings& settings, const std::string& project);

}  // namespace bx
