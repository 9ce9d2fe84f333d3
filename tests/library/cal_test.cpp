// The calendar window: its month grid laid out by the library's own day
// numbers, its buttons, and its entry routines.

#include "library/cal.h"
#include "library/datetexts.h"
#include "support/modalhelper.h"
#include "support/scriptedprompts.h"

#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <gtest/gtest.h>

namespace
{

TDateRec Date(int y, int m, int d)
{
    return TDateRec{uint16_t(y), uint16_t(m), uint16_t(d)};
}

class CalendarGrid : public ::testing::Test
{
  protected:
    void SetUp() override { InitCalendarDefaults(); }
    void TearDown() override { InitCalendarDefaults(); }

    // Every day of the month sits in the grid, one after the other, in the
    // column of its weekday.
    static void ExpectWellLaidOut(const TDateRec& month)
    {
        const std::vector<MonthGridDay> days = MonthGridDays(month);
        ASSERT_FALSE(days.empty()) << IsoDateText(month).toStdString();
        for (size_t i = 0; i < days.size(); ++i) {
            const MonthGridDay& d = days[i];
            SCOPED_TRACE(IsoDateText(Date(month.Year, month.Month, d.Day)).toStdString());
            EXPECT_GE(d.Col, 0);
            EXPECT_LE(d.Col, 6);
            EXPECT_GE(d.Row, 1);
            EXPECT_LE(d.Row, 6);
            EXPECT_EQ(d.Col, DayOfWeekRec(Date(month.Year, month.Month, d.Day)) - 1);
            if (i > 0) {
                EXPECT_EQ((days[i - 1].Row * 7 + days[i - 1].Col) + 1, d.Row * 7 + d.Col);
            }
        }
    }

    static std::vector<int> DaysOf(const TDateRec& month)
    {
        std::vector<int> out;
        for (const MonthGridDay& d : MonthGridDays(month))
            out.push_back(d.Day);
        return out;
    }
};

TEST_F(CalendarGrid, September1752LeavesOutTheDaysOfTheTransition)
{
    const std::vector<MonthGridDay> days = MonthGridDays(Date(1752, 9, 20));
    ASSERT_EQ(days.size(), 19u); // 1, 2, then 14 to 30
    EXPECT_EQ(days[0].Day, 1);
    EXPECT_EQ(days[0].Col, 1); // Tuesday
    EXPECT_EQ(days[1].Day, 2);
    EXPECT_EQ(days[1].Col, 2); // Wednesday
    EXPECT_EQ(days[2].Day, 14);
    EXPECT_EQ(days[2].Col, 3); // Thursday, in the same week
    EXPECT_EQ(days[2].Row, 1);
    EXPECT_EQ(days.back().Day, 30);
    EXPECT_EQ(days.back().Col, 5); // Saturday
    ExpectWellLaidOut(Date(1752, 9, 1));
}

TEST_F(CalendarGrid, EveryMonthFromYear1To9999StaysInsideTheGrid)
{
    for (int year :
         {1, 2, 4, 100, 1582, 1600, 1700, 1751, 1752, 1753, 1900, 2000, 2024, 9998, 9999})
        for (int month = 1; month <= 12; ++month)
            ExpectWellLaidOut(Date(year, month, 1));
    // Months that start on a Sunday and have 31 days need all six weeks.
    const std::vector<MonthGridDay> days = MonthGridDays(Date(2023, 1, 1));
    EXPECT_EQ(days.front().Col, 6);
    EXPECT_EQ(days.back().Row, 6);
    EXPECT_EQ(days.back().Day, 31);
    // January of year 1 starts on a Saturday.
    EXPECT_EQ(MonthGridDays(Date(1, 1, 1)).front().Col, 5);
}

TEST_F(CalendarGrid, ATransitionIntoTheNextMonthEndsTheMonthAtTheLastJulianDay)
{
    SetLastJulianDay(Date(1700, 2, 18));
    SetFirstGregorianDay(Date(1700, 3, 1));
    std::vector<int> february = DaysOf(Date(1700, 2, 1));
    ASSERT_EQ(february.size(), 18u);
    EXPECT_EQ(february.back(), 18);
    ExpectWellLaidOut(Date(1700, 2, 1));
    // March goes on from the day after 18 February.
    const std::vector<MonthGridDay> march = MonthGridDays(Date(1700, 3, 1));
    EXPECT_EQ(march.size(), 31u);
    EXPECT_EQ(march.front().Col, (MonthGridDays(Date(1700, 2, 1)).back().Col + 1) % 7);
}

TEST_F(CalendarGrid, AReversedTransitionOrYear0NeverFailsTheGrid)
{
    SetLastJulianDay(Date(1752, 9, 14));
    SetFirstGregorianDay(Date(1752, 9, 2));
    for (const MonthGridDay& d : MonthGridDays(Date(1752, 9, 1))) {
        EXPECT_LE(d.Row, 6);
        EXPECT_LE(d.Day, 30);
    }
    EXPECT_EQ(DaysOf(Date(1752, 9, 1)).back(), 14);
    EXPECT_TRUE(MonthGridDays(Date(0, 5, 1)).empty());
    EXPECT_TRUE(MonthGridDays(Date(2002, 13, 1)).empty());
}

TEST(CalendarDates, PlausibleDatesExcludeYears0And9999AndStrayFields)
{
    EXPECT_TRUE(IsPlausibleDate(Date(2002, 9, 1)));
    EXPECT_TRUE(IsPlausibleDate(Date(1, 1, 31)));
    EXPECT_FALSE(IsPlausibleDate(Date(0, 1, 1)));
    EXPECT_FALSE(IsPlausibleDate(Date(9999, 1, 1)));
    EXPECT_FALSE(IsPlausibleDate(Date(2002, 13, 1)));
    EXPECT_FALSE(IsPlausibleDate(Date(2002, 0, 1)));
    EXPECT_FALSE(IsPlausibleDate(Date(2002, 1, 32)));
    EXPECT_FALSE(IsPlausibleDate(Date(2002, 1, 0)));
}

class CalendarWindow : public ::testing::Test
{
  protected:
    void SetUp() override { InitCalendarDefaults(); }
    void TearDown() override { InitCalendarDefaults(); }

    TFCal& Cal() { return *cal_; }

    // The grid position of a day shown, as (row in the table, column).
    std::pair<int, int> CellOf(int day) const
    {
        for (int r = 0; r < 6; ++r)
            for (int c = 0; c < 7; ++c)
                if (cal_->StringGrid1->item(r, c)->text().trimmed() == QString::number(day))
                    return {r, c};
        return {-1, -1};
    }

    void Mouse(QEvent::Type type, int day)
    {
        const auto [row, col] = CellOf(day);
        ASSERT_GE(row, 0) << day;
        QWidget* viewport = cal_->StringGrid1->viewport();
        const QPoint at =
            cal_->StringGrid1->visualItemRect(cal_->StringGrid1->item(row, col)).center();
        QMouseEvent event(type, QPointF(at), QPointF(viewport->mapToGlobal(at)), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &event);
    }

    void ClickDay(int day)
    {
        Mouse(QEvent::MouseButtonPress, day);
        Mouse(QEvent::MouseButtonRelease, day);
    }

    void DoubleClickDay(int day)
    {
        ClickDay(day);
        Mouse(QEvent::MouseButtonDblClick, day);
        Mouse(QEvent::MouseButtonRelease, day);
    }

    // The grid's texts of the week rows, as the user reads them.
    QStringList WeekRow(int row) const
    {
        QStringList cells;
        for (int c = 0; c < 7; ++c)
            cells << cal_->CellText(c, row);
        return cells;
    }

    std::unique_ptr<TFCal> cal_ = std::make_unique<TFCal>();
};

TEST_F(CalendarWindow, ShowsTheMonthWithPaddedDaysAndTheWeekdayHeader)
{
    TDateRec date = Date(1752, 9, 14);
    WhenModal([&](QWidget* w) {
        EXPECT_EQ(w, &Cal());
        Cal().Button3->click();
    });
    EXPECT_FALSE(Cal().RunCalendar(date));
    EXPECT_EQ(WeekRow(0), QStringList({" Mon", " Tue", " Wed", " Thu", " Fri", " Sat", " Sun"}));
    EXPECT_EQ(WeekRow(1), QStringList({"", "   1", "   2", "  14", "  15", "  16", "  17"}));
    EXPECT_EQ(Cal().YearBtn->text(), "1752");
    EXPECT_EQ(Cal().MonthBtn->text(), "September");
    EXPECT_EQ(Cal().Edit1->text(), "1752-09-14 (Thu)");
    EXPECT_EQ(Cal().StringGrid1->currentRow(), 0);
    EXPECT_EQ(Cal().StringGrid1->currentColumn(), 3);
    EXPECT_EQ(date, Date(1752, 9, 14)); // Cancel: untouched
}

TEST_F(CalendarWindow, DoubleClickingADayClosesWithThatDay)
{
    TDateRec date = Date(2002, 9, 1);
    WhenModal([&](QWidget*) { DoubleClickDay(17); });
    EXPECT_TRUE(Cal().RunCalendar(date));
    EXPECT_EQ(date, Date(2002, 9, 17));
}

TEST_F(CalendarWindow, ClickingADayPicksItAndOKTakesTheDateField)
{
    TDateRec date = Date(2002, 9, 1);
    QString field;
    WhenModal([&](QWidget*) {
        ClickDay(5);
        field = Cal().Edit1->text();
        Cal().okbtn->click();
    });
    EXPECT_TRUE(Cal().RunCalendar(date));
    EXPECT_EQ(field, "2002-09-05 (Thu)");
    EXPECT_EQ(date, Date(2002, 9, 5));

    // A field that is no date gives the zero record, still with OK.
    WhenModal([&](QWidget*) {
        Cal().Edit1->setText("soon");
        Cal().okbtn->click();
    });
    EXPECT_TRUE(Cal().RunCalendar(date));
    EXPECT_EQ(date, TDateRec{});
}

TEST_F(CalendarWindow, ImplausibleStartDatesStartAtToday)
{
    for (TDateRec start : {Date(9999, 5, 5), Date(2002, 13, 1), Date(0, 1, 1)}) {
        TDateRec shown;
        WhenModal([&](QWidget*) {
            shown = Cal().CalDate;
            Cal().Button3->click();
        });
        EXPECT_FALSE(Cal().RunCalendar(start));
        EXPECT_EQ(shown, TodayRec());
    }
}

TEST_F(CalendarWindow, StepsByYearAndMonthKeepingTheDay)
{
    Cal().CalDate = Date(2001, 1, 31);
    Cal().ShowCalDate();
    Cal().SpeedButton4->click(); // next month: 31 February, which no cell shows
    EXPECT_EQ(Cal().CalDate, Date(2001, 2, 31));
    EXPECT_EQ(Cal().Edit1->text(),
              "2001-02-31 (" + DayAbbrev(DayOfWeekRec(Date(2001, 2, 31))) + ")");
    EXPECT_EQ(Cal().StringGrid1->currentRow(), -1);
    EXPECT_TRUE(Cal().StringGrid1->selectedItems().isEmpty());
    Cal().SpeedButton2->click();
    Cal().SpeedButton1->click();
    EXPECT_EQ(Cal().CalDate, Date(2000, 1, 31));
    Cal().SpeedButton3->click();
    EXPECT_EQ(Cal().CalDate, Date(2001, 1, 31));
    Cal().PopupMenu2->actions().at(11)->trigger();
    EXPECT_EQ(Cal().CalDate, Date(2001, 12, 31));
    EXPECT_EQ(Cal().MonthBtn->text(), "December");
}

TEST_F(CalendarWindow, SteppingFromYear1IntoYear0ShowsAnEmptyGrid)
{
    Cal().CalDate = Date(1, 1, 1);
    Cal().ShowCalDate();
    Cal().SpeedButton1->click();
    EXPECT_EQ(Cal().CalDate, Date(0, 1, 1));
    for (int row = 1; row <= 6; ++row)
        EXPECT_EQ(WeekRow(row).join(""), "");
    Cal().SpeedButton1->click();
    EXPECT_EQ(Cal().CalDate, Date(9999, 1, 1));
    EXPECT_EQ(MonthGridDays(Cal().CalDate).size(), 31u);
}

TEST_F(CalendarWindow, EnterYearRefusesYear0AndTakesOthers)
{
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    Cal().CalDate = Date(2002, 9, 1);
    Cal().ShowCalDate();
    prompts.Type("0").CancelInput().Type("x").Type("1066");
    Cal().AskYear();
    EXPECT_EQ(prompts.Texts(ScriptedPrompts::Kind::Info),
              QStringList{"Year 0 does not exist, the Julian calendar jumps from 1BC to 1AD"});
    EXPECT_EQ(Cal().CalDate, Date(2002, 9, 1));
    Cal().AskYear(); // Cancel
    Cal().AskYear(); // not a number
    EXPECT_EQ(Cal().CalDate, Date(2002, 9, 1));
    Cal().AskYear();
    EXPECT_EQ(Cal().CalDate, Date(1066, 9, 1));
    EXPECT_EQ(Cal().YearBtn->text(), "1066");
    EXPECT_EQ(prompts.Log().front().text, "Enter year");
    EXPECT_EQ(prompts.Log().front().initial, "2002");
}

TEST_F(CalendarWindow, APresetTransitionHoldsForTheCalendar)
{
    Cal().show();
    Cal().PageControl1->setCurrentIndex(1);
    EXPECT_EQ(Cal().Edit2->text(), "1752-09-02");
    EXPECT_EQ(Cal().Edit3->text(), "1752-09-14");
    Cal().PopupMenu3->actions().at(0)->trigger();
    EXPECT_EQ(Cal().PopupMenu3->actions().at(0)->text(), "Spain / Portugal / Italy / Poland ");
    Cal().Button2->click();
    EXPECT_EQ(Cal().PageControl1->currentIndex(), 0);
    EXPECT_EQ(Cal().CalDate, Date(1582, 10, 15));
    EXPECT_EQ(GetLastJulianDay(), Date(1582, 10, 4));
    EXPECT_EQ(GetFirstGregorianDay(), Date(1582, 10, 15));
    const auto [row, col] = CellOf(4);
    EXPECT_EQ(col, 3);                                                // Thursday
    EXPECT_EQ(Cal().StringGrid1->item(row, col + 1)->text(), "  15"); // then Friday
    Cal().hide();
}

TEST_F(CalendarWindow, UnreadableTransitionDaysChangeNothing)
{
    Cal().show();
    Cal().PageControl1->setCurrentIndex(1);
    Cal().Edit2->setText("1700-02-18");
    Cal().Edit3->setText("yyyy-mm-dd");
    Cal().Button2->click();
    EXPECT_EQ(Cal().PageControl1->currentIndex(), 1);
    EXPECT_EQ(GetLastJulianDay(), Date(1752, 9, 2));
    Cal().Button4->click();
    EXPECT_EQ(Cal().PageControl1->currentIndex(), 0);
    EXPECT_EQ(GetLastJulianDay(), Date(1752, 9, 2));
    Cal().hide();
}

TEST_F(CalendarWindow, PickDateHandsBackTheDateFieldsText)
{
    QString text = "2002-09-01 (Sun)";
    WhenModal([&](QWidget*) {
        EXPECT_EQ(Cal().CalDate, Date(2002, 9, 1));
        DoubleClickDay(3);
    });
    EXPECT_TRUE(Cal().PickDate(text));
    EXPECT_EQ(text, "2002-09-03 (Tue)");
    EXPECT_EQ(Cal().LastPickedDate, text);

    QString kept = "not a date";
    WhenModal([&](QWidget*) {
        EXPECT_EQ(Cal().CalDate, TodayRec());
        Cal().Button3->click();
    });
    EXPECT_FALSE(Cal().PickDate(kept));
    EXPECT_EQ(kept, "not a date");
    EXPECT_EQ(Cal().LastPickedDate, "2002-09-03 (Tue)");
}

} // namespace
