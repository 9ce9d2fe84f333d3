#pragma once
// The commands of the main window's menus and buttons that open a dialog or
// change the store: each checks what it needs, calls one entry routine and
// refreshes the sheet or the caption from the answer.

#include <functional>

class TFSheet;
struct Forms;
class Store;

class SheetCommands
{
  public:
    SheetCommands(TFSheet& sheet, Forms& forms) : sheet_(sheet), forms_(forms) {}

    // The program's export of its store, when it has one; true when the
    // export succeeded and the program is to end.
    std::function<bool()> ExportToFirebird;

    void Open1Click();
    void New1Click();
    void Profiles1Click();
    void Layers1Click();
    void exportFB1Click();
    // "Measured": a chain of measured segments from X.
    void Button2Click();
    void MeasuredSegmentAtX();

  private:
    Store& Core() const;

    TFSheet& sheet_;
    Forms& forms_;
};
