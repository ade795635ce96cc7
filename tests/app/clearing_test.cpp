// SPDX-License-Identifier: MIT
// The two Clear buttons and Clear All.
#include <gtest/gtest.h>

#include <functional>

#include "app/clearing.h"
#include "app/options.h"
#include "app/result_display.h"
#include "app/sample_commands.h"
#include "support/test_support.h"

namespace bx {
namespace {

using test::statusLines;
using test::WindowFixture;

void enterSomething(MainWindow& w) {
    w.ui.txtProjectName.text = "Lake";
    w.ui.txtSampId.text = "S1";
    w.ui.txtSampAlias.text = "station 1";
    w.ui.txtRefId.text = "R1";
    w.ui.txtRefAlias.text = "control";
    w.ui.Grid1.setCell(1, 1, "10");
    w.ui.Grid1.setCell(1, 2, "10.0");
    w.ui.Grid2.setCell(1, 1, "14");
    w.ui.Grid2.setCell(1, 2, "14.0");
    w.ui.txtTstStat.text = "Student's t";
    w.ui.txtSampMean.text = "11.0";
    w.ui.imgTestPassFail = Picture::Fail;
    w.postStatus("*** Stats complete.");
}

// The entry texts: project, sample id and alias, reference id and alias, the first row of each
// grid's Data and Transform columns, a result field.
std::vector<std::string> entries(const WindowState& ui) {
    return {ui.txtProjectName.text, ui.txtSampId.text,   ui.txtSampAlias.text, ui.txtRefId.text,
            ui.txtRefAlias.text,    ui.Grid1.cell(1, 1), ui.Grid1.cell(1, 2),  ui.Grid2.cell(1, 1),
            ui.Grid2.cell(1, 2),    ui.txtTstStat.text};
}

TEST(Clear, EachSampleButtonTouchesOnlyItsSample) {
    WindowFixture f("clear-samp");
    MainWindow& w = f.w();
    enterSomething(w);
    w.ui.Grid1.setCurrent(5, 2);
    const std::string status = w.ui.Status;
    cmdClearSamp_Click(w);
    EXPECT_EQ(entries(w.ui), (std::vector<std::string>{"Lake", "", "", "R1", "control", "", "",
                                                       "14", "14.0", "Student's t"}));
    EXPECT_EQ(std::pair(w.ui.Grid1.row(), w.ui.Grid1.col()), std::pair(1, 1));
    EXPECT_EQ(w.ui.Status, status);
    cmdClearRef_Click(w);
    EXPECT_EQ(entries(w.ui),
              (std::vector<std::string>{"Lake", "", "", "", "", "", "", "", "", "Student's t"}));
}

TEST(Clear, ClearAllResetsTheWindowButNotTheOptions) {
    WindowFixture f("clear-all");
    MainWindow& w = f.w();
    enterSomething(w);
    pickHypoAlt(w, "x1 > x2");
    mnuPowerCalculation_Click(w);
    w.ui.txtDiff_levl.text = "2";
    w.ui.txtOverride.text = "Invoked";
    w.ui.Frame10.enabled = false;
    mnuClearAll_Click(w);
    EXPECT_EQ(entries(w.ui), std::vector<std::string>(10, ""));
    EXPECT_EQ(w.ui.txtSampMean.text, "");
    EXPECT_EQ(w.ui.imgTestPassFail, Picture::Question);
    EXPECT_TRUE(w.ui.Frame10.enabled);
    EXPECT_EQ(statusLines(w.ui.Status), (std::vector<std::string>{"", "Values Reset/Cleared"}));
    EXPECT_EQ(w.ui.focus, FocusTarget::ProjectName);
    // Kept: option lists, switches, override text and the minimum difference.
    EXPECT_EQ(w.ui.cbHypoAlt.text, "x1 > x2");
    EXPECT_TRUE(w.ui.PowerCalcOn);
    EXPECT_EQ(w.ui.txtDiff_levl.text, "2");
    EXPECT_EQ(w.ui.txtOverride.text, "Invoked");
}

// Asking before unsaved entries are thrown away: {case, the entries before, the request, the
// answer (Yes, No or Yes with "Don't ask again"), asked, done}. `done` is the request going
// ahead: the entries cleared, or the window allowed to close.
TEST(Clear, UnsavedEntriesAreAskedAbout) {
    enum class Before { Typed, Saved, Loaded, ReferenceOnly, ChangedAfterSave, EmptiedAfterSave };
    enum class Answer { Yes, No, YesDontAsk, NoDontAsk };
    using Request = std::function<bool(MainWindow&)>;
    const Request clearAll = [](MainWindow& w) {
        requestClearAll(w);
        return w.ui.Grid1.cell(1, 1).empty() && w.ui.Grid2.cell(1, 1).empty();
    };
    const Request clearTest = [](MainWindow& w) {
        requestClearSamp(w);
        return w.ui.Grid1.cell(1, 1).empty();
    };
    const Request clearReference = [](MainWindow& w) {
        requestClearRef(w);
        return w.ui.Grid2.cell(1, 1).empty();
    };
    const Request exit = [](MainWindow& w) { return requestExit(w); };
    const struct {
        const char* name;
        Before before;
        Request request;
        Answer answer;
        bool asked;
        bool done;
    } kCases[] = {
        {"typed, clear all, No", Before::Typed, clearAll, Answer::No, true, false},
        {"typed, clear all, Yes", Before::Typed, clearAll, Answer::Yes, true, true},
        {"saved, clear all", Before::Saved, clearAll, Answer::No, false, true},
        {"changed after the save", Before::ChangedAfterSave, clearAll, Answer::No, true, false},
        {"loaded, exit", Before::Loaded, exit, Answer::No, false, true},
        {"typed, exit, No", Before::Typed, exit, Answer::No, true, false},
        {"emptied after the save", Before::EmptiedAfterSave, exit, Answer::No, false, true},
        {"typed, clear test, No", Before::Typed, clearTest, Answer::No, true, false},
        {"only a reference, clear test", Before::ReferenceOnly, clearTest, Answer::No, false, true},
        {"only a reference, clear it", Before::ReferenceOnly, clearReference, Answer::No, true,
         false},
        {"don't ask again", Before::Typed, clearAll, Answer::YesDontAsk, true, true},
        {"don't ask again with No", Before::Typed, clearAll, Answer::NoDontAsk, true, false},
    };
    for (const auto& c : kCases) {
        WindowFixture f("clear-ask");
        MainWindow& w = f.w();
        const bool reference = c.before == Before::ReferenceOnly;
        test::typeReplicates(
            w, reference ? std::vector<std::string>{} : std::vector<std::string>{"10", "11"},
            {"14", "15"});
        if (c.before != Before::Typed && c.before != Before::ReferenceOnly) {
            test::answerDialog(f, f.scratch, "kept");
            mnuSaveAs_Click(w);
            ASSERT_EQ(w.ui.sampleFilePath, (f.scratch / "kept.dbf").string()) << c.name;
        }
        if (c.before == Before::Loaded) {
            mnuClearAll_Click(w);
            EXPECT_EQ(w.ui.sampleFilePath, "") << c.name;
            test::answerDialog(f, f.scratch, "kept");
            mnuLoadFrom_Click(w);
        }
        if (c.before == Before::ChangedAfterSave) {
            w.ui.Grid2.setCell(2, 1, "16");
        }
        if (c.before == Before::EmptiedAfterSave) {
            test::typeReplicates(w, {}, {});  // nothing left to lose
        }
        const bool no = c.answer == Answer::No || c.answer == Answer::NoDontAsk;
        f.desktop.answers = {no ? MessageAnswer::No : MessageAnswer::Yes};
        f.desktop.tickDontAskAgain =
            c.answer == Answer::YesDontAsk || c.answer == Answer::NoDontAsk;
        EXPECT_EQ(c.request(w), c.done) << c.name;
        ASSERT_EQ(f.desktop.messages.size(), c.asked ? 1U : 0U) << c.name;
        if (c.asked) {
            EXPECT_EQ(f.desktop.messages[0].icon, MessageIcon::Question) << c.name;
            EXPECT_EQ(f.desktop.messages[0].buttons, MessageButtons::YesNo) << c.name;
        }
        // "Don't ask again" with Yes holds for the next time; with No nothing was thrown away.
        EXPECT_EQ(w.ui.askBeforeDiscarding, c.answer != Answer::YesDontAsk) << c.name;
        test::typeReplicates(w, {"1"}, {"2"});
        EXPECT_EQ(requestExit(w), c.answer == Answer::YesDontAsk) << c.name;
    }
}

}  // namespace
}  // namespace bx
