#pragma once
// The copy of one file in chunks, and the errors the file routines raise.

#include <QString>
#include <stdexcept>

// What the file routines raise; the text names the file.
class FileError : public std::runtime_error
{
  public:
    explicit FileError(const QString& text) : std::runtime_error(text.toStdString()) {}
};

// The source cannot be opened for reading.
class FileOpenError : public FileError
{
  public:
    using FileError::FileError;
};

// The target cannot be made or replaced.
class FileCreateError : public FileError
{
  public:
    using FileError::FileError;
};

// Reading or writing failed part-way, or the source changed under the copy.
class InOutError : public FileError
{
  public:
    using FileError::FileError;
};

inline constexpr qint64 CopyChunkBytes = 65536;

// Copies source to target; a target that is a folder receives a file of the
// source's name. The copy is written beside the target and takes its name
// only once every byte is on the disk, so a copy that fails part-way (a full
// disk, a source shrinking under it) leaves no file behind that looks
// complete, and an existing target stays as it was. Raises one of the errors
// above. Pending window messages, other than the user's input, are handled
// between chunks, so the program repaints during a long copy.
void CopyFileChunked(const QString& source, const QString& target);
