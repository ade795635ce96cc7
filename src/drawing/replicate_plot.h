#pragma once
// The replicate plot: each panel shows the test sample's values (filled circles) beside the
// reference's (open squares), each with a bar at its mean, on one value axis. Shapes as well as
// colours tell the samples apart, so the plot reads the same in print and in black and white.
// The window, the reports and the exported files all draw it through here.

#include <optional>
#include <string>
#include <vector>

#include "drawing/canvas.h"

namespace bx::drawing {

struct PlotSeries {
    std::string label;           // under its column ("x1", the station's id)
    std::vector<double> values;  // non-finite values are left out
    std::optional<double> mean;
};

struct PlotPanel {
    std::string title;
    PlotSeries test;
    PlotSeries reference;
    bool faint = false;  // drawn from entries that have changed since
    bool empty() const { return test.values.empty() && reference.values.empty(); }
};

struct PlotStyle {
    bool greyscale = false;
    Font font;
    Colour background{1.0, 1.0, 1.0};
    Colour ink{0.0, 0.0, 0.0};
};

struct Area {
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;
};

// The colours of the two samples' marks under a style.
Colour testColour(const PlotStyle& style);
Colour referenceColour(const PlotStyle& style);

// The value axis of a panel: its values' range widened by 8 % on each side (a single value: by
// half a unit or a tenth of it, whichever is more), 0 to 1 without values.
std::pair<double, double> valueRange(const PlotPanel& panel);

// Draws the panels side by side over `area`, the background filled.
void drawReplicatePlot(Canvas& canvas, const std::vector<PlotPanel>& panels, const Area& area,
                       const PlotStyle& style);

}  // namespace bx::drawing
