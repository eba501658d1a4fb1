#pragma once

// Icon 128, the program's icon, drawn in code: a small bar chart over a zero line.

class QImage;

namespace res {

// The icon drawn at size x size pixels.
QImage DrawProgramIcon(int size);

} // namespace res
