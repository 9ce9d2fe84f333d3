#pragma once
// The input box: a small borderless window that asks for one line of text or
// a whole number under one or two prompt lines. It opens where the message
// boxes open and can be dragged by its face. One instance serves the whole
// run; the routines below reach it through the prompt seam.

#include <QChar>
#include <QDialog>
#include <QString>
#include <cstdint>

class FaceDrag;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// Which prompt line the next input box draws larger: 'A' the second, 'B' the
// first. Goes back to 'A' after every box.
QChar InputEmphasis();
void SetInputEmphasis(QChar emphasis);

// True only on OK, with the edited text; otherwise text is unchanged.
bool InputText(const QString& prompt, QString& text);
// InputText until the text fits a column of width characters: a longer one
// is refused with "<what> may be at most <width> characters long" and asked
// again, never cut. True only on OK with a fitting text.
bool InputFittingText(const QString& prompt, QString& text, int width, const QString& what);
bool InputText2(const QString& prompt1, const QString& prompt2, QString& text);
// The edit starts with the number when it is above 0, else empty. True only
// on OK with a whole number (the empty text is 0); otherwise the number is
// unchanged and nothing is said.
bool InputNumber(const QString& prompt, int32_t& number);
bool InputNumber2(const QString& prompt1, const QString& prompt2, int32_t& number);
// InputNumber that says "Invalid integer" and asks again, with the typed text,
// until the text is a whole number; false only when the user cancels.
bool InputWholeNumber(const QString& prompt, int32_t& number);

class TFinpstr : public QDialog
{
    Q_OBJECT

  public:
    explicit TFinpstr(QWidget* parent = nullptr);

    // Shows the box modally at the dialog anchor; true on OK with the edited
    // line in text.
    bool Ask(const QString& prompt1, const QString& prompt2, QChar emphasis, QString& text);

    QFrame* Panel1;
    QLabel* Label1;
    QLabel* Label2;
    QLineEdit* Edit1;
    QPushButton* Button1;
    QPushButton* Button2;

  private:
    void BuildPanel();
    void BuildControls();
    void SetPromptFonts(QChar emphasis);
    void PlaceAtAnchor();
    void SetPrompts(const QString& prompt1, const QString& prompt2);
    void WidenFor(const QLabel& label);
    void Button1Click();
    void Button2Click();

    FaceDrag* drag_; // the panel is the drag surface
};

// The one input box of the run: the one handed over by UseInputBox while
// it exists, else one the library makes on first use.
TFinpstr& Finpstr();
// Makes the program's own input box (not owned) the one every prompt uses.
void UseInputBox(TFinpstr* box);
