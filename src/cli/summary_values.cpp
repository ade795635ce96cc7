#include "cli/summary_values.h"

#include "app/text_format.h"
#include "app/window_state.h"

namespace bx::cli {
namespace {

// A displayed number as the log keeps it: the leading number of the text, written back
// without a pattern (a shown "12.50" becomes "12.5", an empty or "N/A" field 0).
std::string numeric(const Field& f) {
    return numberToText(leadingNumber(f.text));
}

}  // namespace

std::array<std::string, kSummaryFieldCount> summaryValues(const WindowState& ui) {
    // A rank test has no transformed means or spreads to report.
    const bool rankTest = ui.txtTstStat.text == "Mann-Whitney";
    auto transformed = [rankTest](const Field& f) {
        return rankTest ? std::string("N/A") : numeric(f);
    };
    return {
        ui.txtSampId.text,
        ui.txtSampAlias.text,
        numeric(ui.txtSampNum),
        numeric(ui.txtSampStdDev),
        numeric(ui.txtSampMean),
        transformed(ui.txtSampTransStdDev),
        transformed(ui.txtSampTransMean),
        ui.txtRefId.text,
        ui.txtRefAlias.text,
        numeric(ui.txtRefNum),
        numeric(ui.txtRefStdDev),
        numeric(ui.txtRefMean),
        transformed(ui.txtRefTransStdDev),
        transformed(ui.txtRefTransMean),
        ui.txtTstPassFail.text,
        ui.txtWTestPassFail.text,
        ui.txtScedPassfail.text,
        ui.txtTstStat.text,
        ui.txtTstPower.text,
        ui.txtDiff_levl.text,
    };
}

}  // namespace bx::cli
