#pragma once

#include "app/command_line.h"

#include <iosfwd>
#include <string>

class CTillaneDlg;

// The command line's forecast and chart: the data file loaded exactly as the window loads
// it, into the same pages and lists, without showing anything and without writing the
// data file or the settings.

// Prints the forecast or the summary, or writes the chart; returns the process exit
// status: 0 done, 1 when the data file exists but cannot be read or is not a Tillane data
// file (or the chart cannot be written), 3 when the summary finds the balance going below
// its threshold.
int RunWithoutWindow(const CommandLine& line, int& argc, char** argv);

// Writes to err what loading the data file mended (one line each) and, when the
// projection stopped at its row limit, a line that says so. False in that case: the
// forecast or chart would be incomplete, and is not made.
bool CheckLoadedProjection(CTillaneDlg& window, std::ostream& err);
