#pragma once
// Chief header of the utility library: messages, questions, text and number
// routines, control helpers, file and folder copying, the input box, the
// flash note and the library's start-up.

#include "library/busy.h"
#include "library/combovalues.h"
#include "library/controls.h"
#include "library/files.h"
#include "library/flash.h"
#include "library/inpstr.h"
#include "library/messages.h"
#include "library/promptseam.h"
#include "library/textnum.h"

#include <QChar>
#include <QDate>
#include <QDateTime>
#include <QString>

// Sets the library's process-wide defaults; runs once, after the application
// object exists and before any window is made.
void InitLibrary();

// The date format of every general conversion of a date to text: year,
// month and day joined by the date separator ("/" in the format stands for
// it), so 1 September 2002 reads 2002-09-01.
QString DateToStr(const QDate& date);
// The date, then a blank and the time as hh:mm:ss unless it is midnight
// exactly.
QString DateTimeToStr(const QDateTime& dateTime);
