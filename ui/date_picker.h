#pragma once

// The set-up every date picker of the program gets when its dialog opens.

#include "ui/platform/controls.h"

// Display form "MM/dd/yyyy"; earliest selectable date 1 January 1970, no latest.
void SetUpDatePicker(win::CDateTimeCtrl& picker);
