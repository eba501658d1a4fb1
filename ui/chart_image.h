#pragma once

#include <QByteArray>
#include <QImage>

class IChartSource;

// The chart of a projection drawn into an image of the given size, by the same chart
// code the window uses, in its light colours. Needs a QGuiApplication for its
// fonts. A size that is not positive gives a null image.
QImage RenderChartImage(IChartSource& cashflow, int width, int height);

// The same, as the bytes of a PNG file; empty when the image cannot be made.
QByteArray ChartPng(IChartSource& cashflow, int width, int height);
