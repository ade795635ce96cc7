// SPDX-License-Identifier: MIT
#include "app/options.h"

#include "app/main_window.h"
#include "app/result_display.h"

namespace bx {
namespace {

void clearSelections(WindowState& ui) {
    for (OptionList* list : {&ui.cbHypoAlt, &ui.cbHypoNull}) {
        list->selStart = 0;
        list->selLength = 0;
    }
}

// Turns an option over; its menu entry carries the check mark. Returns the new setting.
bool toggleChecked(bool& option, MenuEntry& menu) {
    option = !option;
    menu.checked = option;
    return option;
}

}  // namespace

void cbHypoAlt_Click(MainWindow& w) {
    WindowState& ui = w.ui;
    ui.cbHypoNull.text = ui.cbHypoAlt.text == "x1 < x2" ? "x1 >= x2" : "x1 <= x2";
    clearSelections(ui);
}

void cbHypoNull_Click(MainWindow& w) {
    WindowState& ui = w.ui;
    ui.cbHypoAlt.text = ui.cbHypoNull.text == "x1 <= x2" ? "x1 > x2" : "x1 < x2";
    clearSelections(ui);
}

void pickHypoAlt(MainWindow& w, const std::string& entry) {
    w.ui.cbHypoAlt.text = entry;
    cbHypoAlt_Click(w);
}

void pickHypoNull(MainWindow& w, const std::string& entry) {
    w.ui.cbHypoNull.text = entry;
    cbHypoNull_Click(w);
}

void mnuNormalPrompt_Click(MainWindow& w) {
    WindowState& ui = w.ui;
    const bool on = toggleChecked(ui.NormalityPromptOn, ui.mnuNormalPrompt);
    w.postStatus(on ? "Normality Override Option ON" : "Normality Override Option OFF");
    ui.lblOverride.enabled = on;
    ui.txtOverride.visible = on;
}

void mnuPowerCalculation_Click(MainWindow& w) {
    if (!w.ui.PowerCalcOn) {
        EnablePowerCalc(w);
        w.postStatus(
            "Power Calculation Option ON [Enter Minimum Difference for Power Calculation]");
    } else {
        DisablePowerCalc(w);
        w.postStatus("Power Calculation Option OFF");
    }
}

void mnuOneSampleTTest_Click(MainWindow& w) {
    WindowState& ui = w.ui;
    const bool on = toggleChecked(ui.OneSampleOn, ui.mnuOneSampleTTest);
    w.postStatus(on ? "1 Sample t-Test ON" : "1 Sample t-Test OFF");
}

void mnuReadLeadingNumbers_Click(MainWindow& w) {
    WindowState& ui = w.ui;
    ui.strictNumbers = !ui.strictNumbers;
    ui.mnuReadLeadingNumbers.checked = !ui.strictNumbers;
    w.postStatus(ui.strictNumbers
                     ? "Read Leading Numbers OFF: a value must be wholly a number"
                     : "Read Leading Numbers ON: \"12 mg\" is read as 12, with a warning");
}

}  // namespace bx
