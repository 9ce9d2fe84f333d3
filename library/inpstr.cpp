#include "library/inpstr.h"

#include "library/facedrag.h"
#include "library/messages.h"
#include "library/promptseam.h"
#include "library/textnum.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <memory>

namespace
{

QChar inputEmphasis = QLatin1Char('A');

std::unique_ptr<TFinpstr> finpstrInstance;
QPointer<TFinpstr> programInputBox;

void DestroyFinpstr()
{
    finpstrInstance.reset();
}

// Puts the emphasis back to 'A' however the box is left.
class EmphasisReset
{
  public:
    EmphasisReset() = default;
    ~EmphasisReset() { SetInputEmphasis(QLatin1Char('A')); }
    EmphasisReset(const EmphasisReset&) = delete;
    EmphasisReset& operator=(const EmphasisReset&) = delete;
};

QLabel* MakePromptLabel(QWidget* parent, int x, int y)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText); // the prompt shows as typed, "&" included
    label->move(x, y);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const QString& text, int x)
{
    auto* button = new QPushButton(text, parent);
    button->setGeometry(x, 104, 57, 25);
    button->setFocusPolicy(Qt::NoFocus); // not a tab stop: the focus stays on the edit
    return button;
}

} // namespace

QChar InputEmphasis()
{
    return inputEmphasis;
}

void SetInputEmphasis(QChar emphasis)
{
    inputEmphasis = emphasis;
}

bool InputText(const QString& prompt, QString& text)
{
    return InputText2(prompt, QString(), text);
}

bool InputText2(const QString& prompt1, const QString& prompt2, QString& text)
{
    EmphasisReset reset;
    return Prompts().InputLine(prompt1, prompt2, inputEmphasis, text);
}

bool InputNumber(const QString& prompt, int32_t& number)
{
    return InputNumber2(prompt, QString(), number);
}

bool InputNumber2(const QString& prompt1, const QString& prompt2, int32_t& number)
{
    QString text = number > 0 ? QString::number(number) : QString();
    if (!InputText2(prompt1, prompt2, text))
        return false;
    return ParseInteger(text, number);
}

bool InputWholeNumber(const QString& prompt, int32_t& number)
{
    QString text = number > 0 ? QString::number(number) : QString();
    for (;;) {
        if (!InputText(prompt, text))
            return false;
        int32_t typed = 0;
        if (ParseInteger(text, typed)) {
            number = typed;
            return true;
        }
        ShowInfo(QStringLiteral("Invalid integer ") + InDoubleQuotes(text));
    }
}

TFinpstr::TFinpstr(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), drag_(new FaceDrag(*this))
{
    setModal(true);
    resize(245, 153);
    BuildPanel();
    BuildControls();
}

void TFinpstr::BuildPanel()
{
    Panel1 = drag_->MakeFacePanel();
}

void TFinpstr::BuildControls()
{
    Label1 = MakePromptLabel(Panel1, 16, 16);
    Label2 = MakePromptLabel(Panel1, 16, 37);
    Edit1 = new QLineEdit(Panel1);
    Edit1->setGeometry(32, 64, 193, Edit1->sizeHint().height());
    Button1 = MakeButton(Panel1, QStringLiteral("OK"), 104);
    Button1->setDefault(true);
    Button2 = MakeButton(Panel1, QStringLiteral("Cancel"), 168);
    connect(Button1, &QPushButton::clicked, this, &TFinpstr::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFinpstr::Button2Click);
}

bool TFinpstr::Ask(const QString& prompt1, const QString& prompt2, QChar emphasis, QString& text)
{
    SetPromptFonts(emphasis);
    SetPrompts(prompt1, prompt2);
    // The box only ever grows, so a long prompt leaves it wide for later ones.
    WidenFor(*Label1);
    WidenFor(*Label2);
    // Placed at its final width, so that a long prompt does not run past
    // the screen's edge.
    PlaceAtAnchor();
    Edit1->setText(text);
    Edit1->selectAll();
    Edit1->setFocus();
    if (exec() != QDialog::Accepted)
        return false;
    text = Edit1->text();
    return true;
}

void TFinpstr::SetPromptFonts(QChar emphasis)
{
    QFont small = font();
    small.setPointSize(8);
    QFont large = font();
    large.setPointSize(10);
    const bool firstLarger = emphasis == QLatin1Char('B');
    Label1->setFont(firstLarger ? large : small);
    Label2->setFont(firstLarger ? small : large);
}

void TFinpstr::PlaceAtAnchor()
{
    PlaceWindowAt(*this, GetDialogAnchor());
}

void TFinpstr::SetPrompts(const QString& prompt1, const QString& prompt2)
{
    Label1->setText(prompt1);
    Label1->adjustSize();
    Label2->setText(prompt2);
    Label2->adjustSize();
    Label2->setVisible(!prompt2.isEmpty());
}

void TFinpstr::WidenFor(const QLabel& label)
{
    const int needed = label.x() * 2 + label.width() + 4;
    if (width() < needed)
        resize(needed, height());
}

void TFinpstr::Button1Click()
{
    Edit1->setFocus();
    accept();
}

void TFinpstr::Button2Click()
{
    Edit1->setFocus();
    reject();
}

TFinpstr& Finpstr()
{
    if (programInputBox)
        return *programInputBox;
    if (!finpstrInstance) {
        finpstrInstance = std::make_unique<TFinpstr>();
        // The box must go before the application object that it lives in.
        qAddPostRoutine(DestroyFinpstr);
    }
    return *finpstrInstance;
}

void UseInputBox(TFinpstr* box)
{
    programInputBox = box;
}

bool InputFittingText(const QString& prompt, QString& text, int width, const QString& what)
{
    QString typed = text;
    for (;;) {
        if (!InputText(prompt, typed)) {
            return false;
        }
        if (typed.size() <= width) {
            text = typed;
            return true;
        }
        ShowInfo(what + QStringLiteral(" may be at most ") + QString::number(width) +
                 QStringLiteral(" characters long"));
    }
}
