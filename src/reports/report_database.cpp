// Placeholder until the table access lands.
#include "reports/report_database.h"

#include "app/main_window.h"

namespace bx {

TableError InitReportDatabase(MainWindow& w) {
    w.postStatus("     Initializing Report Database...");
    return {};
}

}  // namespace bx
