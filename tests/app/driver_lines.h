// SPDX-License-Identifier: MIT
#pragma once
// Status lines and message texts of an analysis run, shared by the driver tests.

#include <string>
#include <vector>

namespace bx::test {

using Lines = std::vector<std::string>;

inline constexpr const char* kExecuting = "*** Executing Stats ...";
inline constexpr const char* kComplete = "*** Stats complete.";
inline constexpr const char* kShapiro = "     Conducting Shapiro-Wilk Normality Test...";
inline constexpr const char* kLevene = "     Conducting Levene's Homoscedasticity Test";
inline constexpr const char* kStudent = "     Conducting Student's t-Test";
inline constexpr const char* kApprox = "     Conducting Approximate t-Test";
inline constexpr const char* kMannWhitney = "     Conducting Mann-Whitney";
inline constexpr const char* kRankits = "     Conducting Rankits Transformation";
inline constexpr const char* kOneSample = "     Conducting One Sample t-Test";
inline constexpr const char* kPower = "     Conducting Power Calculation";

}  // namespace bx::test
