#pragma once
// What the replicate plot shows for the window's current grids: the Data columns as entered
// and the Transform columns ("Transformed", or "Rankits" after the rankit transformation),
// faint while the window marks them stale. The window's plot and `analyze --plot` draw it.

#include <vector>

#include "drawing/replicate_plot.h"

namespace bx {

struct WindowState;
struct AnalysisState;

// The two panels, "Data" and "Transform" (or "Rankits"). Counting and means are the core's:
// values up to the first blank cell or end marker.
std::vector<drawing::PlotPanel> replicatePanels(const WindowState& ui,
                                                const AnalysisState& analysis);

}  // namespace bx
