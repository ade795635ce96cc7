#include "reports/report_test_support.h"

#include <gtest/gtest.h>

#include "entry/grid.h"

namespace bx::test {

void enterReplicates(MainWindow& w, const std::vector<std::string>& test,
                     const std::vector<std::string>& reference) {
    for (std::size_t i = 0; i < test.size(); ++i) {
        w.ui.Grid1.setCell(static_cast<int>(i) + 1, Grid::kDataCol, test[i]);
    }
    for (std::size_t i = 0; i < reference.size(); ++i) {
        w.ui.Grid2.setCell(static_cast<int>(i) + 1, Grid::kDataCol, reference[i]);
    }
}

std::vector<std::string> crlfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "text does not end with CR LF";
            lines.push_back(text.substr(start));
            break;
        }
        const std::string line = text.substr(start, end - start);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos)
            << "stray line break in line " << lines.size() + 1;
        lines.push_back(line);
        start = end + 2;
    }
    return lines;
}

}  // namespace bx::test
