#pragma once
// The status bar's segment and point buttons: the details of the segment
// between O and X (also reached from "Select segment at X"), the deletion
// of that segment, and the details of the points under O and X.

class TFSheet;
class SheetState;
class Store;
struct Forms;
struct TPointRec;

class SheetSegmentCommands
{
  public:
    SheetSegmentCommands(TFSheet& sheet, Forms& forms) : sheet_(sheet), forms_(forms) {}

    // EdSegBtn: the window opens above the mouse, to its right.
    void EdSegBtnClick();
    // SelSegBtn2: O, X and the current segment from the last segment; the
    // window opens below the mouse, to its left.
    void SelSegBtn2Click();
    void SegmentDetailsCommand();
    // delsegbtn: the current segment goes and the next visible one becomes
    // current, with O and X on its ends.
    void DeleteCurrentSegment();
    void EdPtOBtnClick();
    void EdPtXBtnClick();

  private:
    SheetState& Sheet() const;
    Store& Core() const;
    void EditPointCommand(const TPointRec& point);
    // The visible segment after the current one, first after the last.
    bool NextVisibleSegment(int segnum, int& next) const;

    TFSheet& sheet_;
    Forms& forms_;
};
