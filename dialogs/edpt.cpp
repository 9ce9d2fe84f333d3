#include "dialogs/edpt.h"

#include "library/datetexts.h"
#include "library/qorvlib.h"
#include "store/coords.h"
#include "store/store.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace
{

const QColor SkyBlue(0xA6, 0xCA, 0xF0);

bool ReadLength(const QString& text, Extended& value)
{
    if (text.trimmed().isEmpty() || !ParseReal(text, value)) {
        ShowInfo(QStringLiteral("Invalid number ") + InDoubleQuotes(text));
        return false;
    }
    return true;
}

bool ReadPixel(const QString& text, int32_t& value)
{
    if (text.trimmed().isEmpty() || !ParseInteger(text, value)) {
        ShowInfo(QStringLiteral("Invalid integer ") + InDoubleQuotes(text));
        return false;
    }
    return true;
}

} // namespace

QString DateTimeValueText(TDateTime value)
{
    const QDateTime base(QDate(1899, 12, 30), QTime(0, 0));
    return DateTimeToStr(base.addMSecs(static_cast<qint64>(std::llround(value * 86400000.0))));
}

TFEdPt::TFEdPt(Store& store, QWidget* parent) : QDialog(parent), store_(store)
{
    setWindowTitle(QStringLiteral("Point details"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, SkyBlue);
    setPalette(palette);

    Label1 = new QLabel(QStringLiteral("Point id = "), this);
    CreateTSLbl = new QLabel(QStringLiteral("Created "), this);
    QFont italic = CreateTSLbl->font();
    italic.setItalic(true);
    CreateTSLbl->setFont(italic);
    Label2 = new QLabel(QStringLiteral("Length coordinates x,y "), this);
    Edit1 = new QLineEdit(this);
    Edit2 = new QLineEdit(this);
    Label3 = new QLabel(QStringLiteral("Pixel coordinates x,y "), this);
    Edit3 = new QLineEdit(this);
    Edit4 = new QLineEdit(this);
    Label4 = new QLabel(QStringLiteral("Last drawn "), this);
    OKBtn = new QPushButton(QStringLiteral("Save"), this);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);

    auto* grid = new QGridLayout;
    grid->addWidget(Label2, 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(Edit2, 0, 2);
    grid->addWidget(Label3, 1, 0);
    grid->addWidget(Edit3, 1, 1);
    grid->addWidget(Edit4, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(CreateTSLbl);
    layout->addLayout(grid);
    layout->addWidget(Label4);
    layout->addLayout(buttons);

    // Save is offered only once the user has typed something.
    for (QLineEdit* edit : {Edit1, Edit2, Edit3, Edit4})
        connect(edit, &QLineEdit::textChanged, this, [this] { OKBtn->setEnabled(true); });
    connect(OKBtn, &QPushButton::clicked, this, &TFEdPt::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

bool TFEdPt::EditPoint(const TPointRec& point)
{
    EditedPoint = point;
    FillEdits();
    return exec() == QDialog::Accepted;
}

void TFEdPt::FillEdits()
{
    const TPointRec& p = EditedPoint;
    QString id = QStringLiteral("Point id = ") + QString::number(p.Pointnum);
    if (p.Pointnum == -1)
        id += QStringLiteral(" (point not stored)");
    Label1->setText(id);
    Edit1->setText(store_.FormatLength(p.Lenx));
    Edit2->setText(store_.FormatLength(p.Leny));
    Edit3->setText(QString::number(p.Pxlx));
    Edit4->setText(QString::number(p.Pxly));
    Label4->setText(QStringLiteral("Last drawn ") + DateTimeValueText(p.Rprts));
    CreateTSLbl->setText(QStringLiteral("Created ") +
                         FormatDateTimeValue(DateTimeSeconds, p.CreateTS));
}

void TFEdPt::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    OKBtn->setEnabled(false);
}

bool TFEdPt::ReadEdits(TPointRec& rec)
{
    Extended lenx = 0;
    Extended leny = 0;
    int32_t pxlx = 0;
    int32_t pxly = 0;
    if (!ReadLength(Edit1->text(), lenx) || !ReadLength(Edit2->text(), leny) ||
        !ReadPixel(Edit3->text(), pxlx) || !ReadPixel(Edit4->text(), pxly))
        return false;
    if (!LengthsInRange({lenx, leny})) {
        ShowInfo(LengthOutOfRangeMessage());
        return false;
    }
    // A length edit the user left alone keeps the stored length, which the
    // display may have rounded; one typed into is saved as typed, even when
    // it reads as the number shown.
    const bool lenxChanged = Edit1->isModified();
    const bool lenyChanged = Edit2->isModified();
    rec.Lenx = lenxChanged ? lenx : EditedPoint.Lenx;
    rec.Leny = lenyChanged ? leny : EditedPoint.Leny;
    rec.Pxlx = pxlx;
    rec.Pxly = pxly;

    const bool pixelToLength = (!lenxChanged && rec.Pxlx != EditedPoint.Pxlx) ||
                               (!lenyChanged && rec.Pxly != EditedPoint.Pxly);
    if (pixelToLength && !(store_.Scale > 0)) {
        ShowInfo(QStringLiteral("Enter a measurement to establish scale"));
        return false;
    }
    if (lenxChanged)
        rec.Pxlx = store_.LenToPixelX(rec.Lenx);
    else if (rec.Pxlx != EditedPoint.Pxlx)
        rec.Lenx = store_.PixelToLenX(rec.Pxlx);
    if (lenyChanged)
        rec.Pxly = store_.LenToPixelY(rec.Leny);
    else if (rec.Pxly != EditedPoint.Pxly)
        rec.Leny = store_.PixelToLenY(rec.Pxly);
    return true;
}

void TFEdPt::OKBtnClick()
{
    // A text that is not a number, or a length out of range, keeps the
    // window open for correcting; a declined confirmation closes it as OK
    // with nothing written.
    TPointRec rec = EditedPoint;
    if (!ReadEdits(rec))
        return;
    if (Confirm(QStringLiteral("Update point - are you really sure?")))
        store_.StorePoint(rec);
    accept();
}
