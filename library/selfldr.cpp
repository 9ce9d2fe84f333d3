#include "library/selfldr.h"

#include "library/messages.h"
#include "library/textnum.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QStorageInfo>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace
{

QString Indented(const QString& name, int depth)
{
    return QString(depth * 2, QLatin1Char(' ')) + name;
}

// The folders from the root down to the folder itself, root first.
QStringList FolderChain(const QString& folder)
{
    QStringList chain;
    QDir dir(folder);
    for (;;) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    return chain;
}

QString FolderName(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? path : name;
}

} // namespace

std::vector<FolderItem> FolderListItems(const QString& folder)
{
    std::vector<FolderItem> items;
    const QStringList chain = FolderChain(QDir::cleanPath(QDir(folder).absolutePath()));
    for (int depth = 0; depth < chain.size(); ++depth)
        items.push_back({chain[depth], Indented(FolderName(chain[depth]), depth)});
    const QDir dir(chain.last());
    const QStringList subfolders =
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : subfolders)
        items.push_back({dir.filePath(name), Indented(name, int(chain.size()))});
    return items;
}

Tfselfolder::Tfselfolder(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Select folder"));
    resize(594, 477);
    HintLabel = new QLabel(QStringLiteral("Single-click folder names to drill-down "), this);
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
    SpeedButton1->setToolTip(QStringLiteral("Back to parent folder"));
    auto* middle = new QHBoxLayout;
    auto* leftStrip = new QVBoxLayout;
    leftStrip->addWidget(SpeedButton1);
    leftStrip->addStretch();
    middle->addLayout(leftStrip);
    middle->addWidget(BuildLists(), 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(HintLabel);
    layout->addLayout(middle, 1);
    layout->addWidget(BuildBottomStrip());
    connect(SpeedButton1, &QToolButton::clicked, this, &Tfselfolder::BackToParentFolder);
}

QWidget* Tfselfolder::BuildLists()
{
    Splitter1 = new QSplitter(Qt::Horizontal, this);
    DirectoryListBox1 = new QListWidget(Splitter1);
    FileListBox1 = new QListWidget(Splitter1);
    FileListBox1->setFocusPolicy(Qt::NoFocus);
    QPalette grey = FileListBox1->palette();
    grey.setColor(QPalette::Base, QColor(192, 192, 192));
    FileListBox1->setPalette(grey);
    Splitter1->setSizes({282, 594 - 282});
    connect(DirectoryListBox1, &QListWidget::itemClicked, this,
            &Tfselfolder::DirectoryListBox1Click);
    connect(FileListBox1, &QListWidget::itemClicked, this, &Tfselfolder::FileListBox1Click);
    return Splitter1;
}

QWidget* Tfselfolder::BuildBottomStrip()
{
    auto* strip = new QWidget(this);
    DriveLabel = new QLabel(QStringLiteral("Switch drive to ..."), strip);
    DriveComboBox1 = new QComboBox(strip);
    DriveComboBox1->setMinimumContentsLength(16);
    SelBtn = new QPushButton(QStringLiteral("OK"), strip);
    SelBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), strip);
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(DriveLabel);
    row->addWidget(DriveComboBox1);
    row->addStretch();
    row->addWidget(SelBtn);
    row->addWidget(CancelBtn);
    connect(DriveComboBox1, &QComboBox::activated, this, &Tfselfolder::DriveComboBox1Change);
    connect(SelBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    return strip;
}

bool Tfselfolder::ChooseFolder(QString& folder)
{
    FillDrives();
    if (!OpenFolder(folder))
        OpenFolder(QDir::currentPath());
    DirectoryListBox1->setFocus();
    if (exec() != QDialog::Accepted)
        return false;
    folder = folder_;
    return true;
}

bool Tfselfolder::OpenFolder(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir() || !info.isReadable())
        return false;
    folder_ = QDir::cleanPath(info.absoluteFilePath());
    FillFolderList();
    FillFileList();
    ShowDriveOfFolder();
    DirectoryListBox1Change();
    return true;
}

void Tfselfolder::FillDrives()
{
    DriveComboBox1->clear();
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady())
            roots << volume.rootPath();
    roots.sort();
    roots.removeDuplicates();
    for (const QString& root : roots)
        DriveComboBox1->addItem(root, root);
}

void Tfselfolder::ShowDriveOfFolder()
{
    const QString root = QStorageInfo(folder_).rootPath();
    int index = DriveComboBox1->findData(root);
    if (index < 0 && !root.isEmpty()) {
        DriveComboBox1->addItem(root, root);
        index = DriveComboBox1->count() - 1;
    }
    DriveComboBox1->setCurrentIndex(index);
}

void Tfselfolder::FillFolderList()
{
    DirectoryListBox1->clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    bool below = false;
    for (const FolderItem& folder : FolderListItems(folder_)) {
        auto* item = new QListWidgetItem(below ? closed : open, folder.Text, DirectoryListBox1);
        item->setData(Qt::UserRole, folder.Path);
        if (folder.Path == folder_) {
            DirectoryListBox1->setCurrentItem(item);
            below = true;
        }
    }
}

void Tfselfolder::FillFileList()
{
    FileListBox1->clear();
    FileListBox1->addItems(QDir(folder_).entryList(QDir::Files | QDir::Hidden | QDir::System,
                                                   QDir::Name | QDir::IgnoreCase));
}

int Tfselfolder::FindFolderItem(const QString& path) const
{
    for (int i = 0; i < DirectoryListBox1->count(); ++i)
        if (DirectoryListBox1->item(i)->data(Qt::UserRole).toString() == path)
            return i;
    return -1;
}

void Tfselfolder::BackToParentFolder()
{
    const int i = FindFolderItem(folder_);
    if (i <= 0)
        return;
    const QString left = folder_;
    DirectoryListBox1->setCurrentRow(i - 1);
    DirectoryListBox1Click();
    const int back = FindFolderItem(left);
    if (back >= 0)
        DirectoryListBox1->setCurrentRow(back);
}

void Tfselfolder::DriveComboBox1Change()
{
    const QString drive = DriveComboBox1->currentData().toString();
    if (OpenFolder(drive))
        return;
    ShowInfo(QStringLiteral("Drive ") + drive + QStringLiteral(": not found"));
    ShowDriveOfFolder();
}

void Tfselfolder::DirectoryListBox1Click()
{
    const QListWidgetItem* item = DirectoryListBox1->currentItem();
    if (!item)
        return;
    const QString path = item->data(Qt::UserRole).toString();
    if (path == folder_ || OpenFolder(path))
        return;
    // Gone or closed to us since the list was made.
    ShowInfo(InDoubleQuotes(path) + QStringLiteral(" - folder not found"));
    FillFolderList();
}

void Tfselfolder::FileListBox1Click()
{
    FileListBox1->clearSelection();
    DirectoryListBox1->setFocus();
}

void Tfselfolder::DirectoryListBox1Change()
{
    // Paths are shown as they are: on this file system the case of a name
    // is part of it.
    setWindowTitle(QStringLiteral("Select folder ") + InDoubleQuotes(folder_));
}
