#pragma once
// The about window: what the program is, which program file is running and
// the date of that file. Shown modeless near the mouse, as often as asked.

#include "dialogs/edition.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class QFrame;
class QLabel;
class QPushButton;
class QTextEdit;

class TFAbout1 : public QDialog
{
    Q_OBJECT

  public:
    TFAbout1(const AboutText& about, const QString& programFile, QWidget* parent = nullptr);

    QFrame* Panel3;
    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label3;
    QLabel* Label2;
    QTextEdit* Memo1;
    QFrame* Panel1;
    QPushButton* OKBtn;

  private:
    void BuildTopPanel(const QString& programName);
    void BuildMemo(const QStringList& lines);
    void BuildBottomPanel();
    void FormCreate(const QString& programFile);
};
