#pragma once
// Copying files and folders with their modification times kept, asking
// whether to retry a file that fails, and the program's own folder. Folder
// texts end with the folder separator "/" unless said otherwise.

#include <QDateTime>
#include <QString>
#include <QStringList>

class QFile;

// File attribute bits as the copy routines test them: a read-only file lacks
// its owner's write permission, a hidden one's name starts with ".".
enum FileAttribute {
    FileAttrReadOnly = 0x01,
    FileAttrHidden = 0x02,
    FileAttrDirectory = 0x10,
};

// True when every given bit is set for the path. A path whose attributes
// cannot be read (one that does not exist) has every bit set.
bool FileHasAttributes(const QString& path, int attributes);

// Appends "/" to a non-empty path that does not end with it. (The name is the
// library's own; the separator is this system's.)
void AddTrailingBackslash(QString& path);

// Makes the folder and every missing parent folder.
void ForceFolder(const QString& folder);

// CopyFileChunked of source into folder (one trailing "/" removed first);
// false when it raised, with its text in error when one is asked for.
bool TryCopyFile(const QString& source, QString folder, QString* error = nullptr);

// Gives the open file the last-write time; false, after the information box
// "FileSetDate error (Last Mod TS) <error code>", when it cannot be set.
bool SetFileModified(QFile& file, const QDateTime& modified);

// Copies the file into the folder, made first when missing, and gives the
// copy the source's modification time (creation times cannot be set on this
// system). False when the copy failed; a copy whose time could not be set
// still counts as made.
bool CopyFileKeepDates(const QString& source, QString folder, QString* error = nullptr);

// CopyFileKeepDates of sourceFolder + name into targetFolder.
bool CopyNamedFile(const QString& name, const QString& sourceFolder, const QString& targetFolder,
                   QString* error = nullptr);

// How a folder copy ended.
struct FolderCopy {
    bool Complete = true; // every file of the source folder was copied
    QStringList Failures; // "<name>: <cause>" for each file skipped or stopped at
};

// The names of the plain files of a folder, hidden ones too, in name order:
// no sub-folders, pipes, sockets or devices.
QStringList PlainFileNames(const QString& folder);

// Copies every plain file of the source folder (not its sub-folders, nor its
// pipes, sockets or devices, which are passed over unopened) into the
// target folder, which is made with the information box "Making directory "
// + target when it is missing; its parent must exist, and a failure to make
// it raises an InOutError. A file that fails is offered again with "File
// open error on <name> - retry?": Yes (or a box closed otherwise) retries,
// No skips it, Cancel stops. Shows the busy cursor while it copies.
FolderCopy CopyFolderFiles(const QString& source, const QString& target);

// The folder of the running program's file, with a trailing "/".
QString ProgramFolder();

// The program folder as the library's start-up found it.
QString ProgramFolderPath();
void SetProgramFolderPath(const QString& folder);
