#include "ui/date_picker.h"

void SetUpDatePicker(win::CDateTimeCtrl& picker)
{
    picker.SetFormat("MM/dd/yyyy");
    win::SystemTime minimum;
    minimum.year = 1970;
    minimum.month = 1;
    minimum.day = 1;
    picker.SetRange(&minimum, nullptr);
}
