#pragma once
// The face the programs' windows are drawn in. Nothing here depends on which
// faces a machine happens to have: the platform's general sans-serif face is
// asked for, and a fixed-pitch answer is never kept.

#include <QFont>

// The platform's general sans-serif face at its size, made proportional.
QFont ProgramFont();

// The font as it is when the face it resolves to is drawn proportionally;
// otherwise the same size and style in the first installed proportional
// face, those named "Sans" first. (Fontconfig answers "sans-serif" with
// Liberation Mono on a system that has only the Liberation faces.)
QFont ProportionalFont(QFont font);
