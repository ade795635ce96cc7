// Placeholder until the log files land.
#include "logs/summary_log.h"

namespace bx {

void mnuLogSummary_Click(MainWindow&) {}
void WriteSummaryLog(MainWindow&) {}

}  // namespace bx
