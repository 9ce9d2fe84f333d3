#include "library/cal.h"

#include "library/controls.h"
#include "library/datetexts.h"
#include "library/flagguard.h"
#include "library/inpstr.h"
#include "library/messages.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace
{

constexpr int GridColumns = 7;
constexpr int GridWeeks = 6;
constexpr int ColumnWidth = 48;
constexpr int RowHeight = 22;

QToolButton* ArrowButton(Qt::ArrowType arrow)
{
    auto* button = new QToolButton;
    button->setArrowType(arrow);
    return button;
}

// A row of the window: an arrow back, a button in the middle, an arrow on.
QWidget* ArrowRow(QToolButton* back, QPushButton* middle, QToolButton* on, const QString& hint)
{
    auto* row = new QWidget;
    row->setToolTip(hint);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(back);
    layout->addWidget(middle, 1);
    layout->addWidget(on);
    return row;
}

// A day's cell: two blanks, then the day padded to two places with a blank,
// so day 5 reads as three blanks and 5.
QString DayCellText(int day)
{
    return QStringLiteral("  ") + QStringLiteral("%1").arg(day, 2, 10, QLatin1Char(' '));
}

bool SameMonth(const TDateRec& a, const TDateRec& b)
{
    return a.Year == b.Year && a.Month == b.Month;
}

} // namespace

bool IsPlausibleDate(const TDateRec& date)
{
    return date.Year != 0 && date.Year != 9999 && date.Month >= 1 && date.Month <= 12 &&
           date.Day >= 1 && date.Day <= 31;
}

std::vector<MonthGridDay> MonthGridDays(const TDateRec& date)
{
    std::vector<MonthGridDay> days;
    if (date.Year == 0 || date.Month < 1 || date.Month > 12)
        return days;
    LoadMonthLengths(date);
    const int length = YearMonthLengths()[date.Month];
    TDateRec d{date.Year, date.Month, 1};
    int col = DayOfWeekRec(d) - 1;
    int row = 1;
    for (;;) {
        days.push_back({col, row, d.Day});
        if (SameDate(d, GetLastJulianDay())) {
            // The month goes on at the first Gregorian day only when that
            // day lies later in the same month; otherwise the rest of the
            // month never was.
            const TDateRec next = GetFirstGregorianDay();
            if (!SameMonth(next, d) || next.Day <= d.Day)
                break;
            d = next;
        } else {
            ++d.Day;
        }
        if (d.Day > length)
            break;
        if (++col == GridColumns) {
            col = 0;
            if (++row > GridWeeks)
                break;
        }
    }
    return days;
}

const std::vector<TransitionPreset>& TransitionPresets()
{
    static const std::vector<TransitionPreset> presets = {
        {QStringLiteral("Spain / Portugal / Italy / Poland "), {1582, 10, 4}, {1582, 10, 15}},
        {QStringLiteral("France"), {1582, 12, 9}, {1582, 12, 20}},
        {QStringLiteral("Denmark / Norway"), {1700, 2, 18}, {1700, 3, 1}},
        {QStringLiteral("Great Britain and (then) colonies"), {1752, 9, 2}, {1752, 9, 14}},
    };
    return presets;
}

TFCal::TFCal(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral(" Calendar"));
    PageControl1 = new QTabWidget(this);
    PageControl1->setTabPosition(QTabWidget::South);
    PageControl1->addTab(BuildCalendarTab(), QStringLiteral("Calendar"));
    PageControl1->addTab(BuildOptionsTab(), QStringLiteral("Options"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(PageControl1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == 1)
            ShowOptions();
    });
    BuildMonthMenu();
    BuildPresetMenu();
    DeftsBtn->setToolTip(
        QStringLiteral("a huge variety of national transitions to Gregorian calendar since 1582") +
        QLatin1Char('\r') +
        QStringLiteral("complicated by significant changes to national boundaries since then"));
}

QWidget* TFCal::BuildCalendarTab()
{
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(BuildYearRow());
    layout->addWidget(BuildMonthRow());
    BuildGrid();
    layout->addWidget(StringGrid1);
    Button1 = new QPushButton(QStringLiteral("Today"));
    Edit1 = new QLineEdit;
    Edit1->installEventFilter(this);
    okbtn = new QPushButton(QStringLiteral("OK"));
    okbtn->setDefault(true);
    Button3 = new QPushButton(QStringLiteral("Cancel"));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Button1);
    bottom->addWidget(Edit1, 1);
    bottom->addWidget(okbtn);
    bottom->addWidget(Button3);
    layout->addLayout(bottom);
    connect(Button1, &QPushButton::clicked, this, [this] {
        CalDate = TodayRec();
        ShowCalDate();
    });
    connect(okbtn, &QPushButton::clicked, this, &TFCal::okbtnClick);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
    return tab;
}

QWidget* TFCal::BuildYearRow()
{
    SpeedButton1 = ArrowButton(Qt::LeftArrow);
    YearBtn = new QPushButton;
    SpeedButton3 = ArrowButton(Qt::RightArrow);
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { StepDate(PrevYear); });
    connect(SpeedButton3, &QToolButton::clicked, this, [this] { StepDate(NextYear); });
    connect(YearBtn, &QPushButton::clicked, this, &TFCal::AskYear);
    return ArrowRow(SpeedButton1, YearBtn, SpeedButton3,
                    QStringLiteral("Right click to select year"));
}

QWidget* TFCal::BuildMonthRow()
{
    SpeedButton2 = ArrowButton(Qt::LeftArrow);
    MonthBtn = new QPushButton;
    SpeedButton4 = ArrowButton(Qt::RightArrow);
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { StepDate(PrevMonth); });
    connect(SpeedButton4, &QToolButton::clicked, this, [this] { StepDate(NextMonth); });
    connect(MonthBtn, &QPushButton::clicked, this, [this] { PopupAtMouse(*PopupMenu2); });
    Panel2 = ArrowRow(SpeedButton2, MonthBtn, SpeedButton4,
                      QStringLiteral("Right click to select month"));
    Panel2->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Panel2, &QWidget::customContextMenuRequested, this,
            [this] { PopupAtMouse(*PopupMenu2); });
    return Panel2;
}

void TFCal::BuildGrid()
{
    StringGrid1 = new QTableWidget(GridWeeks, GridColumns);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGrid1->horizontalHeader()->setDefaultSectionSize(ColumnWidth);
    StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGrid1->verticalHeader()->setDefaultSectionSize(RowHeight);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int col = 0; col < GridColumns; ++col) {
        StringGrid1->setHorizontalHeaderItem(col, new QTableWidgetItem);
        for (int row = 0; row < GridWeeks; ++row)
            StringGrid1->setItem(row, col, new QTableWidgetItem);
    }
    const int frame = 2 * StringGrid1->frameWidth();
    StringGrid1->setFixedSize(GridColumns * ColumnWidth + frame,
                              StringGrid1->horizontalHeader()->sizeHint().height() +
                                  GridWeeks * RowHeight + frame);
    // A move of the current cell, by mouse or keys, picks its day.
    connect(StringGrid1, &QTableWidget::currentCellChanged, this, &TFCal::StringGrid1Click);
    connect(StringGrid1, &QTableWidget::cellClicked, this, &TFCal::StringGrid1Click);
    connect(StringGrid1, &QTableWidget::cellDoubleClicked, this, &TFCal::StringGrid1DblClick);
}

QWidget* TFCal::BuildOptionsTab()
{
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(BuildTransitionGroup());
    layout->addStretch();
    return tab;
}

QGroupBox* TFCal::BuildTransitionGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Transition from Julian to Gregorian calendar"));
    Edit2 = new QLineEdit(QStringLiteral("yyyy-mm-dd"));
    Edit2->setToolTip(QStringLiteral("date in format yyyy-mm-dd ( see ISO 8601 )"));
    Edit3 = new QLineEdit(QStringLiteral("yyyy-mm-dd"));
    DeftsBtn = new QPushButton(QStringLiteral("some defaults"));
    Button2 = new QPushButton(QStringLiteral("OK"));
    Button2->setAutoDefault(false);
    Button4 = new QPushButton(QStringLiteral("Cancel"));
    Button4->setAutoDefault(false);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("last Julian day"), Edit2);
    form->addRow(QStringLiteral("first Gregorian day"), Edit3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(DeftsBtn);
    buttons->addStretch();
    buttons->addWidget(Button2);
    buttons->addWidget(Button4);
    auto* layout = new QVBoxLayout(group);
    layout->addLayout(form);
    layout->addLayout(buttons);
    connect(DeftsBtn, &QPushButton::clicked, this, [this] { PopupAtMouse(*PopupMenu3); });
    connect(Button2, &QPushButton::clicked, this, &TFCal::Button2Click);
    connect(Button4, &QPushButton::clicked, this, &TFCal::ShowCalendarTab);
    return group;
}

void TFCal::BuildMonthMenu()
{
    PopupMenu2 = new QMenu(this);
    for (int month = 1; month <= 12; ++month) {
        QAction* item = PopupMenu2->addAction(MonthName(month));
        connect(item, &QAction::triggered, this, [this, month] { January1Click(month); });
    }
}

void TFCal::BuildPresetMenu()
{
    PopupMenu3 = new QMenu(this);
    for (const TransitionPreset& preset : TransitionPresets()) {
        QAction* item = PopupMenu3->addAction(preset.Name);
        connect(item, &QAction::triggered, this, [this, preset] {
            Edit2->setText(IsoDateText(preset.LastJulianDay));
            Edit3->setText(IsoDateText(preset.FirstGregorianDay));
        });
    }
}

bool TFCal::RunCalendar(TDateRec& date)
{
    CalDate = IsPlausibleDate(date) ? date : TodayRec();
    PageControl1->setCurrentIndex(0);
    ShowCalDate();
    if (ShowModalNearMouse(*this) != QDialog::Accepted)
        return false;
    date = CalDate;
    return true;
}

bool TFCal::PickDate(QString& text)
{
    TDateRec start;
    if (!ParseIsoDate(text, start))
        start = TodayRec();
    if (!RunCalendar(start))
        return false;
    text = Edit1->text();
    LastPickedDate = text;
    return true;
}

void TFCal::ShowCalDate()
{
    YearBtn->setText(QString::number(CalDate.Year));
    MonthBtn->setText(MonthName(CalDate.Month));
    Edit1->setText(IsoDateDayAbbrev(CalDate));
    FillMonthGrid();
}

void TFCal::FillMonthGrid()
{
    FlagGuard filling(GridFilling);
    StringGrid1->clearSelection();
    StringGrid1->setCurrentCell(-1, -1);
    for (int row = 0; row < GridWeeks; ++row)
        for (int col = 0; col < GridColumns; ++col)
            StringGrid1->item(row, col)->setText(QString());
    for (const MonthGridDay& day : MonthGridDays(CalDate)) {
        StringGrid1->item(day.Row - 1, day.Col)->setText(DayCellText(day.Day));
        if (day.Day == CalDate.Day)
            StringGrid1->setCurrentCell(day.Row - 1, day.Col);
    }
}

QString TFCal::CellText(int col, int row) const
{
    if (row == 0)
        return StringGrid1->horizontalHeaderItem(col)->text();
    return StringGrid1->item(row - 1, col)->text();
}

void TFCal::WriteHeaderRow()
{
    for (int col = 0; col < GridColumns; ++col)
        StringGrid1->horizontalHeaderItem(col)->setText(QLatin1Char(' ') + DayAbbrev(col + 1));
}

void TFCal::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        WriteHeaderRow();
    QDialog::showEvent(event);
}

bool TFCal::eventFilter(QObject* watched, QEvent* event)
{
    // A click in the date field selects all of it, as the button goes up.
    if (watched == Edit1 && event->type() == QEvent::MouseButtonRelease)
        QTimer::singleShot(0, Edit1, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}

void TFCal::StepDate(void (*step)(TDateRec&))
{
    step(CalDate);
    ShowCalDate();
}

void TFCal::January1Click(int month)
{
    CalDate.Month = uint16_t(month);
    ShowCalDate();
}

void TFCal::StringGrid1Click()
{
    if (GridFilling)
        return;
    const QTableWidgetItem* cell = StringGrid1->currentItem();
    if (!cell || cell->text().trimmed().isEmpty())
        return;
    CalDate.Day = uint16_t(cell->text().trimmed().toInt());
    ShowCalDate();
}

void TFCal::StringGrid1DblClick()
{
    const QTableWidgetItem* cell = StringGrid1->currentItem();
    if (!cell || cell->text().trimmed().isEmpty())
        return;
    CalDate.Day = uint16_t(cell->text().trimmed().toInt());
    Edit1->setText(IsoDateDayAbbrev(CalDate));
    accept();
}

void TFCal::okbtnClick()
{
    CalDate = IsoDateOrZero(Edit1->text());
    accept();
}

void TFCal::AskYear()
{
    int32_t year = CalDate.Year;
    if (!InputNumber(QStringLiteral("Enter year"), year))
        return;
    if (year == 0) {
        ShowInfo(
            QStringLiteral("Year 0 does not exist, the Julian calendar jumps from 1BC to 1AD"));
        return;
    }
    CalDate.Year = uint16_t(year);
    ShowCalDate();
}

void TFCal::ShowOptions()
{
    Edit2->setText(IsoDateText(GetLastJulianDay()));
    Edit3->setText(IsoDateText(GetFirstGregorianDay()));
}

void TFCal::Button2Click()
{
    TDateRec last, first;
    if (!ParseIsoDate(Edit2->text(), last) || !ParseIsoDate(Edit3->text(), first))
        return;
    SetLastJulianDay(last);
    SetFirstGregorianDay(first);
    ShowCalendarTab();
    CalDate = first;
    ShowCalDate();
}

void TFCal::ShowCalendarTab()
{
    PageControl1->setCurrentIndex(0);
}
