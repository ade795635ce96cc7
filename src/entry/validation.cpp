#include "entry/validation.h"

#include <cmath>
#include <string>

#include "analysis/analysis_state.h"
#include "analysis/descriptive.h"
#include "analysis/summary_stats.h"
#include "analysis/transformations.h"
#include "app/main_window.h"
#include "app/text_format.h"
#include "entry/grid_events.h"

namespace bx {
namespace {

bool isOneOf(const std::string& text, std::initializer_list<const char*> entries) {
    for (const char* e : entries) {
        if (text == e) {
            return true;
        }
    }
    return false;
}

bool validHypothesisPair(const WindowState& ui) {
    return (ui.cbHypoAlt.text == "x1 > x2" && ui.cbHypoNull.text == "x1 <= x2") ||
           (ui.cbHypoAlt.text == "x1 < x2" && ui.cbHypoNull.text == "x1 >= x2");
}

const char* sampleName(int sample) {
    return sample == 1 ? "Test sample (x1)" : "Reference sample (x2)";
}

std::string domainRule(const std::string& method) {
    if (method == "Log10 (x + 1.0)") {
        return "values must be above -1";
    }
    return "values must be at least -0.375";
}

// Values that no statistic may be computed from: not finite, or outside the domain of the
// chosen transformation. Posts the reason and returns false at the first such value.
bool valuesUsable(MainWindow& w, const ValueArray& values, int sample) {
    const int n = static_cast<int>(CountValues(values));
    const std::string& method = w.ui.cbTransMethod.text;
    for (int row = 1; row <= n; ++row) {
        const std::string text = slotText(values[row]);
        const double x = slotValue(values[row]);
        if (!std::isfinite(x)) {
            w.postStatus(std::string(sampleName(sample)) + ", row " + std::to_string(row) + ": \"" +
                         text + "\" is not a finite number. Data NOT analysed.");
            return false;
        }
        if (!inTransformDomain(method.c_str(), x)) {
            std::string line = std::string(sampleName(sample)) + ", row " + std::to_string(row);
            line.append(": ").append(text).append(" cannot be transformed by \"");
            line.append(method).append("\" (").append(domainRule(method));
            line.append("). Data NOT analysed.");
            w.postStatus(line);
            return false;
        }
    }
    return true;
}

// A replicate whose text is not wholly a number is read by its leading number; say so.
void warnAboutPartialNumbers(MainWindow& w, const ValueArray& values, int sample) {
    const int n = static_cast<int>(CountValues(values));
    for (int row = 1; row <= n; ++row) {
        const std::string text = slotText(values[row]);
        const LeadingNumber parsed = parseLeadingNumber(text);
        if (!parsed.wholeText) {
            w.postStatus("     Warning: " + std::string(sampleName(sample)) + ", row " +
                         std::to_string(row) + ": \"" + text +
                         "\" is not wholly a number; it is read as " + numberToText(parsed.value) +
                         ".");
        }
    }
}

}  // namespace

bool chkData(const ValueArray& values) {
    return CountValues(values) >= 3;
}

bool chkBalance(const AnalysisState& a) {
    const double n1 = a.SampN;
    const double n2 = a.RefN;
    if (n1 > n2) {
        return 2 * n2 > n1;
    }
    return 2 * n1 > n2;
}

bool ChkEntry(MainWindow& w) {
    WindowState& ui = w.ui;
    AnalysisState& a = w.analysis;
    GridToArray(ui.Grid1, a.SampRaw);
    GridToArray(ui.Grid2, a.RefRaw);

    if (!chkData(a.SampRaw)) {
        w.postStatus("Sample Data entry incomplete.");
        return false;
    }
    if (ui.cbTransMethod.text.empty()) {
        ui.cbTransMethod.text = "No Transformation";
    }
    const bool referenceOk = chkData(a.RefRaw) || (ui.OneSampleOn && CountValues(a.RefRaw) >= 1);
    if (!referenceOk) {
        w.postStatus("Reference Data entry incomplete.");
        w.desktop().messageBox(kAppTitle,
                               "At least three reference values must be entered.  For a "
                               "one-sample t-test, enter the same value three times.",
                               MessageIcon::Information, MessageButtons::Ok);
        return false;
    }
    if (!isOneOf(ui.cbTransMethod.text,
                 {"No Transformation", "Log10 (x + 1.0)", "Sqr Root (x + .375)", "ArcSin"})) {
        w.postStatus("No Transformation Method Selected!");
        return false;
    }
    if (!isOneOf(ui.cbAlphaLevel.text, {"0.1", "0.05"})) {
        w.postStatus("Invalid Alpha Level Selected!");
        return false;
    }
    if (!validHypothesisPair(ui)) {
        w.postStatus("Invalid Experimental Hypothesis Selected!");
        return false;
    }
    if (!valuesUsable(w, a.SampRaw, 1) || !valuesUsable(w, a.RefRaw, 2)) {
        return false;
    }
    warnAboutPartialNumbers(w, a.SampRaw, 1);
    warnAboutPartialNumbers(w, a.RefRaw, 2);
    return true;
}

void TransformEntries(MainWindow& w, bool showMessage) {
    if (!ChkEntry(w)) {
        return;
    }
    AnalysisState& a = w.analysis;
    Transform(w, a.SampRaw, a.SampTrans, w.ui.Grid1);
    Transform(w, a.RefRaw, a.RefTrans, w.ui.Grid2);
    if (showMessage) {
        w.postStatus("Transformation Complete");
    }
}

void mnuTransform_Click(MainWindow& w) {
    TransformEntries(w, true);
}

}  // namespace bx
