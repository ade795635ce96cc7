// SPDX-License-Identifier: MIT
#include "gui/grid_view.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <algorithm>

#include "entry/grid.h"

namespace bx::gui {
namespace {

constexpr int kFirstRow = 1;
constexpr int kLastRow = Grid::kRows - 1;
constexpr int kFirstCol = 1;
constexpr int kLastCol = Grid::kCols - 1;

// Column widths in twips (1/1440 inch): the label column and the two value columns.
constexpr int kColumnTwips[Grid::kCols] = {600, 1000, 1000};

bool isFixed(int row, int col) {
    return row == 0 || col == 0;
}

bool inSelection(const Grid& grid, int row, int col) {
    const int r1 = std::min(grid.row(), grid.rowSel());
    const int r2 = std::max(grid.row(), grid.rowSel());
    const int c1 = std::min(grid.col(), grid.colSel());
    const int c2 = std::max(grid.col(), grid.colSel());
    return row >= r1 && row <= r2 && col >= c1 && col <= c2;
}

}  // namespace

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Grid::kRows;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Grid::kCols;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const int row = index.row();
    const int col = index.column();
    const QPalette palette = QApplication::palette();
    const bool current = row == grid_.row() && col == grid_.col();
    const bool marked = !isFixed(row, col) && !current && inSelection(grid_, row, col);
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(grid_.cell(row, col));
        case Qt::TextAlignmentRole:
            return isFixed(row, col) ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                     : QVariant(Qt::AlignRight | Qt::AlignVCenter);
        case Qt::BackgroundRole:
            if (isFixed(row, col)) {
                return palette.button();
            }
            if (marked) {
                if (grid_.highlighted) {
                    return palette.highlight();
                }
                // Without the focus the selection stays faintly visible: it is what the Edit
                // menu acts on.
                QColor faint = palette.highlight().color();
                faint.setAlpha(60);
                return QBrush(faint);
            }
            return palette.base();
        case Qt::ForegroundRole:
            if (isFixed(row, col)) {
                return palette.buttonText();
            }
            if (marked && grid_.highlighted) {
                return palette.highlightedText();
            }
            return col == Grid::kTransformCol && transformsStale_
                       ? palette.brush(QPalette::Disabled, QPalette::Text)
                       : palette.text();
        default:
            return {};
    }
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
}

void GridModel::refresh() {
    emit dataChanged(index(0, 0), index(Grid::kRows - 1, Grid::kCols - 1));
}

GridView::GridView(const Grid& grid, QWidget* parent)
    : QTableView(parent), model_(new GridModel(grid, this)) {
    setModel(model_);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    applyColumnWidths();
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void GridView::applyColumnWidths() {
    const QFontMetrics metrics = fontMetrics();
    const char* widest[Grid::kCols] = {"Rep 10", "Transform", "Transform"};
    for (int col = 0; col < Grid::kCols; ++col) {
        const int fromTwips = kColumnTwips[col] * logicalDpiX() / 1440;
        const int forText = metrics.horizontalAdvance(QString::fromLatin1(widest[col])) + 14;
        setColumnWidth(col, std::max(fromTwips, forText));
    }
}

QSize GridView::sizeHint() const {
    int width = 2 * frameWidth();
    for (int col = 0; col < Grid::kCols; ++col) {
        width += columnWidth(col);
    }
    int height = 2 * frameWidth();
    for (int row = 0; row < Grid::kRows; ++row) {
        height += rowHeight(row);
    }
    return {width, height};
}

QSize GridView::minimumSizeHint() const {
    return sizeHint();
}

void GridView::refresh(bool transformsStale) {
    model_->setTransformsStale(transformsStale);
    model_->refresh();
    scrollTo(model_->index(model_->grid().row(), model_->grid().col()));
    viewport()->update();
}

int GridView::characterCode(const QKeyEvent& event) {
    const int key = event.key();
    if ((event.modifiers() & Qt::ControlModifier) != 0 && key >= Qt::Key_A && key <= Qt::Key_Z) {
        return key - Qt::Key_A + 1;
    }
    switch (key) {
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 13;
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_Space:
            return 32;
        case Qt::Key_Delete:
            return 127;
        default:
            break;
    }
    if ((event.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) != 0) {
        return -1;
    }
    const QString text = event.text();
    if (text.size() == 1 && text.at(0).unicode() >= 32 && text.at(0).unicode() != 127) {
        return text.at(0).unicode();
    }
    return -1;
}

bool GridView::navigate(const QKeyEvent& event) {
    const Grid& grid = model_->grid();
    const bool extend = (event.modifiers() & Qt::ShiftModifier) != 0;
    // Shift moves the selection's far corner; otherwise the current cell moves and the
    // selection collapses onto it.
    int row = extend ? grid.rowSel() : grid.row();
    int col = extend ? grid.colSel() : grid.col();
    switch (event.key()) {
        case Qt::Key_Up:
            --row;
            break;
        case Qt::Key_Down:
            ++row;
            break;
        case Qt::Key_Left:
            --col;
            break;
        case Qt::Key_Right:
            ++col;
            break;
        case Qt::Key_Home:
            col = kFirstCol;
            if ((event.modifiers() & Qt::ControlModifier) != 0) {
                row = kFirstRow;
            }
            break;
        case Qt::Key_End:
            col = kLastCol;
            if ((event.modifiers() & Qt::ControlModifier) != 0) {
                row = kLastRow;
            }
            break;
        case Qt::Key_PageUp:
            row = kFirstRow;
            break;
        case Qt::Key_PageDown:
            row = kLastRow;
            break;
        default:
            return false;
    }
    row = std::clamp(row, kFirstRow, kLastRow);
    col = std::clamp(col, kFirstCol, kLastCol);
    if (extend) {
        if (row != grid.rowSel() || col != grid.colSel()) {
            emit selectionRequested(grid.row(), grid.col(), row, col);
        }
    } else if (row != grid.row() || col != grid.col() || grid.rowSel() != grid.row() ||
               grid.colSel() != grid.col()) {
        emit selectionRequested(row, col, row, col);
    }
    return true;
}

void GridView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F2 && event->modifiers() == Qt::NoModifier) {
        event->accept();
        emit editRequested();
        return;
    }
    if (navigate(*event)) {
        event->accept();
        return;
    }
    const int code = characterCode(*event);
    if (code < 0) {
        event->ignore();
        return;
    }
    event->accept();
    emit characterTyped(code);
}

void GridView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        setFocus(Qt::MouseFocusReason);
        emit otherMouseButton();
        event->accept();
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid()) {
        event->accept();
        return;
    }
    const int row = index.row();
    const int col = index.column();
    // A heading selects its whole column, a row label its whole row, the corner everything.
    int rowSel = row;
    int colSel = col;
    anchorRow_ = row;
    anchorCol_ = col;
    if (row == 0) {
        anchorRow_ = kFirstRow;
        rowSel = kLastRow;
    }
    if (col == 0) {
        anchorCol_ = kFirstCol;
        colSel = kLastCol;
    }
    anchorRow_ = std::clamp(anchorRow_, kFirstRow, kLastRow);
    anchorCol_ = std::clamp(anchorCol_, kFirstCol, kLastCol);
    dragging_ = true;
    emit selectionRequested(anchorRow_, anchorCol_, std::clamp(rowSel, kFirstRow, kLastRow),
                            std::clamp(colSel, kFirstCol, kLastCol));
    event->accept();
}

void GridView::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_ || (event->buttons() & Qt::LeftButton) == 0) {
        event->accept();
        return;
    }
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid()) {
        event->accept();
        return;
    }
    const Grid& grid = model_->grid();
    const int rowSel = std::clamp(index.row(), kFirstRow, kLastRow);
    const int colSel = std::clamp(index.column(), kFirstCol, kLastCol);
    if (rowSel != grid.rowSel() || colSel != grid.colSel() || anchorRow_ != grid.row() ||
        anchorCol_ != grid.col()) {
        emit selectionRequested(anchorRow_, anchorCol_, rowSel, colSel);
    }
    event->accept();
}

void GridView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = false;
    }
    event->accept();
}

void GridView::mouseDoubleClickEvent(QMouseEvent* event) {
    // There is no cell editor: a double click is a click that edits the cell, as F2 does.
    mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit editRequested();
    }
}

namespace {

// A menu or list popping up, or another window coming to the front, only lends the keyboard
// for a while: the grid keeps its focus in the window, so the Edit menu still sees the grid
// as the user left it.
bool isRealFocusChange(const QFocusEvent& event) {
    return event.reason() != Qt::PopupFocusReason && event.reason() != Qt::ActiveWindowFocusReason;
}

}  // namespace

void GridView::focusInEvent(QFocusEvent* event) {
    // Not the item view's own handling: it would invent a current index of its own.
    QWidget::focusInEvent(event);
    if (isRealFocusChange(*event)) {
        emit gotFocus();
    }
    viewport()->update();
}

void GridView::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    dragging_ = false;
    if (isRealFocusChange(*event)) {
        emit lostFocus();
    }
    viewport()->update();
}

void GridView::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    const Grid& grid = model_->grid();
    if (!grid.highlighted) {
        return;
    }
    // The focus rectangle on the current cell while the grid has the focus.
    QPainter painter(viewport());
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = visualRect(model_->index(grid.row(), grid.col())).adjusted(1, 1, -2, -2);
    option.backgroundColor = palette().color(QPalette::Base);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(option.rect);
}

}  // namespace bx::gui
