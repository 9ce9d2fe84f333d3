#pragma once
// The commands of the main window's menus and buttons that open a dialog or
// change the store: each checks what it needs, calls one entry routine and
// refreshes the sheet or the caption from the answer.

#include <QString>
#include <cstdint>
#include <functional>

class TFSheet;
struct Forms;
class Store;

class SheetCommands
{
  public:
    SheetCommands(TFSheet& sheet, Forms& forms) : sheet_(sheet), forms_(forms) {}

    // "Diagram" menu.
    void Diagram1Open();
    void Open1Click();
    void New1Click();
    void Close1Click();
    void Delete1Click();
    void Rename1Click();
    void Units1Click();
    void toClipboard1Click();

    void Profiles1Click();
    void Layers1Click();
    void exportFB1Click();
    void Healthcheck1Click();

    // "Search" menu.
    void forPoint1Click();
    void forSegment1Click();

    // "Options" menu.
    void Options1Open();

    void Notepad1Click();
    void About1Click();
    void QuitBtnClick();
    // Enter and Esc of the sheet: the first enabled button of the panel
    // marked default ("x -> o" in practice), and the enabled cancel button
    // ("Cancel" of the joining panel while it is open, else QuitBtn).
    void PressDefaultButton();
    void PressCancelButton();

    // The open diagram's notes: always, or only when some are written.
    void ShowDiagramNotes();
    void ShowDiagramNotesIfAny();

    // "Measured": a chain of measured segments from X.
    void Button2Click();
    void MeasuredSegmentAtX();

  private:
    Store& Core() const;
    // The number typed after the prompt: false on Cancel. A text that is not
    // a whole number, the empty one among them, is named in a message and
    // the prompt comes again with it.
    static bool AskNumber(const QString& prompt, QString& typed, int32_t& number);

    TFSheet& sheet_;
    Forms& forms_;
};
