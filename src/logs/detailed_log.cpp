// Placeholder until the log files land.
#include "logs/detailed_log.h"

namespace bx {

void mnuLogDetail_Click(MainWindow&) {}
void WriteDetailLog(MainWindow&) {}

}  // namespace bx
