#pragma once

#include "app/command_line.h"

#include <vector>

class CCashFlowListCtrl;

// The Cash Flow list's rows as it shows them (Date, Description, Amount, Balance): what
// the window exports and prints, and what the command line's forecast prints.
std::vector<ForecastRow> ForecastRowsOf(CCashFlowListCtrl& list);
