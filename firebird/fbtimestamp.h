#pragma once
// The date-times of the drawing records (days since 30 December 1899, the
// time of day as the fraction) as the Firebird database keeps them. Both
// the export and the second program's store write them this way, so a
// stamp written by one reads back the same in the other.

#include "platform/ibase.h"
#include "store/records.h"

// Rounded to the nearest second, half a second upward, carrying into the
// next day. Exactly 0 is no date-time at all: NULL. False for a value
// outside the years 1 to 9999, which no Firebird timestamp can hold.
bool ToTimestamp(TDateTime dateTime, ibase::Value& value);
// The same as a statement parameter; a date-time that no timestamp can
// hold throws ibase::Error.
ibase::Value TimestampParam(TDateTime dateTime);
// A timestamp column as a date-time; NULL reads as 0.
TDateTime FromTimestamp(const ibase::Value& value);
// The same for a timestamp column of the current row, read without a
// Value on the way: for scans of many rows.
TDateTime DateTimeColumn(const ibase::Statement& row, int column);
// The date-time that is a whole number of seconds since 30 December 1899,
// the form in which a timestamp of whole seconds reads back.
TDateTime DateTimeOfSeconds(long long seconds);
// The seconds since 30 December 1899 of a date-time, to the nearest one.
long long SecondsOfDateTime(TDateTime dateTime);
