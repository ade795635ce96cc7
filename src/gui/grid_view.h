// SPDX-License-Identifier: MIT
#pragma once
// A replicate grid on screen: an item view over one bx::Grid of the core. It has no cell
// editor and no selection of its own; it turns keys, mouse drags and focus changes into the
// core's grid events and draws the grid's current cell and selection as the core holds them.

#include <QAbstractTableModel>
#include <QTableView>

namespace bx {
class Grid;
}

namespace bx::gui {

class GridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit GridModel(const Grid& grid, QObject* parent = nullptr)
        : QAbstractTableModel(parent), grid_(grid) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The grid changed: every cell is drawn again.
    void refresh();

    // The Transform column no longer matches the Data column: it is drawn greyed.
    void setTransformsStale(bool stale) { transformsStale_ = stale; }
    bool transformsStale() const { return transformsStale_; }

    const Grid& grid() const { return grid_; }

  private:
    const Grid& grid_;
    bool transformsStale_ = false;
};

class GridView : public QTableView {
    Q_OBJECT
  public:
    GridView(const Grid& grid, QWidget* parent = nullptr);

    // Draws the grid as the core holds it now; `transformsStale` greys the Transform column.
    void refresh(bool transformsStale = false);

    // The key code a key press carries as a typed character, or -1 for a key that types none
    // (arrows, function keys, Tab). Ctrl+letter gives the control code (Ctrl+C 3, Ctrl+V 22);
    // Delete gives 127.
    static int characterCode(const QKeyEvent& event);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  signals:
    void characterTyped(int keyCode);
    // F2 or a double click: the current cell is to be edited rather than replaced.
    void editRequested();
    // The user moved the current cell to (row, col) and the selection's far corner to
    // (rowSel, colSel); the grid itself is not yet changed.
    void selectionRequested(int row, int col, int rowSel, int colSel);
    void gotFocus();
    void lostFocus();
    void otherMouseButton();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    bool navigate(const QKeyEvent& event);
    void applyColumnWidths();

    GridModel* model_;
    bool dragging_ = false;
    int anchorRow_ = 1;
    int anchorCol_ = 1;
};

}  // namespace bx::gui
