// The replicate plot follows the grids: the values as entered at once, the transformed values
// after File > Transform or an analysis.

#include <gtest/gtest.h>
#include <QComboBox>
#include <QTest>

#include "gui/replicate_plot.h"
#include "gui_support.h"

namespace bx::gui::test {
namespace {

PlotData plotOf(FormFixture& f) {
    return f.form().findChild<ReplicatePlot*>("picReplicates")->data();
}

TEST(ReplicatePlot, ShowsTheEnteredValuesAndTheirMeans) {
    FormFixture f("plot-entered");
    EXPECT_TRUE(plotOf(f).entered.empty());
    f.typeColumn("Grid1", {"10", "11", "12"});
    f.typeColumn("Grid2", {"14", "15", "19"});
    const PlotData plot = plotOf(f);
    EXPECT_EQ(plot.entered.test.values, std::vector<double>({10, 11, 12}));
    EXPECT_EQ(plot.entered.reference.values, std::vector<double>({14, 15, 19}));
    // Means by hand: 33 / 3 and 48 / 3.
    EXPECT_DOUBLE_EQ(plot.entered.test.mean, 11.0);
    EXPECT_DOUBLE_EQ(plot.entered.reference.mean, 16.0);
    EXPECT_TRUE(plot.transformed.empty());
}

TEST(ReplicatePlot, ShowsTheTransformedValuesAfterTransform) {
    FormFixture f("plot-transformed");
    f.typeColumn("Grid1", {"10", "11", "12"});
    f.typeColumn("Grid2", {"14", "15", "16"});
    auto* method = qobject_cast<QComboBox*>(f.widget("cbTransMethod"));
    method->setFocus();
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(method, Qt::Key_Down);  // to the last entry, "Log10 (x + 1.0)"
    }
    ASSERT_EQ(f.core().ui.cbTransMethod.text, "Log10 (x + 1.0)");
    f.action("mnuTransform")->trigger();

    const PlotData plot = plotOf(f);
    EXPECT_EQ(plot.transformed.title, "Transform");
    // numpy log10 of 11, 12, 13 and 15, 16, 17 and their means; the grid shows five decimals.
    const std::vector<double> test = {1.04139269, 1.07918125, 1.11394335};
    const std::vector<double> reference = {1.17609126, 1.20411998, 1.23044892};
    ASSERT_EQ(plot.transformed.test.values.size(), 3U);
    ASSERT_EQ(plot.transformed.reference.values.size(), 3U);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(plot.transformed.test.values[i], test[i], 6e-6);
        EXPECT_NEAR(plot.transformed.reference.values[i], reference[i], 6e-6);
    }
    EXPECT_NEAR(plot.transformed.test.mean, 1.07817243, 1e-5);
    EXPECT_NEAR(plot.transformed.reference.mean, 1.20355339, 1e-5);
    // The entered values are unchanged.
    EXPECT_EQ(plot.entered.test.values, std::vector<double>({10, 11, 12}));

    // Clear All (confirmed: the entries were never saved) empties both pictures.
    f.messages.answers = {MessageAnswer::Yes};
    f.action("mnuClearAll")->trigger();
    EXPECT_TRUE(plotOf(f).entered.empty());
    EXPECT_TRUE(plotOf(f).transformed.empty());
}

}  // namespace
}  // namespace bx::gui::test
