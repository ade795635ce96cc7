// SPDX-License-Identifier: MIT
#include "gui/artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>

namespace bx::gui {
namespace {

// Everything is drawn on a 100 x 100 canvas and scaled to the requested size.
constexpr double kCanvas = 100.0;

void drawDisc(QPainter& p, const QColor& fill, const QColor& rim) {
    p.setPen(QPen(rim, 5.0));
    p.setBrush(fill);
    p.drawEllipse(QRectF(6.0, 6.0, 88.0, 88.0));
}

QPen strokePen(const QColor& colour, double width) {
    QPen pen(colour, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void drawPassed(QPainter& p) {
    drawDisc(p, QColor(46, 160, 67), QColor(24, 100, 40));
    QPainterPath tick;
    tick.moveTo(28.0, 52.0);
    tick.lineTo(44.0, 68.0);
    tick.lineTo(73.0, 34.0);
    p.setPen(strokePen(Qt::white, 11.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
}

void drawFailed(QPainter& p) {
    drawDisc(p, QColor(204, 44, 44), QColor(130, 20, 20));
    p.setPen(strokePen(Qt::white, 11.0));
    p.drawLine(QPointF(33.0, 33.0), QPointF(67.0, 67.0));
    p.drawLine(QPointF(67.0, 33.0), QPointF(33.0, 67.0));
}

void drawUndecided(QPainter& p) {
    drawDisc(p, QColor(240, 190, 40), QColor(160, 115, 10));
    // A question mark: an open hook, a short stem and a dot.
    QPainterPath hook;
    hook.moveTo(36.0, 38.0);
    hook.cubicTo(36.0, 22.0, 64.0, 20.0, 65.0, 36.0);
    hook.cubicTo(66.0, 47.0, 50.0, 48.0, 50.0, 60.0);
    p.setPen(strokePen(QColor(60, 40, 0), 9.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 40, 0));
    p.drawEllipse(QPointF(50.0, 75.0), 6.0, 6.0);
}

void drawNotApplicable(QPainter& p) {
    p.setPen(strokePen(QColor(110, 110, 120), 9.0));
    p.setBrush(QColor(235, 235, 240));
    p.drawEllipse(QRectF(10.0, 10.0, 80.0, 80.0));
    p.drawLine(QPointF(24.0, 76.0), QPointF(76.0, 24.0));
}

void drawProgramIcon(QPainter& p) {
    // Two columns of replicates with their mean bars: the comparison the program makes.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 80, 140));
    p.drawRoundedRect(QRectF(4.0, 4.0, 92.0, 92.0), 14.0, 14.0);
    const QColor test(250, 200, 70);
    const QColor reference(140, 210, 250);
    for (double y : {36.0, 46.0, 56.0}) {
        p.setBrush(test);
        p.drawEllipse(QPointF(32.0, y), 6.0, 6.0);
        p.setBrush(reference);
        p.drawEllipse(QPointF(68.0, y + 16.0), 6.0, 6.0);
    }
    p.setPen(strokePen(Qt::white, 5.0));
    p.drawLine(QPointF(20.0, 46.0), QPointF(44.0, 46.0));
    p.drawLine(QPointF(56.0, 62.0), QPointF(80.0, 62.0));
}

}  // namespace

QImage drawArtwork(Artwork which, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    // The bitmaps have no transparency: they sit on white like the panels' background.
    const bool bitmap =
        which == Artwork::Passed || which == Artwork::Failed || which == Artwork::Undecided;
    image.fill(bitmap ? QColor(Qt::white) : QColor(Qt::transparent));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kCanvas, size / kCanvas);
    switch (which) {
        case Artwork::Passed:
            drawPassed(p);
            break;
        case Artwork::Failed:
            drawFailed(p);
            break;
        case Artwork::Undecided:
            drawUndecided(p);
            break;
        case Artwork::NotApplicable:
            drawNotApplicable(p);
            break;
        case Artwork::ProgramIcon:
            drawProgramIcon(p);
            break;
    }
    p.end();
    return image;
}

}  // namespace bx::gui
