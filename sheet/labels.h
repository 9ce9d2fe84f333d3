#pragma once
// Text labels from the sheet: a label added at X, and the two small menus
// of the status bar that edit the label at O or X, move a label between O
// and X and delete one. A stored point carries at most one label.

class QMenu;
class QString;
class QAction;
class TFSheet;
class SheetState;
class Store;
struct Forms;
struct TPointRec;

class SheetLabels
{
  public:
    SheetLabels(TFSheet& sheet, Forms& forms) : sheet_(sheet), forms_(forms) {}

    // "Text at X".
    void TextAtX();
    void EditTextAtO();
    void EditTextAtX();
    void MoveTextToX();
    void MoveTextToO();
    void DeleteTextAtO();
    void DeleteTextAtX();

    // Builds the two menus as children of the main window.
    void BuildPopupMenus();

    QMenu* PopupMenu1 = nullptr; // O: "Edit text at O", "Move text to X", "Delete text"
    QAction* Edittext1 = nullptr;
    QAction* Movetext1 = nullptr;
    QAction* Deletetext1 = nullptr;
    QMenu* PopupMenu2 = nullptr; // X: "Edit text at X", "Move text to O", "Delete text"
    QAction* Edittext2 = nullptr;
    QAction* Movetext2 = nullptr;
    QAction* Deletetext2 = nullptr;

  private:
    SheetState& Sheet() const;
    Store& Core() const;
    void EditTextAt(int pointnum);
    void MoveText(const TPointRec& from, const TPointRec& to, const char* question);
    void DeleteTextAt(const TPointRec& point, const char* question);
    // Writes the label on the bitmap at X at once, in navy.
    void WriteLabelAtX(const QString& text);

    TFSheet& sheet_;
    Forms& forms_;
};
