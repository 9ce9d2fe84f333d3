// The notes of a diagram, kept in the "notes" column of its drawing.DB row.

#include "tablestore/core.h"

namespace
{

const QString NotesField = QStringLiteral("notes");

} // namespace

bool TFcore::LoadDiagramNotes(int32_t dgnum, QString& notes)
{
    notes.clear();
    // A store closed under the window (by a repair's backup) is opened again
    // before the notes are read, so the window never works on a dead table.
    if (dgnum <= 0 || !ReopenNotesTable() || !Table5.FindKey({dgnum})) {
        return false;
    }
    notes = Table5.FieldByName(NotesField).AsString();
    return true;
}

bool TFcore::SaveDiagramNotes(int32_t dgnum, const QString& notes)
{
    if (dgnum <= 0 || !ReopenNotesTable()) {
        return false;
    }
    bool saved = false;
    WriteGroup([&] {
        // Found again just before the edit: the row is posted whole, so it
        // must carry what is stored now, not what it held when the notes
        // window was filled.
        if (!Table5.FindKey({dgnum})) {
            return;
        }
        Table5.Edit();
        Table5.FieldByName(NotesField).SetString(notes);
        Table5.Post();
        saved = true;
    });
    if (saved) {
        Table5.FlushBuffers();
    }
    return saved;
}

bool TFcore::ReopenNotesTable()
{
    if (Table5.Active()) {
        return true;
    }
    if (!Database1.Connected()) {
        return false;
    }
    Table5.Open();
    return Table5.Active();
}
