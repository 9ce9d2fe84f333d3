#pragma once
// The write-ahead log SQLite keeps beside a store file ("tables.sqlite-wal")
// and the mark that ties it to that file.
//
// SQLite applies a log to whatever file bears the log's name when it next
// opens it. A log that a crash left beside the store would therefore be
// applied to a backup copied over the store while the program was closed,
// mixing two files' pages. Every change the table engine commits also
// writes a commit mark into the store file's header (its user version): a
// high half chosen at random at each opening of the store, and a low half
// one more than the mark before. A log belongs to a file only when the
// file's mark is one that the log's committed changes wrote, or the one from
// just before the first of them.

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace tables
{

// What SQLite would take from a log: its committed changes.
struct LogContents {
    bool Committed = false; // at least one committed change
    // The commit marks written by those changes, in the order they were
    // committed (only changes that rewrote the header carry one).
    std::vector<uint32_t> Marks;
};

// The committed changes of a log file, read as SQLite reads them: the header
// and each frame checked, nothing past the last valid commit. A missing,
// empty or unreadable log holds none.
LogContents ReadLog(const QString& logFile);

// The commit mark in a store file's header; none when the file is not a
// database.
std::optional<uint32_t> StoreFileMark(const QString& storeFile);

// Whether a log with these contents may be applied to a file with this mark.
// A log whose changes carry no mark at all (left by another program, or by an
// older version of this one) cannot be told apart and is left to SQLite.
bool LogBelongsToFile(const LogContents& log, std::optional<uint32_t> fileMark);

// Whether another process has the store open (it holds SQLite's lock on the
// log's index), so that its log is in use rather than left by a crash.
bool StoreInUseElsewhere(const QString& storeFile);

// Moves a log that a crash left and that does not belong to the store file
// beside it out of SQLite's way, to "<log>.set-aside-<date>-<time>", so that it
// is never applied to the file. The new name, or empty when the log was left
// where it is (none, empty, in use, or the file's own). Throws an EngineError
// when a foreign log cannot be moved.
QString SetAsideForeignLog(const QString& storeFile);

} // namespace tables
