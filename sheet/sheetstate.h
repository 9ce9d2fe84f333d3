#pragma once
// The sheet's own state and the cursor routines every sheet command uses.
// The O and X cursors, the joining preview and the guides are painted by
// inverting onto the sheet bitmap, so painting twice restores the pixels;
// the flags here record what is painted, so that each shape is shown once
// and hidden once.

#include "platform/canvas.h"
#include "sheet/drawing.h"
#include "store/records.h"

#include <QSize>
#include <QString>

struct Edition;
struct Forms;
class Store;

// What the sheet's logic needs of the main window.
class SheetHost
{
  public:
    virtual ~SheetHost() = default;
    // The scroll box around the bitmap: its client area and its outer size.
    virtual QSize ScrollBoxClientSize() const = 0;
    virtual QSize ScrollBoxSize() const = 0;
    // The side panel's width while it is visible, else 0.
    virtual int SidePanelWidth() const = 0;
    // The "Show Points" button is down.
    virtual bool ShowPointsDown() const = 0;
    // A new bitmap replaced the old one; the image shows it from now on.
    virtual void BitmapReplaced() = 0;
    // Pixels of the bitmap changed.
    virtual void BitmapChanged() = 0;
    // The cross-hairs went with the old bitmap: the guides button pops up.
    virtual void ReleaseGuides() = 0;
    virtual void ClearActiveControl() = 0;
    virtual void ShowStatus() = 0;
    virtual void EnableSelectSegmentAtX(bool enabled) = 0;
};

// Shapes of the joining preview.
constexpr int PreviewLine = 1;
constexpr int PreviewArcX = 2; // about X, starting at O
constexpr int PreviewArcO = 3; // about O, starting at X
constexpr int PreviewRectangle = 4;

class SheetState
{
  public:
    SheetState(Forms& forms, SheetHost& host);
    SheetState(const SheetState&) = delete;
    SheetState& operator=(const SheetState&) = delete;

    Store& Core() const;
    SheetHost& Host() const { return host_; }
    // What this program does differently from the other.
    const Edition& Program() const;

    Canvas Bitmap;
    SheetDrawing Drawing{Bitmap}; // holds CursorO, CursorX, ArcAngle, DrawFaint
    TPointRec& CursorO() { return Drawing.CursorO; }
    TPointRec& CursorX() { return Drawing.CursorX; }

    bool CursorOShown = false;
    bool CursorXShown = false;
    int PreviewKind = 0;
    bool PreviewDrawn = false;
    int JoinMode = 0; // 0 idle, 1 measured entry, 2 joining panel open
    bool WrappedAtEnd = false;
    bool WrappedAtStart = false;
    TPointRec PrevO; // the undo snapshot
    TPointRec PrevX;
    TPointRec XMemory;
    TPointRec GuidePoint;
    TSegRec LastSegment;
    TPointRec LastDrawnEnd; // to-point of the last segment the redraw drew
    int ZoomFactor = 1;     // 1 to 4: the bitmap is the scroll box times this
    QString LastText;
    bool ExtendHintPending = true;

    void DrawCursorO();
    void DrawCursorX();
    void ShowCursorO();
    void HideCursorO();
    void ShowCursorX();
    void HideCursorX();
    void ShowCursors();
    void HideCursors();
    void DrawNewSegmentPreview();
    void ShowNewSegmentPreview();
    void HideNewSegmentPreview();
    void MarkWrappedAtEnd() { WrappedAtEnd = true; }
    void MarkWrappedAtStart() { WrappedAtStart = true; }
    void SaveUndoOX();
    void RestoreLastSegment();
    void DrawGuides();
    // Reports and answers true when there is no diagram or no scale, so
    // that a command turning pixels into lengths does not run.
    bool ScaleMissing();

  private:
    Forms& forms_;
    SheetHost& host_;
};

// Hides cursors for as long as it lives and shows them again after, also
// when the command fails on the way, so that a failed command does not
// leave the sheet without its cursors. Showing X refreshes the status
// panel, which reads the store: an error there reaches the caller, unless
// the command's own error is already on its way, which is then the one
// reported.
class CursorsShownAgain
{
  public:
    CursorsShownAgain(const CursorsShownAgain&) = delete;
    CursorsShownAgain& operator=(const CursorsShownAgain&) = delete;

  protected:
    using Routine = void (SheetState::*)();
    CursorsShownAgain(SheetState& sheet, Routine hide, Routine show);
    ~CursorsShownAgain() noexcept(false);

  private:
    SheetState& sheet_;
    Routine show_;
    int failuresBefore_;
};

// Both cursors, with the pending stepping notices when they come back.
class CursorsHidden : public CursorsShownAgain
{
  public:
    explicit CursorsHidden(SheetState& sheet)
        : CursorsShownAgain(sheet, &SheetState::HideCursors, &SheetState::ShowCursors)
    {
    }
};

// X alone (with the joining preview, which follows it).
class CursorXHidden : public CursorsShownAgain
{
  public:
    explicit CursorXHidden(SheetState& sheet)
        : CursorsShownAgain(sheet, &SheetState::HideCursorX, &SheetState::ShowCursorX)
    {
    }
};
