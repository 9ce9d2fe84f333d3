#include "dialogs/notes.h"

#include "store/store.h"

TFnotes::TFnotes(Store& store, QWidget* parent) : QDialog(parent), store_(store)
{
    setWindowTitle(QStringLiteral("Diagram notes"));
    resize(store_.NotesFormWidth, store_.NotesFormHeight);
}
