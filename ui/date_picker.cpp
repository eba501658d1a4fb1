#include "ui/date_picker.h"

#include "model/dates.h"

void SetUpDatePicker(win::CDateTimeCtrl& picker)
{
    picker.SetFormat("MM/dd/yyyy");
    // Any day the program handles, and no other: a date the picker cannot show would
    // come back as another one.
    win::SystemTime minimum;
    minimum.year = kEarliestYear;
    minimum.month = 1;
    minimum.day = 1;
    win::SystemTime maximum;
    maximum.year = kLatestYear;
    maximum.month = 12;
    maximum.day = 31;
    maximum.hour = 23;
    maximum.minute = 59;
    maximum.second = 59;
    maximum.milliseconds = 999;
    picker.SetRange(&minimum, &maximum);
}
