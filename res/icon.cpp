#include "res/icon.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace res {

QImage DrawProgramIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double unit = size / 32.0;

    // A rounded white card with a dark frame.
    QPainterPath card;
    card.addRoundedRect(QRectF(1.5 * unit, 1.5 * unit, 29 * unit, 29 * unit), 5 * unit, 5 * unit);
    painter.fillPath(card, QColor(250, 250, 246));
    painter.setPen(QPen(QColor(40, 60, 90), 1.5 * unit));
    painter.drawPath(card);

    // Bars of a balance rising above and dipping below the zero line, like the chart.
    const double zero = 20 * unit;
    const double heights[] = {5, 8, 6, -4, -2, 7, 11, 14};
    const double barWidth = 2.4 * unit;
    double x = 5 * unit;
    painter.setPen(Qt::NoPen);
    for (double height : heights) {
        const QColor colour = height >= 0 ? QColor(30, 110, 60) : QColor(200, 40, 40);
        const double top = height >= 0 ? zero - height * unit : zero;
        painter.fillRect(QRectF(x, top, barWidth, std::abs(height) * unit), colour);
        x += barWidth + 0.5 * unit;
    }
    painter.setPen(QPen(QColor(20, 60, 220), 1.2 * unit));
    painter.drawLine(QPointF(4 * unit, zero), QPointF(28 * unit, zero));
    return image;
}

} // namespace res
