#include "ui/chart_image.h"

#include "ui/chart_ctrl.h"
#include "ui/platform/device_context.h"

#include <QBuffer>
#include <QColor>
#include <QPainter>

namespace {

// 96 pixels per inch, as a screen at normal size: fonts come out as on the window.
constexpr int kDotsPerMeter = 3780;

} // namespace

QImage RenderChartImage(IChartSource& cashflow, int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    // A picture leaves the desktop: it has the light colours, whatever the palette.
    const CChartCtrl::Colours colours = CChartCtrl::Colours::Light();
    image.fill(QColor(win::GetRValue(colours.face), win::GetGValue(colours.face), win::GetBValue(colours.face)));

    CChartCtrl chart(cashflow);
    chart.SetColours(colours);
    chart.OnSize(win::SIZE_RESTORED, width, height);
    {
        QPainter painter(&image);
        win::CDC dc(painter);
        chart.Draw(dc, win::ODA_DRAWENTIRE);
    }
    return image;
}

QByteArray ChartPng(IChartSource& cashflow, int width, int height)
{
    const QImage image = RenderChartImage(cashflow, width, height);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return {};
    return bytes;
}
