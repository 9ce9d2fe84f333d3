#include "dialogs/notepad.h"

#include "dialogs/notepadfiles.h"
#include "library/calendar.h"
#include "library/commondialogs.h"
#include "library/controls.h"
#include "library/datetexts.h"
#include "library/flagguard.h"
#include "library/flash.h"
#include "library/inpstr.h"
#include "library/messages.h"
#include "library/textnum.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace
{

const QColor NotepadPaper(235, 215, 255);
const QSize MinimumNotepadSize(200, 120);
// Where the caret goes when the window is shown: the end of any text of up
// to that many characters.
constexpr int NotepadCaretPosition = 32000;

} // namespace

QString NotepadSaveReport(bool changed, bool autosavePending, qint64 secondsToAutosave,
                          bool savedOnce)
{
    if (changed && autosavePending)
        return QStringLiteral("Changes will anyway be saved automatically in ") +
               QString::number(secondsToAutosave) + QStringLiteral(" second") +
               (secondsToAutosave == 1 ? QString() : QStringLiteral("s")) + QStringLiteral(",") +
               QLatin1Char('\r') + QStringLiteral("or when the Notepad is closed.");
    if (changed)
        return QStringLiteral("Changes could not be saved yet; they will be saved at the next "
                              "change, or when the Notepad is closed.");
    if (savedOnce)
        return QStringLiteral("All changes have already been saved");
    return QStringLiteral("There are no changes to save");
}

int NotepadSearchFrom(int textLength, int caret, bool hasSelection, int selectionStart)
{
    if (hasSelection)
        return selectionStart + 1;
    return caret >= textLength ? 0 : caret;
}

QString WithTxtEnding(const QString& fileName)
{
    if (fileName.right(4).toLower() == QStringLiteral(".txt"))
        return fileName;
    return fileName + QStringLiteral(".txt");
}

void NotepadInfo(const QString& text)
{
    ScopedMsgCaption caption(QStringLiteral("Notepad"));
    ShowInfo(text);
}

bool NotepadConfirm(const QString& text)
{
    ScopedMsgCaption caption(QStringLiteral("Notepad"));
    return Confirm(text);
}

TFnotepad::TFnotepad(const QString& programFolder, QWidget* parent) : QDialog(parent)
{
    const QDir folder(programFolder);
    NotepadTextPath = folder.filePath(QStringLiteral("npad.txt"));
    NotepadIniPath = folder.filePath(QStringLiteral("npad.ini"));
    resize(520, 400);
    Timer1 = new QTimer(this);
    Timer1->setInterval(NotepadAutosaveMs);
    connect(Timer1, &QTimer::timeout, this, &TFnotepad::Timer1Timer);
    Timer2 = new QTimer(this);
    Timer2->setInterval(500);
    connect(Timer2, &QTimer::timeout, this, &TFnotepad::Timer2Timer);
    BuildMemo();
    BuildMenu();
    LoadNotepadSettings();
    LoadNotepadText();
    setWindowTitle(QCoreApplication::applicationName() + QStringLiteral(" - Notepad"));
    SetNotepadChanged(false);
}

TFnotepad::~TFnotepad()
{
    NotepadDestroying = true;
    Timer1->stop();
    Timer2->stop();
    SaveNotepadAll();
}

void TFnotepad::BuildMemo()
{
    // The default button, under the memo: Enter reaches it only when the
    // memo does not take the key.
    Button1 = new QPushButton(QStringLiteral("Hidden"), this);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QWidget::close);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette palette = Memo1->palette();
    palette.setColor(QPalette::Base, NotepadPaper);
    Memo1->setPalette(palette);
    Memo1->installEventFilter(this);
    connect(Memo1, &QPlainTextEdit::textChanged, this, &TFnotepad::Memo1Change);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);
}

void TFnotepad::BuildMenu()
{
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setNativeMenuBar(false);
    Close1 = MainMenu1->addAction(QStringLiteral("Close"));
    Save1 = MainMenu1->addAction(QStringLiteral("Save"));
    Now1 = MainMenu1->addAction(QStringLiteral("Now!"));
    Export1 = MainMenu1->addMenu(QStringLiteral("Export"));
    toClipboard1 = Export1->addAction(QStringLiteral("to Clipboard"));
    toFile1 = Export1->addAction(QStringLiteral("to File"));
    Font1 = MainMenu1->addAction(QStringLiteral("Font"));
    End1 = MainMenu1->addAction(QStringLiteral("Scroll-to-cursor"));
    Clear1 = MainMenu1->addAction(QStringLiteral("Clear"));
    Search1 = MainMenu1->addAction(QStringLiteral("Search"));
    layout()->setMenuBar(MainMenu1);
    connect(Close1, &QAction::triggered, this, &QWidget::close);
    connect(Save1, &QAction::triggered, this, &TFnotepad::Save1Click);
    connect(Now1, &QAction::triggered, this, &TFnotepad::Now1Click);
    connect(toClipboard1, &QAction::triggered, this, &TFnotepad::toClipboard1Click);
    connect(toFile1, &QAction::triggered, this, &TFnotepad::toFile1Click);
    connect(Font1, &QAction::triggered, this, &TFnotepad::Font1Click);
    connect(End1, &QAction::triggered, this, &TFnotepad::ScrollToCaret);
    connect(Clear1, &QAction::triggered, this, &TFnotepad::Clear1Click);
    connect(Search1, &QAction::triggered, this, &TFnotepad::Search1Click);
}

void TFnotepad::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFnotepad::FormShow()
{
    // The file is the text unless the window holds edits not yet saved.
    if (!NotepadChanged)
        LoadNotepadText();
    NotepadReady = true;
    QTextCursor caret = Memo1->textCursor();
    caret.setPosition(std::min(NotepadCaretPosition, Memo1->document()->characterCount() - 1));
    Memo1->setTextCursor(caret);
    Memo1->setFocus();
    Timer2->start();
}

void TFnotepad::closeEvent(QCloseEvent* event)
{
    SaveNotepadAll();
    event->accept();
}

void TFnotepad::reject()
{
    close();
}

void TFnotepad::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (!NotepadDestroying)
        NotepadSettingsChanged = true;
}

bool TFnotepad::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Memo1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            close();
            return true;
        }
        if (key == Qt::Key_F3) {
            FindNextInMemo();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFnotepad::Timer1Timer()
{
    Timer1->stop();
    SaveNotepadText();
}

void TFnotepad::Timer2Timer()
{
    ScrollToCaret();
    Timer2->stop();
}

void TFnotepad::ScrollToCaret()
{
    Memo1->ensureCursorVisible();
}

void TFnotepad::Memo1Change()
{
    if (NotepadReady && !loading_)
        SetNotepadChanged(true);
}

void TFnotepad::SetNotepadChanged(bool changed)
{
    NotepadChanged = changed;
    if (!changed) {
        Timer1->stop();
        return;
    }
    // A running autosave is not put off by later changes: it comes 15
    // seconds after the first one.
    if (!Timer1->isActive()) {
        Timer1->start();
        AutosaveDue = Now().addMSecs(Timer1->interval());
    }
}

bool TFnotepad::SaveNotepadText()
{
    if (NotepadSettingsChanged)
        SaveNotepadSettings();
    if (!NotepadChanged)
        return true;
    QString error;
    if (!WriteTextFile(NotepadTextPath, Memo1->toPlainText(), error)) {
        // Still changed: the next change or closing tries again.
        Timer1->stop();
        NotepadInfo(QStringLiteral("Error : could not save the Notepad to ") +
                    InDoubleQuotes(NotepadTextPath) + QStringLiteral(" - ") + error +
                    QLatin1Char('\r') + QStringLiteral("The text is kept in the Notepad."));
        return false;
    }
    SetNotepadChanged(false);
    NotepadSavedOnce = true;
    return true;
}

bool TFnotepad::SaveNotepadSettings()
{
    NotepadSettings settings;
    SetNotepadFont(settings, Memo1->font());
    settings.FormTop = y();
    settings.FormLeft = x();
    settings.FormWidth = width();
    settings.FormHeight = height();
    QString error;
    if (!WriteNotepadSettings(NotepadIniPath, settings, error)) {
        NotepadInfo(QStringLiteral("Error : could not save the Notepad's settings - ") + error);
        return false;
    }
    NotepadSettingsChanged = false;
    return true;
}

void TFnotepad::SaveNotepadAll()
{
    if (NotepadReady)
        SaveNotepadText(); // the settings first, when they changed
    else if (NotepadSettingsChanged)
        SaveNotepadSettings();
}

void TFnotepad::LoadNotepadSettings()
{
    const NotepadSettings settings = ReadNotepadSettings(NotepadIniPath);
    Memo1->setFont(NotepadFont(settings));
    // The settings file may hold any place and size: the window is kept on
    // the screen and no larger than it.
    const QRect wanted(settings.FormLeft >= 0 ? settings.FormLeft : x(),
                       settings.FormTop >= 0 ? settings.FormTop : y(),
                       settings.FormWidth > 0 ? settings.FormWidth : width(),
                       settings.FormHeight > 0 ? settings.FormHeight : height());
    const QRect fit = RectWithinScreen(wanted, MinimumNotepadSize, ScreenRectAt(wanted.topLeft()));
    move(fit.topLeft());
    resize(fit.size());
}

void TFnotepad::LoadNotepadText()
{
    QString text, error;
    if (ReadTextFile(NotepadTextPath, text, error)) {
        FlagGuard loading(loading_);
        Memo1->setPlainText(text);
    } else if (!error.isEmpty()) {
        NotepadInfo(QStringLiteral("Error : could not read ") + InDoubleQuotes(NotepadTextPath) +
                    QStringLiteral(" - ") + error);
    }
    NotepadSavedOnce = false;
}

void TFnotepad::Save1Click()
{
    const qint64 seconds = std::abs(Now().msecsTo(AutosaveDue)) / 1000;
    NotepadInfo(NotepadSaveReport(NotepadChanged, Timer1->isActive(), seconds, NotepadSavedOnce));
}

void TFnotepad::Now1Click()
{
    const TDateTimeRec now = DateTimeRecFromDateTime(DateTimeValueOf(Now()));
    Memo1->insertPlainText(FormatDateTimeRec(now, DateTimeMinutes));
}

void TFnotepad::toClipboard1Click()
{
    Memo1->selectAll();
    Memo1->copy();
    Memo1->moveCursor(QTextCursor::Start);
    Flash(QStringLiteral("Exported OK"));
}

void TFnotepad::toFile1Click()
{
    QString chosen;
    if (!Dialogs().SaveFileName(this, QStringLiteral("Text files (*.txt)"), chosen))
        return;
    const QString path = WithTxtEnding(chosen);
    // The dialog asked about replacing the name as chosen, not with the
    // ending added.
    if (path != chosen && QFileInfo::exists(path) &&
        !NotepadConfirm(InDoubleQuotes(path) + QStringLiteral(" already exists - replace it ?")))
        return;
    QString error;
    if (!WriteTextFile(path, Memo1->toPlainText(), error)) {
        NotepadInfo(QStringLiteral("Error : could not export to ") + InDoubleQuotes(path) +
                    QStringLiteral(" - ") + error);
        return;
    }
    Flash(QStringLiteral("Exported OK"));
}

void TFnotepad::Font1Click()
{
    QFont font = Memo1->font();
    if (!Dialogs().ChooseFont(this, font))
        return;
    Memo1->setFont(font);
    NotepadSettingsChanged = true;
}

void TFnotepad::Clear1Click()
{
    if (!NotepadConfirm(QStringLiteral("Clear the notepad - are you sure ?")))
        return;
    if (!NotepadConfirm(QStringLiteral("... really sure ? (last chance)")))
        return;
    Memo1->clear();
    SetNotepadChanged(true);
}

void TFnotepad::Search1Click()
{
    AskSearchText();
}

void TFnotepad::AskSearchText()
{
    SetInputEmphasis(QLatin1Char('B'));
    if (!InputText2(QStringLiteral("Search for"),
                    QStringLiteral("(afterwards use F3 for Find Next)"), SearchText) ||
        SearchText.isEmpty())
        return;
    SearchText = SearchText.toLower();
    FirstSearch = true;
    FindNextInMemo();
}

void TFnotepad::FindNextInMemo()
{
    if (SearchText.isEmpty())
        return;
    const QString text = Memo1->toPlainText();
    const QTextCursor caret = Memo1->textCursor();
    const int from = NotepadSearchFrom(int(text.size()), caret.position(), caret.hasSelection(),
                                       caret.selectionStart());
    const qsizetype at = text.indexOf(SearchText, from, Qt::CaseInsensitive);
    if (at < 0) {
        ShowInfo(InDoubleQuotes(SearchText) + (FirstSearch
                                                   ? QStringLiteral(" - not found")
                                                   : QStringLiteral(" - no more instances")));
        return;
    }
    FirstSearch = false;
    QTextCursor match(Memo1->document());
    match.setPosition(int(at));
    match.setPosition(int(at + SearchText.size()), QTextCursor::KeepAnchor);
    Memo1->setTextCursor(match);
    ScrollToCaret();
}
