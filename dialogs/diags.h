#pragma once
// The list of diagrams: opens one, and holds the routines that create a
// diagram, rename one and change the open diagram's units and decimal
// places.

#include "store/diagramrows.h"

#include <QDialog>
#include <memory>

class QAction;
class QActionGroup;
class QFrame;
class QMenu;
class QMenuBar;
class QPushButton;
class QTableWidget;
class Store;
struct Edition;

class TFDiags : public QDialog
{
    Q_OBJECT

  public:
    // rows are the diagrams of the program's own store; the edition gives
    // the list's columns.
    TFDiags(Store& store, std::unique_ptr<DiagramRows> rows, const Edition& edition,
            QWidget* parent = nullptr);

    // Shows the list; true when a diagram was opened with "Open" or a
    // double-click (an empty list opens nothing but still answers true).
    bool ChooseDiagram();
    void ReloadDiagramList();
    void MarkDiagramSortColumn();
    void OpenSelectedDiagram();
    // Asks the number's name, the units and the decimal places, stores the
    // diagram with its first layer and makes it the current one; false,
    // nothing written, when a prompt is cancelled.
    bool NewDiagram();
    // Asks the units and the decimal places, starting from the open
    // diagram's; true with the answers, which the caller stores.
    bool AskUnitsAndDecimals(QString& units, int32_t& decimals);
    bool FindDiagramRow(int32_t number);
    // True with the new name once it is stored; a diagram whose row is gone
    // is reported.
    bool RenameDiagram(int32_t number, QString& name);
    // The open diagram's units and decimal places, asked and stored; no
    // diagram open, or its row gone, is reported.
    bool EditDiagramUnits();

    // The Dgnum of the grid's current row; 0 when the list is empty.
    int32_t SelectedDiagram() const;

    QMenuBar* MainMenu1;
    QAction* Close1;
    QMenu* Sequence1;
    QAction* Num1;
    QAction* Name1;
    QTableWidget* DBGrid1;
    QMenu* PopupMenu1;
    QAction* Rename1;
    QFrame* Panel1;
    QPushButton* Button1;
    QPushButton* Button2;

  private:
    void BuildMenus();
    void BuildGrid();
    void BuildPanel();
    void Button1Click();
    void DBGrid1DblClick();
    void DBGrid1TitleClick(int column);
    void Rename1Click();
    // An input box that asks again, with a message, while the text is
    // longer than its column.
    bool InputDecimals(int32_t& decimals);
    static void ReportMissingRow(int32_t number);

    Store& store_;
    std::unique_ptr<DiagramRows> rows_;
    const Edition& edition_;
    QActionGroup* sequence_;
    DiagramRow foundRow_;
};
