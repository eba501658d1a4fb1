#pragma once

// The set-up every date picker of the program gets when its dialog opens.

#include "ui/platform/controls.h"

// Display form "MM/dd/yyyy"; selectable dates from 1 January 1000 to 31 December 9999.
void SetUpDatePicker(win::CDateTimeCtrl& picker);
