#pragma once
// The folder-choice window: the folders from the root down to the current
// folder followed by its subfolders, the files of the current folder beside
// them (shown, never chosen), and a choice of the mounted drives.

#include <QDialog>
#include <QString>
#include <vector>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSplitter;
class QToolButton;

// One line of the folder list.
struct FolderItem {
    QString Path; // the folder's full path
    QString Text; // its name, indented by its depth
};

// The folder list of a folder: the root and every folder down to it, then
// its subfolders in name order (hidden ones left out).
std::vector<FolderItem> FolderListItems(const QString& folder);

class Tfselfolder : public QDialog
{
    Q_OBJECT

  public:
    explicit Tfselfolder(QWidget* parent = nullptr);

    // Shows the folders from the start folder (the working folder when the
    // start is not a folder); true on OK with the folder the list stands in.
    bool ChooseFolder(QString& folder);

    // The folder the folder list stands in.
    const QString& CurrentFolder() const { return folder_; }
    // Makes a folder the current one: the lists, the drive and the caption
    // follow it. False, and nothing changes, when it is not a folder.
    bool OpenFolder(const QString& path);
    // Index of the first item of the folder list whose path is exactly the
    // given one; -1 when none is.
    int FindFolderItem(const QString& path) const;
    // Opens the parent of the current folder and selects the folder left.
    void BackToParentFolder();

    QLabel* HintLabel;
    QToolButton* SpeedButton1;
    QSplitter* Splitter1;
    QListWidget* DirectoryListBox1;
    QListWidget* FileListBox1;
    QLabel* DriveLabel;
    QComboBox* DriveComboBox1;
    QPushButton* SelBtn;
    QPushButton* CancelBtn;

    // The drive box's choice: its path (the item's data) becomes the
    // folder list's folder.
    void DriveComboBox1Change();
    void DirectoryListBox1Click();
    void FileListBox1Click();

  private:
    QWidget* BuildLists();
    QWidget* BuildBottomStrip();
    void FillDrives();
    void ShowDriveOfFolder();
    void FillFolderList();
    void FillFileList();
    void DirectoryListBox1Change();

    QString folder_;
};
