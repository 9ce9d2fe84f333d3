#include "library/textnum.h"
#include "support/scriptedprompts.h"

#include <QDir>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>
#include <memory>

namespace
{

class TextNumTest : public ::testing::Test
{
  protected:
    void SetUp() override { SetPadChar(QLatin1Char('0')); }
    void TearDown() override { SetPadChar(QLatin1Char('0')); }
};

TEST_F(TextNumTest, PadNumber_PadsWithPadCharButNeverCuts)
{
    EXPECT_EQ(PadNumber(7, 2), "07");
    EXPECT_EQ(PadNumber(123, 2), "123");
    EXPECT_EQ(PadNumber(-5, 3), "0-5"); // padding goes in front of the sign
    EXPECT_EQ(PadNumber(0, 0), "0");
    SetPadChar(QLatin1Char(' '));
    EXPECT_EQ(PadNumber(7, 3), "  7");
}

TEST_F(TextNumTest, RightCharsAndDropLastChars_CutAtTheEnd)
{
    EXPECT_EQ(RightChars("abcdef", 2), "ef");
    EXPECT_EQ(RightChars("ab", 5), "ab");
    EXPECT_EQ(RightChars("ab", 0), "");
    EXPECT_EQ(RightChars("ab", -1), "");

    QString s = "abcdef";
    DropLastChars(s, 2);
    EXPECT_EQ(s, "abcd");
    DropLastChars(s, 10);
    EXPECT_EQ(s, "");
    s = "abc";
    DropLastChars(s, 0);
    EXPECT_EQ(s, "abc");
}

TEST_F(TextNumTest, Apostrophes_DoubledForSqlLiterals)
{
    EXPECT_EQ(EscapeApostrophes("O'Brien"), "O''Brien");
    EXPECT_EQ(EscapeApostrophes("plain"), "plain");
    EXPECT_EQ(EscapeApostrophes("''"), "''''");
    EXPECT_EQ(InSingleQuotes(EscapeApostrophes("it's")), "'it''s'");
    EXPECT_EQ(InSingleQuotes("a'b"), "'a'b'");
    EXPECT_EQ(InDoubleQuotes("12a"), "\"12a\"");

    QString s = "a'b'c";
    EXPECT_TRUE(DoubleApostrophes(s));
    EXPECT_EQ(s, "a''b''c");
    QString none = "abc";
    EXPECT_FALSE(DoubleApostrophes(none));
    EXPECT_EQ(none, "abc");
}

TEST_F(TextNumTest, LowerCaseInPlace_TouchesOnlyAsciiLetters)
{
    QString s = QString::fromUtf8("ABC xyz ÄÖ 09");
    LowerCaseInPlace(s);
    EXPECT_EQ(s, QString::fromUtf8("abc xyz ÄÖ 09"));
}

TEST_F(TextNumTest, LastChar_IsCodeZeroForEmptyText)
{
    EXPECT_EQ(LastChar("abc"), QChar('c'));
    EXPECT_EQ(LastChar(""), QChar(0));
}

TEST_F(TextNumTest, MinMax_KeepTheFirstOnATie)
{
    int32_t a = 1, b = 2;
    SwapInts(a, b);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(IntMin(-3, 4), -3);
    EXPECT_EQ(IntMax(-3, 4), 4);
    // +0 and -0 compare equal, so the sign shows which one came back.
    EXPECT_FALSE(std::signbit(RealMin(0.0, -0.0)));
    EXPECT_TRUE(std::signbit(RealMin(-0.0, 0.0)));
    EXPECT_FALSE(std::signbit(RealMax(0.0, -0.0)));
    EXPECT_TRUE(std::signbit(RealMax(-0.0, 0.0)));
    EXPECT_EQ(RealMin(2.5, 1.5), 1.5);
    EXPECT_EQ(RealMax(2.5, 1.5), 2.5);
    EXPECT_TRUE(Between(1, 1, 2));
    EXPECT_TRUE(Between(2, 1, 2));
    EXPECT_FALSE(Between(2.0001, 1, 2));
}

TEST_F(TextNumTest, FormatFixed_ExactDecimalsRoundedAtFifteenDigits)
{
    EXPECT_EQ(FormatFixed(2.5, 3), "2.500");
    EXPECT_EQ(FormatFixed(12.5, 3), "12.500");
    EXPECT_EQ(FormatFixed(-0.25, 3), "-0.250");
    EXPECT_EQ(FormatFixed(0, 2), "0.00");
    EXPECT_EQ(FormatFixed(2.5, 0), "3");
    EXPECT_EQ(FormatFixed(-2.5, 0), "-3");
    EXPECT_EQ(FormatFixed(1234.4, 0), "1234");
    // 2.675 is held as 2.67499999999999982...; fifteen digits make it 2.675.
    EXPECT_EQ(FormatFixed(2.675, 2), "2.68");
    EXPECT_EQ(FormatFixed(999.9996, 3), "1000.000");
    EXPECT_EQ(FormatFixed(0.000123, 5), "0.00012");
    EXPECT_EQ(FormatFixed(1.0 / 3.0, 18), "0.333333333333333000");
    EXPECT_EQ(FormatFixed(123456789012345.0, 2), "123456789012345.00");
    EXPECT_EQ(FormatFixed(-0.0001, 2), "0.00"); // no minus sign on a zero
    EXPECT_EQ(FormatFixed(1e-20, 3), "0.000");
}

TEST_F(TextNumTest, FormatFixed_HugeValuesInExponentNotation)
{
    const QString text = FormatFixed(1e15, 2);
    EXPECT_TRUE(text.contains('E')) << text.toStdString();
    EXPECT_TRUE(text.startsWith("1.0")) << text.toStdString();
    EXPECT_EQ(FormatFixed(std::numeric_limits<double>::quiet_NaN(), 2), "NAN");
    EXPECT_EQ(FormatFixed(-std::numeric_limits<double>::infinity(), 2), "-INF");
}

TEST_F(TextNumTest, ParseInteger_DecimalHexSignsAndBlanks)
{
    int32_t v = 77;
    EXPECT_TRUE(ParseInteger("", v));
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(ParseInteger("42", v));
    EXPECT_EQ(v, 42);
    EXPECT_TRUE(ParseInteger("   42", v)); // the calendar's blank-padded cells
    EXPECT_EQ(v, 42);
    EXPECT_TRUE(ParseInteger("-5", v));
    EXPECT_EQ(v, -5);
    EXPECT_TRUE(ParseInteger("+7", v));
    EXPECT_EQ(v, 7);
    EXPECT_TRUE(ParseInteger("$1F", v));
    EXPECT_EQ(v, 31);
    EXPECT_TRUE(ParseInteger("$ff", v));
    EXPECT_EQ(v, 255);
    EXPECT_TRUE(ParseInteger("-$10", v));
    EXPECT_EQ(v, -16);
}

TEST_F(TextNumTest, ParseInteger_RangeLimitsOf32Bits)
{
    int32_t v = 0;
    EXPECT_TRUE(ParseInteger("2147483647", v));
    EXPECT_EQ(v, 2147483647);
    EXPECT_TRUE(ParseInteger("-2147483648", v));
    EXPECT_EQ(v, std::numeric_limits<int32_t>::min());
    EXPECT_TRUE(ParseInteger("$7FFFFFFF", v));
    EXPECT_EQ(v, 2147483647);

    v = 77;
    for (const char* bad :
         {"2147483648", "-2147483649", "$80000000", "$FFFFFFFF", "99999999999999999999999"}) {
        EXPECT_FALSE(ParseInteger(bad, v)) << bad;
        EXPECT_EQ(v, 77) << bad;
    }
}

TEST_F(TextNumTest, ParseInteger_RejectsAnythingElseAndKeepsTheValue)
{
    int32_t v = 77;
    for (const char* bad : {"12a", "42 ", " ", "-", "+", "$", "1.5", "1e3", "0x10", "- 5", "$G"}) {
        EXPECT_FALSE(ParseInteger(bad, v)) << bad;
        EXPECT_EQ(v, 77) << bad;
    }
    EXPECT_FALSE(ParseInteger(QString::fromUtf8("١٢"), v)); // digits of another script
}

TEST_F(TextNumTest, ParseIntegerOrWarn_WarnsOnlyAboutNonEmptyBadText)
{
    ScriptedPrompts prompts;
    ScopedPromptSeam use(prompts);
    int32_t v = 77;
    EXPECT_FALSE(ParseIntegerOrWarn("", v));
    EXPECT_EQ(v, 77);
    EXPECT_TRUE(prompts.Texts().isEmpty());

    EXPECT_FALSE(ParseIntegerOrWarn("12a", v));
    EXPECT_EQ(v, 77);
    EXPECT_EQ(prompts.Texts(), QStringList{"Invalid integer \"12a\""});

    EXPECT_TRUE(ParseIntegerOrWarn("12", v));
    EXPECT_EQ(v, 12);
    EXPECT_EQ(prompts.Texts().size(), 1);
}

TEST_F(TextNumTest, ParseFloatOrWarn_NamesTheBadText)
{
    ScriptedPrompts prompts;
    ScopedPromptSeam use(prompts);
    double v = 7;
    EXPECT_TRUE(ParseFloatOrWarn("", v));
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(ParseFloatOrWarn("10.4", v));
    EXPECT_EQ(v, 10.4);
    EXPECT_FALSE(ParseFloatOrWarn("1,5", v));
    EXPECT_EQ(prompts.Texts(), QStringList{"Invalid floating-point amount \"1,5\""});
}

TEST_F(TextNumTest, ParseReal_ReadsPointDecimalsAndExponents)
{
    double v = 9;
    EXPECT_TRUE(ParseReal("", v));
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(ParseReal("2.5", v));
    EXPECT_EQ(v, 2.5);
    EXPECT_TRUE(ParseReal("-0.25", v));
    EXPECT_EQ(v, -0.25);
    EXPECT_TRUE(ParseReal("+3", v));
    EXPECT_EQ(v, 3);
    EXPECT_TRUE(ParseReal("1e3", v));
    EXPECT_EQ(v, 1000);
    EXPECT_TRUE(ParseReal("1.5E-2", v));
    EXPECT_EQ(v, 0.015);
    EXPECT_TRUE(ParseReal(".5", v));
    EXPECT_EQ(v, 0.5);
    EXPECT_TRUE(ParseReal("5.", v));
    EXPECT_EQ(v, 5);
    EXPECT_TRUE(ParseReal("  3.25  ", v));
    EXPECT_EQ(v, 3.25);
}

TEST_F(TextNumTest, ParseReal_RefusesBadTextNaNAndInfinityLeavingZero)
{
    for (const char* bad :
         {"abc",   "nan", "NaN", "-nan", "inf", "-inf", "Infinity", "1e999", "-1e999", "1,5",
          "1.2.3", "1e",  "e5",  "+",    "-",   ".",    "0x10",     "1 5",   "12a",    " "}) {
        double v = 9;
        EXPECT_FALSE(ParseReal(bad, v)) << bad;
        EXPECT_EQ(v, 0) << bad;
        EXPECT_TRUE(std::isfinite(v)) << bad;
    }
}

// Switches the C library's and Qt's number settings to German, where the
// decimal separator is a comma. The C locale is built on the spot when the
// machine has the locale sources but no compiled German locale.
class CommaLocale
{
  public:
    CommaLocale()
    {
        previousC_ = std::setlocale(LC_NUMERIC, nullptr);
        previousQt_ = QLocale();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        cActive_ = TrySetCLocale() || (BuildGermanLocale() && TrySetCLocale());
    }
    ~CommaLocale()
    {
        std::setlocale(LC_NUMERIC, previousC_.c_str());
        QLocale::setDefault(previousQt_);
        if (folder_)
            unsetenv("LOCPATH");
    }
    bool CActive() const { return cActive_; }

  private:
    static bool TrySetCLocale()
    {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"})
            if (std::setlocale(LC_NUMERIC, name))
                return true;
        return false;
    }
    bool BuildGermanLocale()
    {
        if (!QDir("/usr/share/i18n/locales").exists("de_DE"))
            return false;
        folder_ = std::make_unique<QTemporaryDir>();
        const QString target = folder_->path() + "/de_DE.UTF-8";
        if (QProcess::execute("localedef", {"-i", "de_DE", "-f", "UTF-8", target}) != 0)
            return false;
        setenv("LOCPATH", folder_->path().toLocal8Bit().constData(), 1);
        return true;
    }

    std::string previousC_;
    QLocale previousQt_;
    std::unique_ptr<QTemporaryDir> folder_;
    bool cActive_ = false;
};

TEST_F(TextNumTest, NumbersUseAPointInACommaLocale)
{
    CommaLocale comma;
    if (comma.CActive()) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.1f", 2.5);
        ASSERT_STREQ(buf, "2,5"); // the switch took effect
    }
    double v = 0;
    EXPECT_TRUE(ParseReal("2.5", v));
    EXPECT_EQ(v, 2.5);
    EXPECT_FALSE(ParseReal("2,5", v));
    EXPECT_EQ(FormatFixed(2.5, 3), "2.500");
    EXPECT_EQ(FormatFixed(-1234567.125, 3), "-1234567.125"); // no thousands separators
}

} // namespace
