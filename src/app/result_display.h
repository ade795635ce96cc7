#pragma once
// The results area: resetting and blanking the panels, and the power fields.

namespace bx {

class MainWindow;
struct WindowState;

// Pictures back to "not decided", the treatment panels filled from the analysis state, the
// normality and homoscedasticity panels enabled, the df field shown again.
void ResetResultPanels(MainWindow& w);

// Blanks the Transform columns and every result field (txtOverride keeps its text), pictures
// back to "not decided", panels enabled, focus to the project name.
void ClearResultDisplays(MainWindow& w);

// Blanks both treatment panels and every test result field (txtOverride keeps its text) and
// sets the pictures back to "not decided".
void BlankResultFields(WindowState& ui);

// The power option on or off, with its check mark and the power fields.
void EnablePowerCalc(MainWindow& w);
void DisablePowerCalc(MainWindow& w);

// Enables the normality and homoscedasticity frames and their labels.
void EnableTestPanels(MainWindow& w);

}  // namespace bx
