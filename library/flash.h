#pragma once
// The flash note: a small borderless aqua window beside the mouse that needs
// no answer, stays on top for a time that grows with the length of the
// message and then hides itself. Messages that arrive while it shows are
// added below as new lines.

#include <QString>
#include <QWidget>

class QFrame;
class QLabel;
class QTimer;

// Base display time in milliseconds (1500 at start); the store reads it from
// and writes it to the ini file.
int FlashIntervalMs();
void SetFlashIntervalMs(int ms);

// The range AskFlashInterval accepts.
inline constexpr int MinFlashIntervalMs = 500;
inline constexpr int MaxFlashIntervalMs = 2000;
// A base time read from a file, pulled into that range.
int SensibleFlashInterval(int ms);

// How long a note shows for a newly arrived text: the base time for fewer
// than 21 characters, else the length times a twentieth of the base time.
int FlashDisplayMs(const QString& text, int intervalMs);

// The text the note shows now, and whether a timed note is showing.
QString FlashText();
bool FlashShowing();

// Shows the text as a note; an empty text hides the note at once.
void Flash(const QString& text);
void HideFlash();
// Asks for a new base display time between 500 and 2000 ms.
bool AskFlashInterval();
void TestFlash();

class TFFlash : public QWidget
{
    Q_OBJECT

  public:
    explicit TFFlash(QWidget* parent = nullptr);

    // Shows the note's text, grown to fit it, near the mouse, and starts
    // the display time afresh.
    void ShowNote(const QString& text, int displayMs);
    void HideNote();

    QFrame* Panel1;
    QLabel* Label1;
    QTimer* Timer1;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void FitToLabel();
    void Timer1Timer();
};

// The one flash note of the run: the one handed over by UseFlashWindow while
// it exists, else one the library makes on first use.
TFFlash& FFlash();
// Makes the program's own flash note (not owned) the one Flash uses.
void UseFlashWindow(TFFlash* note);
