#include "library/flash.h"

#include "library/controls.h"
#include "library/inpstr.h"
#include "library/promptseam.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <memory>

namespace
{

int flashIntervalMs = 1500;
QString flashText;
bool flashShowing = false;

std::unique_ptr<TFFlash> fflashInstance;
QPointer<TFFlash> programFlash;

void DestroyFFlash()
{
    fflashInstance.reset();
}

} // namespace

int FlashIntervalMs()
{
    return flashIntervalMs;
}

void SetFlashIntervalMs(int ms)
{
    flashIntervalMs = ms;
}

int SensibleFlashInterval(int ms)
{
    return std::clamp(ms, MinFlashIntervalMs, MaxFlashIntervalMs);
}

int FlashDisplayMs(const QString& text, int intervalMs)
{
    // The ini file may hold any number; a negative time would leave the note
    // up for good, and a huge one must not overflow.
    const int64_t base = std::max(intervalMs, 0);
    const int64_t ms = text.size() < 21 ? base : text.size() * (base / 20);
    return static_cast<int>(std::min<int64_t>(ms, INT_MAX));
}

QString FlashText()
{
    return flashText;
}

bool FlashShowing()
{
    return flashShowing;
}

void Flash(const QString& text)
{
    if (text.isEmpty()) {
        HideFlash();
        return;
    }
    TFFlash& note = FFlash();
    if (note.Timer1->isActive())
        flashText += QLatin1Char('\n') + text;
    else
        flashText = text;
    flashShowing = true;
    Prompts().NoteFlashed(text);
    note.ShowNote(flashText, FlashDisplayMs(text, flashIntervalMs));
    QCoreApplication::processEvents();
}

void HideFlash()
{
    if (programFlash)
        programFlash->HideNote();
    else if (fflashInstance)
        fflashInstance->HideNote();
    flashShowing = false;
}

bool AskFlashInterval()
{
    int32_t value = flashIntervalMs;
    if (!InputWholeNumber(QStringLiteral("Enter flash interval in milliseconds (500-2000)"), value))
        return false;
    if (value < MinFlashIntervalMs || value > MaxFlashIntervalMs) {
        Flash(QStringLiteral("Out of range"));
        return false;
    }
    flashIntervalMs = value;
    Flash(QStringLiteral("Flash interval updated OK"));
    return true;
}

void TestFlash()
{
    Flash(QStringLiteral("Flash messages require no action"));
}

TFFlash::TFFlash(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Flash"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(260, 36);

    Panel1 = new QFrame(this);
    QPalette palette = Panel1->palette();
    palette.setColor(QPalette::Window, QColor(0, 255, 255));
    Panel1->setPalette(palette);
    Panel1->setAutoFillBackground(true);
    Panel1->setGeometry(rect());

    Label1 = new QLabel(Panel1);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->move(13, 12);

    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &TFFlash::Timer1Timer);
}

void TFFlash::ShowNote(const QString& text, int displayMs)
{
    Timer1->start(displayMs);
    Label1->setText(text);
    Label1->adjustSize();
    if (!isVisible())
        resize(120, height());
    FitToLabel();
    ShowNearMouse(*this);
    QCoreApplication::processEvents();
}

void TFFlash::FitToLabel()
{
    const int neededWidth = Label1->x() + Label1->width() + 20;
    const int neededHeight = 2 * Label1->y() + Label1->height();
    resize(std::max(width(), neededWidth), std::max(20, neededHeight));
}

void TFFlash::HideNote()
{
    Timer1->stop();
    hide();
}

void TFFlash::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Panel1->setGeometry(rect());
}

void TFFlash::Timer1Timer()
{
    Timer1->stop();
    if (flashShowing)
        HideFlash();
    QCoreApplication::processEvents();
}

TFFlash& FFlash()
{
    if (programFlash)
        return *programFlash;
    if (!fflashInstance) {
        fflashInstance = std::make_unique<TFFlash>();
        qAddPostRoutine(DestroyFFlash);
    }
    return *fflashInstance;
}

void UseFlashWindow(TFFlash* note)
{
    if (programFlash != note)
        HideFlash(); // a note up in the window being replaced would stay up
    programFlash = note;
}
