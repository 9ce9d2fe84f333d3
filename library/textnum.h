#pragma once
// Small text and number routines: padding, cutting and quoting texts, SQL
// string literals, fixed-point output and the reading of typed numbers.
// Numbers are read and written with a point as the decimal separator
// whatever the locale. Positions count from 1 in the comments below.

#include <QChar>
#include <QString>
#include <cstdint>

// Fill character of PadNumber: "0" after library start-up.
QChar PadChar();
void SetPadChar(QChar c);

// Decimal text of n with PadChar put in front until it is w long; a longer
// text is not cut.
QString PadNumber(int32_t n, int w);
// The last n characters (all of a shorter text, none for n <= 0).
QString RightChars(const QString& s, int n);
QString InSingleQuotes(const QString& s);
QString InDoubleQuotes(const QString& s);
// Doubles every "'" in place; true when there was one.
bool DoubleApostrophes(QString& s);
// A copy with every "'" doubled; InSingleQuotes(EscapeApostrophes(s)) is an
// SQL string literal.
QString EscapeApostrophes(const QString& s);
// Lower-cases the letters A-Z only.
void LowerCaseInPlace(QString& s);
// The last character, or the character of code 0 for the empty text.
QChar LastChar(const QString& s);
// Drops the last n characters (all of them when n >= length).
void DropLastChars(QString& s, int n);

void SwapInts(int32_t& a, int32_t& b);
int32_t IntMin(int32_t a, int32_t b);
int32_t IntMax(int32_t a, int32_t b);
// The first on a tie.
double RealMin(double a, double b);
double RealMax(double a, double b);
bool Between(double value, double lo, double hi);

// x with exactly d decimals (0 to 18) after a point, rounded to 15
// significant digits, no thousands separators; more than 15 digits before
// the point come out in exponent notation.
QString FormatFixed(double x, int d);

// A signed 32-bit whole number in decimal, or in hexadecimal after "$",
// after optional leading blanks and a sign. The empty text is 0. Anything
// else, trailing blanks included, or a value outside 32 bits is not a
// number: false, and value keeps what it held.
bool ParseInteger(const QString& s, int32_t& value);
// A finite real with a point as decimal separator and an optional exponent;
// blanks around it are ignored. The empty text is 0. value is 0 after any
// failure: "nan", "inf" or an overflowing exponent fail like any bad text.
bool ParseReal(const QString& s, double& value);
// ParseInteger, but the empty text fails silently and a text that is not a
// whole number fails with "Invalid integer" and the text in double quotes.
bool ParseIntegerOrWarn(const QString& s, int32_t& value);
// ParseReal, but a text that is not a real number fails with "Invalid
// floating-point amount" and the text in double quotes.
bool ParseFloatOrWarn(const QString& s, double& value);
