#include "library/choice.h"

#include "library/facedrag.h"
#include "library/messages.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace
{

QPushButton* MakeButton(QWidget* parent, const QString& text, int x)
{
    auto* button = new QPushButton(text, parent);
    button->setGeometry(x, 90, 113, 25);
    return button;
}

// A caption shows as written: "&" is not taken as an accelerator mark.
QString Literal(QString text)
{
    DoubleAmpersands(text);
    return text;
}

} // namespace

TFchoice::TFchoice(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), drag_(new FaceDrag(*this))
{
    setWindowTitle(QStringLiteral("Please choose"));
    setModal(true);
    setFixedSize(471, 129);
    BuildPanel();
    BuildButtons();
}

void TFchoice::BuildPanel()
{
    Panel1 = drag_->MakeFacePanel();
    Image1 = new QLabel(Panel1);
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    Image1->setGeometry(24, 26, 32, 32);
    Label1 = new QLabel(Panel1);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setGeometry(72, 24, 385, 57);
    drag_->Watch(*Image1);
    drag_->Watch(*Label1);
}

void TFchoice::BuildButtons()
{
    Button1 = MakeButton(Panel1, QStringLiteral("Option 1"), 72);
    Button2 = MakeButton(Panel1, QStringLiteral("Option 2"), 198);
    Button3 = MakeButton(Panel1, QStringLiteral("Cancel"), 320);
    connect(Button1, &QPushButton::clicked, this, &TFchoice::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFchoice::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TFchoice::reject);
}

int TFchoice::Choose(const QString& question, const QString& option1, const QString& option2)
{
    Label1->setText(question);
    Button1->setText(Literal(option1));
    Button2->setText(Literal(option2));
    ChoiceResult = 0;
    const QPoint anchor = GetDialogAnchor();
    PlaceWindowAt(*this, anchor);
    Button1->setFocus();
    exec();
    RememberDialogPlace(*this);
    return ChoiceResult;
}

void TFchoice::Button1Click()
{
    ChoiceResult = 1;
    accept();
}

void TFchoice::Button2Click()
{
    ChoiceResult = 2;
    accept();
}

void TFchoice::reject()
{
    ChoiceResult = 0;
    QDialog::reject();
}
