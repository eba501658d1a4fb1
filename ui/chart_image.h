#pragma once

#include <QImage>
#include <QString>

class IChartSource;

// The chart of a projection drawn into an image of the given size, by the same chart
// code the window uses, on the button-face background. Needs a QGuiApplication for its
// fonts. A size that is not positive gives a null image.
QImage RenderChartImage(IChartSource& cashflow, int width, int height);

// The same, written as a PNG file; false when the image cannot be made or written.
bool SaveChartPng(IChartSource& cashflow, int width, int height, const QString& path);
