#pragma once
// The notepad beside the program: free text that belongs to no diagram, in
// "npad.txt" in the program folder, with its font and window place in
// "npad.ini". A modeless window; changes are saved 15 seconds after the
// first unsaved one, whenever the window closes and when it is destroyed.

#include <QDateTime>
#include <QDialog>
#include <QString>
#include <functional>

class QAction;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QTimer;

// The Save command's report on the state of the text: changes waiting for
// the autosave, changes whose saving failed, or none.
QString NotepadSaveReport(bool changed, bool autosavePending, qint64 secondsToAutosave,
                          bool savedOnce);
// Where a search for the next match starts, counted from 0: just after the
// first character of a selection, else at the caret, else (with the caret
// at the end) at the first character.
int NotepadSearchFrom(int textLength, int caret, bool hasSelection, int selectionStart);
// The name with ".txt" appended unless it ends in ".txt" in any letter case.
QString WithTxtEnding(const QString& fileName);

// The time the next autosave is due when there are changes: milliseconds.
inline constexpr int NotepadAutosaveMs = 15000;

class TFnotepad : public QDialog
{
    Q_OBJECT

  public:
    // The files lie in the program folder given.
    explicit TFnotepad(const QString& programFolder, QWidget* parent = nullptr);
    ~TFnotepad() override;

    void Timer1Timer();
    void Timer2Timer();
    void Save1Click();
    void Now1Click();
    void toClipboard1Click();
    void toFile1Click();
    void Font1Click();
    void Clear1Click();
    void Search1Click();
    void FindNextInMemo();

    // The clock the autosave report and the time stamp read; tests set it.
    std::function<QDateTime()> Now = [] { return QDateTime::currentDateTime(); };

    QString NotepadTextPath;
    QString NotepadIniPath;
    bool NotepadChanged = false;
    QDateTime AutosaveDue;
    bool NotepadSavedOnce = false;
    bool NotepadSettingsChanged = false;
    bool NotepadReady = false;
    QString SearchText;
    bool FirstSearch = true;

    QPlainTextEdit* Memo1;
    QMenuBar* MainMenu1;
    QAction* Close1;
    QAction* Save1;
    QAction* Now1;
    QMenu* Export1;
    QAction* toClipboard1;
    QAction* toFile1;
    QAction* Font1;
    QAction* End1;
    QAction* Clear1;
    QAction* Search1;
    QTimer* Timer1; // the autosave
    QTimer* Timer2; // one scroll to the caret after showing
    QPushButton* Button1;

  public slots:
    // Esc comes here as the window's close does.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildMemo();
    void BuildMenu();
    void FormShow();
    void Memo1Change();
    void SetNotepadChanged(bool changed);
    bool SaveNotepadText();
    bool SaveNotepadSettings();
    void SaveNotepadAll();
    void LoadNotepadSettings();
    void LoadNotepadText();
    void AskSearchText();
    void ScrollToCaret();

    bool NotepadDestroying = false;
    bool loading_ = false; // the text being loaded is no change
};

// The notepad's boxes carry the caption " Notepad".
void NotepadInfo(const QString& text);
bool NotepadConfirm(const QString& text);
