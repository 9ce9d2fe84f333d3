#pragma once
// The layers window: the layers of the open diagram with their visibility.
// It picks a layer for new and edited items (ChooseLayer) and manages the
// layers (ShowLayers): new, rename, delete, hidden/faint/bold, all hidden,
// moving segments and saving the visibilities into a profile. Every change
// is stored at once; OK and Cancel only decide what the entry routine
// returns.

#include "store/layersdata.h"
#include "store/records.h"

#include <QDialog>
#include <cstdint>
#include <memory>
#include <vector>

class QAction;
class QActionGroup;
class QGroupBox;
class QMenu;
class QMenuBar;
class QPushButton;
class QTableWidget;
class QWidget;
class Store;
struct Forms;

class TFLayers : public QDialog
{
    Q_OBJECT

  public:
    TFLayers(Store& store, std::unique_ptr<LayersData> data, Forms& forms,
             QWidget* parent = nullptr);
    ~TFLayers() override;

    // Opens on the record's layer; on OK with a layer selected the record
    // takes its number, name and visibility and the result is true.
    bool ChooseLayer(TLayerRec& layer);
    // Opens on layer 0; true when the window closes with OK.
    bool ShowLayers();
    // The sheet's "Layers" command: true when the sheet must be refreshed.
    bool ManageLayers();

    void PrepareLayerList(int32_t layernum);
    void ReloadLayers();
    void MarkLayerSortColumn();
    void GoToLayerRow(int32_t layernum);
    void ReloadLayersKeepingRow();

    // "Hidden", "Faint", "Bold", or "error" for any other visibility.
    static QString VisibilityText(int32_t visib);

    QTableWidget* DBGrid1;
    QWidget* Panel1;
    QGroupBox* GroupBox1;
    QPushButton* Button4; // "Load", never enabled
    QPushButton* Button1; // "Save"
    QPushButton* Button2; // "OK"
    QPushButton* Button3; // "Cancel"
    QMenuBar* MainMenu1;
    QAction* Close1;
    QAction* Movesegs1;
    QAction* New1;
    QAction* Allhidden1;
    QAction* bynumber1;
    QAction* byname1;
    QAction* byVisibility1;
    QMenu* PopupMenu1;
    QAction* Hidden1;
    QAction* Faint1;
    QAction* Bold1;
    QAction* Rename1;
    QAction* Delete1;

  private:
    void BuildGrid();
    void BuildPanel();
    void BuildMenus();
    void BuildPopupMenu();
    void FillGrid();
    const TLayerRec* CurrentLayerRow() const;
    LayerOrder CheckedOrder() const;
    void SortBy(QAction* item);
    void TitleClick(int column);
    void PopupMenu1Popup();
    void VisibilityClick(QAction* item);
    void New1Click();
    void Rename1Click();
    void Delete1Click();
    // The questions before layer n goes; true when every one was answered Yes.
    bool ConfirmLayerDelete(int32_t n);
    void Allhidden1Click();
    void Movesegs1Click();
    void Button1Click();

    Store& store_;
    std::unique_ptr<LayersData> data_;
    Forms& forms_;
    QActionGroup* sequence_;
    QActionGroup* visibility_;
    std::vector<TLayerRec> rows_;
};
