#pragma once
// The calendar window: a modal date picker showing one month as a grid of
// weeks from Monday, laid out by the library's own day numbers, so the month
// of the Julian-to-Gregorian transition shows its missing days as missing.
// Its Options tab sets that transition for the rest of the run.

#include "library/calendar.h"

#include <QDialog>
#include <QString>
#include <vector>

class QGroupBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QToolButton;
class QWidget;

// Year not 0 and not 9999, month 1 to 12, day 1 to 31.
bool IsPlausibleDate(const TDateRec& date);

// A day in the month grid: column 0 is Monday, rows 1 to 6 are the weeks.
struct MonthGridDay {
    int Col;
    int Row;
    int Day;
};

// The days of the month of the date as the grid shows them. The days
// between the last Julian and the first Gregorian day are left out, and a
// month that the transition leaves for another month ends at its last
// Julian day. Year 0 has no weekdays and shows no days. Every day lies
// inside the grid.
std::vector<MonthGridDay> MonthGridDays(const TDateRec& date);

// One of the national transitions the Options tab offers.
struct TransitionPreset {
    QString Name;
    TDateRec LastJulianDay;
    TDateRec FirstGregorianDay;
};
const std::vector<TransitionPreset>& TransitionPresets();

class TFCal : public QDialog
{
    Q_OBJECT

  public:
    explicit TFCal(QWidget* parent = nullptr);

    // Shows the window near the mouse at the date (today when it is not a
    // plausible date); true on OK with the date chosen.
    bool RunCalendar(TDateRec& date);
    // The same from the text of a date field (today when it is no date);
    // true on OK with the date field's text as the window shows it.
    bool PickDate(QString& text);

    void ShowCalDate();
    void FillMonthGrid();
    // The grid's text at a column and row; row 0 is the weekday header.
    QString CellText(int col, int row) const;

    TDateRec CalDate;
    QString LastPickedDate;

    QTabWidget* PageControl1;
    QToolButton* SpeedButton1;
    QPushButton* YearBtn;
    QToolButton* SpeedButton3;
    QWidget* Panel2;
    QToolButton* SpeedButton2;
    QPushButton* MonthBtn;
    QToolButton* SpeedButton4;
    QTableWidget* StringGrid1;
    QPushButton* Button1;
    QLineEdit* Edit1;
    QPushButton* okbtn;
    QPushButton* Button3;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    QPushButton* DeftsBtn;
    QPushButton* Button2;
    QPushButton* Button4;
    QMenu* PopupMenu2;
    QMenu* PopupMenu3;

    void StringGrid1Click();
    void StringGrid1DblClick();
    void okbtnClick();
    void Button2Click();
    void AskYear();

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* BuildCalendarTab();
    QWidget* BuildYearRow();
    QWidget* BuildMonthRow();
    void BuildGrid();
    QWidget* BuildOptionsTab();
    QGroupBox* BuildTransitionGroup();
    void BuildMonthMenu();
    void BuildPresetMenu();
    void WriteHeaderRow();
    void StepDate(void (*step)(TDateRec&));
    void January1Click(int month);
    void ShowOptions();
    void ShowCalendarTab();

    bool GridFilling = false;
};
