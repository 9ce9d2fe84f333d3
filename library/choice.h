#pragma once
// The choice window: a borderless question with two named options and
// Cancel, dragged by its face like the input box.

#include <QDialog>

class FaceDrag;
class QFrame;
class QLabel;
class QPushButton;

class TFchoice : public QDialog
{
    Q_OBJECT

  public:
    explicit TFchoice(QWidget* parent = nullptr);

    // Asks the question with the two options as the buttons' captions, at
    // the place where the message boxes open: 1 after the first option, 2
    // after the second, 0 after Cancel or any other way of closing.
    int Choose(const QString& question, const QString& option1, const QString& option2);

    QFrame* Panel1;
    QLabel* Image1;
    QLabel* Label1;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;

    // What the last closing chose: 1, 2, or 0 for Cancel.
    int ChoiceResult = 0;

  public slots:
    // Esc and the window's close come here, as Cancel does.
    void reject() override;

  private:
    void BuildPanel();
    void BuildButtons();
    void Button1Click();
    void Button2Click();

    FaceDrag* drag_; // the panel, the picture and the question are its surfaces
};
