#pragma once
// Which file a path names, as the system tells files apart: its device and
// inode. A database file deleted, moved away or replaced while a program
// holds it open is no longer the file its path names, although the program
// can go on writing into it; all of that is lost when the program lets go.

#include <QString>
#include <cstdint>
#include <optional>

struct FileIdentity {
    uint64_t Device = 0;
    uint64_t Inode = 0;

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The file the path names now (one stat); none when nothing is there.
std::optional<FileIdentity> IdentityOf(const QString& path);

// Whether the path still names the file that was opened as opened.
bool StillTheFileOpened(const QString& path, const std::optional<FileIdentity>& opened);

// What a user is told when the database file a program writes has gone.
QString DatabaseFileGoneText(const QString& path);
