#include "library/qtprompts.h"

#include "library/inpstr.h"
#include "library/messages.h"

#include <QMessageBox>
#include <QShowEvent>

namespace
{

// A message box that takes its place from the dialog anchor once it knows
// its own size, which it works out only as it is shown.
class AnchoredMessageBox : public QMessageBox
{
  public:
    AnchoredMessageBox(Icon icon, const QString& caption, const QString& text,
                       StandardButtons buttons, QPoint anchor)
        : QMessageBox(icon, caption, text, buttons), anchor_(anchor)
    {
        // Shown as typed: no markup, and "&" is never an accelerator here.
        setTextFormat(Qt::PlainText);
    }

  protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        PlaceWindowAt(*this, anchor_);
    }

  private:
    QPoint anchor_;
};

QChar QuestionLetter(int result)
{
    switch (result) {
    case QMessageBox::Yes:
        return QLatin1Char('Y');
    case QMessageBox::No:
        return QLatin1Char('N');
    case QMessageBox::Cancel:
        return QLatin1Char('C');
    default:
        return QLatin1Char(' ');
    }
}

} // namespace

void QtPrompts::Info(const QString& caption, const QString& text)
{
    AnchoredMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok,
                           GetDialogAnchor());
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.exec();
    RememberDialogPlace(box);
}

QChar QtPrompts::YesNoCancel(const QString& caption, const QString& text)
{
    AnchoredMessageBox box(QMessageBox::Question, caption, text,
                           QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                           GetDialogAnchor());
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    const int result = box.exec();
    RememberDialogPlace(box);
    return QuestionLetter(result);
}

bool QtPrompts::InputLine(const QString& prompt1, const QString& prompt2, QChar emphasis,
                          QString& text)
{
    return Finpstr().Ask(prompt1, prompt2, emphasis, text);
}

void QtPrompts::ErrorBox(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
