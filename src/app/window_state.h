// SPDX-License-Identifier: MIT
#pragma once
// Everything the main window shows and remembers, without any widget: field texts with their
// enabled and visible states, pictures, option lists, menu check marks and captions, the status
// list, both grids, the working folders and flags. Member names are the window's control names.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "base/analysis_types.h"
#include "entry/grid.h"

namespace bx {

struct Field {
    std::string text;
    bool enabled = true;
    bool visible = true;
};

struct Label {
    std::string caption;
    bool enabled = true;
};

enum class Picture { None, Ok, Fail, Question, NotApplicable };

// The picture file in the program folder: "ok.bmp", "fail.bmp", "question.bmp", "bart1.ico".
const char* pictureFileName(Picture picture);
// "ok", "fail", "question", "not-applicable" (or "" for none).
const char* pictureKey(Picture picture);

struct OptionList {
    std::string text;
    std::vector<std::string> entries;
    int selStart = 0;
    int selLength = 0;
};

// The Transformation list's entries, in the order of kTransformations.
inline std::vector<std::string> transformationCaptions() {
    std::vector<std::string> captions;
    captions.reserve(kTransformations.size());
    for (const TransformationInfo& t : kTransformations) {
        captions.emplace_back(t.caption);
    }
    return captions;
}

struct MenuEntry {
    std::string caption;
    bool checked = false;
};

struct Frame {
    std::string caption;
    bool enabled = true;
    bool visible = true;
};

enum class FocusTarget { None, ProjectName, Grid1, Grid2 };

// The power box's caption; a run of three blanks is where its narrow label breaks the line.
inline constexpr const char* kDifferenceCaption = " Minimum Difference   for Power Calculation";
inline constexpr const char* kDifferenceCaptionTransformed =
    " Minimum Difference   for Power Calculation   (difference in transformed units)";

// The entries of a sample data file as the window holds them: the identification and the
// Data columns of both grids.
struct SampleEntries {
    std::string project;
    std::string sampleId, sampleAlias, referenceId, referenceAlias;
    std::array<std::string, kMaxReplicates> test{}, reference{};

    bool operator==(const SampleEntries&) const = default;
};

// What a run's results depend on: the Data columns and every choice of the run.
struct RunInputs {
    std::array<std::string, kMaxReplicates> test{}, reference{};
    std::string alternative, nullHypothesis, alpha, transformation, minimumDifference;
    bool normalityPrompt = false, power = false, oneSample = false;

    bool operator==(const RunInputs&) const = default;
};

struct WindowState {
    // Project and sample identification
    Field txtProjectName, txtSampId, txtSampAlias, txtRefId, txtRefAlias;

    // "Test Treatment" and "Reference Treatment" panels
    Field txtSampNum, txtSampMean, txtSampStdDev, txtSampTransMean, txtSampTransStdDev;
    Field txtRefNum, txtRefMean, txtRefStdDev, txtRefTransMean, txtRefTransStdDev;

    // "Normality (Shapiro-Wilk)" panel
    Frame Frame10{"Normality (Shapiro-Wilk)"};
    Field txtWtestW, txtWtestCritVal, txtWTestAlpha, txtWTestPassFail, txtOverride;
    Label lblWtestW{"Calculated W Value:"}, lblWtestCritVal{"Critical W Value:"},
        lblWtestAlpha{"Alpha:"}, lblWtestPassFail{"Normal:"}, lblOverride{"Override:"};
    Picture imgWtestPassFail = Picture::Question;

    // "Homoscedasticity (Levene's)" panel
    Frame Frame11{"Homoscedasticity (Levene's)"};
    Field txtScedCalcVal, txtScedCritVal, txtScedAlpha, txtScedPassfail, txtScedDegFreedom;
    Label lblNormCalc{"Calculated Student's t:"}, lblNormCritValue{"Critical Student's t:"},
        lblScedAlpha{"Alpha:"}, lblHomogen{"Homoscedastic:"};
    Picture imgSced = Picture::Question;

    // "Test of Experimental Hypothesis" panel
    Field txtTstStat, txtTstCalcStat, txtTstCritVal, txtTstAlpha, txtTstDegFreedom, txtTstPassFail,
        txtTstTransMeth, txtTstBalanced, txtTstPower;
    Label lblDf{"df:"}, lblTstPower{"Power:"};
    Picture imgTestPassFail = Picture::Question;

    // Minimum difference for the power calculation; its caption names the transformed scale
    // while a transformation is chosen.
    Frame Frame13{""};
    Field txtDiff_levl;
    Label lblDiff_levl{kDifferenceCaption};

    // Option lists
    OptionList cbHypoAlt{"x1 < x2", {"x1 < x2", "x1 > x2"}};
    OptionList cbHypoNull{"x1 >= x2", {"x1 >= x2", "x1 <= x2"}};
    OptionList cbAlphaLevel{"0.05", {"0.05", "0.1"}};
    OptionList cbTransMethod{std::string(kTransformations[0].caption), transformationCaptions()};

    // Execute Statistics (the button and File > Execute Stats) and File > Report: switched off
    // when the statistical tables cannot be relied on.
    bool cmdExecuteEnabled = true;
    bool mnuFileReportEnabled = true;

    // Menus whose check mark or caption changes
    MenuEntry mnuNormalPrompt{"Normality Override"};
    MenuEntry mnuPowerCalculation{"Power Calculations"};
    MenuEntry mnuOneSampleTTest{"1 Sample T-Test"};
    MenuEntry mnuReadLeadingNumbers{"Read Leading Numbers"};
    MenuEntry mnuLogDetail{"Begin Detail Data Logging"};
    MenuEntry mnuLogSummary{"Begin Summary Log File"};

    // The status list: one text, lines separated by CR LF; the caret after the last character.
    std::string Status;
    std::size_t statusCaret = 0;

    // The grids and the staging field of copy and paste
    Grid Grid1;
    Grid Grid2;
    std::string Text2;
    bool CellFresh = true;
    // The user's locale writes numbers with a decimal comma: the comma key types the point.
    bool commaIsDecimalMark = false;
    int ActiveGrid = 0;  // 0 none, 1 Grid1, 2 Grid2

    FocusTarget focus = FocusTarget::None;
    // The guide's heading (its anchor, "the-window") for the panel that has the focus: where
    // Help > "User Guide" opens. Set by the window.
    std::string helpTopic;

    // Folders (the report folder alone ends with a separator)
    std::string programFolder;
    std::string scratchFolder;
    std::string dataFolder;  // per-user data of an installed program; empty in a build tree
    std::string detailedLogFolder;
    std::string summaryLogFolder;
    std::string saveFolder;
    std::string loadFolder;
    std::string reportFolder;

    // Option flags
    bool NormalityPromptOn = false;
    bool OneSampleOn = false;
    bool PowerCalcOn = false;

    // Files and logs
    std::string currentSampleFileName = "stat1.dbf";
    bool dataErrorFlag = false;
    bool detailedLogging = false;
    bool summaryLogging = false;
    std::string detailedLogFileName;
    std::string summaryLogFileName;
    std::string detailedLogPath;
    std::string summaryLogPath;

    // The sample data file the entries were last loaded from or saved to ("" for none), and
    // the entries as that file holds them.
    std::string sampleFilePath;
    SampleEntries savedEntries;
    // Whether Exit and the Clear commands ask before unsaved entries are thrown away.
    bool askBeforeDiscarding = true;

    // The inputs of the results on show and of the Transform columns (none while blank), and
    // whether the entries have moved on since.
    std::optional<RunInputs> resultInputs;
    std::optional<RunInputs> transformInputs;
    bool resultsStale = false;
    bool transformsStale = false;

    // Set by the window on screen: what only a person at the window needs (the ArcSin scale
    // warning, the report's files named, a loaded Transform column in a run's pattern), which
    // the command-line tool's fixed outputs leave out.
    bool onScreen = false;
    // Set by the command-line tool: a replicate text that is not wholly a number refuses the
    // entries (the window reads its leading number and warns), and a typed file name is used
    // as typed (the window shortens and cleans it).
    bool strictNumbers = false;
    bool keepTypedNames = false;
    // Set by the command-line tool without --force: a file that Save As, Report or a log begun
    // anew writes must not exist; of several programs making one such file exactly one
    // succeeds, the others fail with 58 (file already exists).
    bool outputsMustBeNew = false;

    // File-dialog exchange
    std::string fileDialogPurpose = "save";
    std::string ChosenFileName;
    std::string ChosenFolder;
    std::string ChosenDrive;
    std::string ChosenPath;
};

}  // namespace bx
