#pragma once
// The two Clear buttons and File > "&Clear All".

namespace bx {

class MainWindow;

void cmdClearSamp_Click(MainWindow& w);
void cmdClearRef_Click(MainWindow& w);
void mnuClearAll_Click(MainWindow& w);

}  // namespace bx
