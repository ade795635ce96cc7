// SPDX-License-Identifier: MIT
#pragma once
// The About window: the program's icon, title and version, and the credits.

#include <QDialog>

namespace bx::gui {

class AboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit AboutBox(QWidget* parent = nullptr);
};

}  // namespace bx::gui
