#pragma once
// The notes of the open diagram: free text kept with the diagram, edited in
// a modal window and stored only when the user agrees on closing.

#include <QDialog>
#include <cstdint>

class QPlainTextEdit;
class Store;

class TFnotes : public QDialog
{
    Q_OBJECT

  public:
    // Sized from the store's notes window settings, which the store read
    // from the ini file: the window is created after the store for that.
    TFnotes(Store& store, QWidget* parent = nullptr);

    // The open diagram's notes, shown modally; nothing when the diagram has
    // no row (or none is open).
    void ShowDiagramNotes();
    // The same, but only when there is something written in them.
    void ShowDiagramNotesIfAny();

    // Asks what to do with edited notes; true when the window may close.
    bool SaveNotes();

    QPlainTextEdit* Memo1;
    bool NotesChanged = false;

  public slots:
    // Esc and the window's close button come here: the window closes only
    // once the edits are saved or knowingly dropped.
    void reject() override;

  private:
    void FitSizeToScreen();
    void ShowNotes(int32_t dgnum, const QString& notes);

    Store& store_;
    int32_t shownDiagram_ = 0; // the diagram whose notes fill the memo
};

// Where the caret goes when the notes are shown: the end of any text of up
// to that many characters.
inline constexpr int NotesCaretPosition = 32000;
