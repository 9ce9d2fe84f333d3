#pragma once
// The health check's report: the lines that tell the user what one pass
// found and did, table by table.

#include "store/healthcheck.h"

#include <QString>
#include <QStringList>

// The line of one point of a pair that stands on one pixel, its lengths
// with the given decimal places.
QString DuplicatePointLine(const TPointRec& point, int decimals);

// Every line of one pass, from the database version to "All scans complete".
QStringList HealthReportLines(const HealthPass& pass);
