#include "dialogs/notes.h"

#include "library/controls.h"
#include "library/messages.h"
#include "platform/programfont.h"
#include "store/store.h"

#include <QCursor>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>

namespace
{

const QColor NotesPaper(255, 255, 128);
const QSize MinimumNotesSize(150, 100);

} // namespace

TFnotes::TFnotes(Store& store, QWidget* parent) : QDialog(parent), store_(store)
{
    setWindowTitle(QStringLiteral("Diagram notes"));
    Memo1 = new QPlainTextEdit(this);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(13);
    Memo1->setFont(ProportionalFont(font));
    QPalette palette = Memo1->palette();
    palette.setColor(QPalette::Base, NotesPaper);
    Memo1->setPalette(palette);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);
    connect(Memo1, &QPlainTextEdit::textChanged, this, [this] { NotesChanged = true; });
    FitSizeToScreen();
}

// The size comes from the ini file, which may hold anything: a window
// larger than the screen would take the memory of its whole picture. The
// fitted size goes back to the store, so that the ini file is mended too.
void TFnotes::FitSizeToScreen()
{
    const QRect wanted(pos(), QSize(store_.NotesFormWidth, store_.NotesFormHeight));
    const QSize size =
        RectWithinScreen(wanted, MinimumNotesSize, ScreenRectAt(QCursor::pos())).size();
    resize(size);
    store_.NotesFormWidth = size.width();
    store_.NotesFormHeight = size.height();
}

void TFnotes::ShowDiagramNotes()
{
    const int32_t dgnum = store_.CurrentDiagram;
    QString notes;
    if (store_.LoadDiagramNotes(dgnum, notes))
        ShowNotes(dgnum, notes);
}

void TFnotes::ShowDiagramNotesIfAny()
{
    const int32_t dgnum = store_.CurrentDiagram;
    QString notes;
    if (store_.LoadDiagramNotes(dgnum, notes) && !notes.isEmpty())
        ShowNotes(dgnum, notes);
}

void TFnotes::ShowNotes(int32_t dgnum, const QString& notes)
{
    shownDiagram_ = dgnum;
    Memo1->setPlainText(notes);
    QTextCursor caret = Memo1->textCursor();
    caret.setPosition(std::min(NotesCaretPosition, Memo1->document()->characterCount() - 1));
    Memo1->setTextCursor(caret);
    NotesChanged = false;
    Memo1->setFocus();
    exec();
}

bool TFnotes::SaveNotes()
{
    // The size is kept on every attempt, so the next showing (and through
    // the ini file the next run) opens the window as the user left it.
    store_.NotesFormWidth = width();
    store_.NotesFormHeight = height();
    if (!NotesChanged)
        return true;
    const QChar answer = AskYesNoCancel(QStringLiteral("Save changes to diagram notes?"));
    if (answer == QLatin1Char('Y')) {
        if (store_.SaveDiagramNotes(shownDiagram_, Memo1->toPlainText()))
            return true;
        // Kept open with the edits, so that nothing typed is lost.
        ShowInfo(QStringLiteral("Notes not saved: diagram #") + QString::number(shownDiagram_) +
                 QStringLiteral(" is no longer in the store"));
        return false;
    }
    // Only a plain No leads to dropping the edits; Cancel goes back to them.
    if (answer != QLatin1Char('N'))
        return false;
    return Confirm(QStringLiteral("Discard changes - are you sure?"));
}

void TFnotes::reject()
{
    if (SaveNotes())
        QDialog::reject();
}
