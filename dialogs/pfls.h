#pragma once
// The profiles window: the profiles of the open diagram, each a named set of
// layer visibilities, with commands to create, rename and delete them. It
// hands back the profile chosen with OK.

#include "store/profilesdata.h"

#include <QDialog>
#include <cstdint>
#include <memory>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;
class QPushButton;
class QTableWidget;
class QWidget;
class Store;
struct Edition;

class TFpfls : public QDialog
{
    Q_OBJECT

  public:
    // edition: the program's, for the texts that differ between programs.
    TFpfls(Store& store, std::unique_ptr<ProfilesData> data, const Edition& edition,
           QWidget* parent = nullptr);
    ~TFpfls() override;

    // Shows the window modally: the number of the profile chosen with OK,
    // 0 for none.
    int32_t ChooseProfile();
    // The sheet's "Profiles" command: a chosen profile is applied to the
    // layers and becomes the current profile. True when the sheet must be
    // refreshed.
    bool SwitchProfile();

    void ReloadProfiles();
    void MarkProfileSortColumn();
    int32_t HighestListedProfile() const;
    int32_t NewProfile();
    void TakeSelectedProfile();

    // The profile handed back by the last OK: -1 before any, 0 after Cancel.
    int32_t SelectedProfile = -1;

    QTableWidget* DBGrid1;
    QWidget* Panel1;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QMenuBar* MainMenu1;
    QAction* Close1;
    QAction* New1;
    QAction* byId1;
    QAction* byName1;
    QMenu* PopupMenu1;
    QAction* Rename1;
    QAction* Delete1;

  private:
    void BuildGrid();
    void BuildPanel();
    void BuildMenus();
    void FillGrid();
    const ProfileRow* CurrentRow() const;
    void SortBy(QAction* item);
    void TitleClick(int column);
    void CancelBtnClick();
    void New1Click();
    void Rename1Click();
    void Delete1Click();

    Store& store_;
    std::unique_ptr<ProfilesData> data_;
    const Edition& edition_;
    QActionGroup* sequence_;
    std::vector<ProfileRow> rows_;
};
