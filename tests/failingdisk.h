#pragma once
// A disk that fails under one file, for this test process only: while a
// FailingDisk is armed, every write of the process into that file fails
// with "No space left on device", as a full or failing disk answers. Reads
// and the writes into every other file go on as usual.
//
// It takes the place of the C library's pwrite64, which the Firebird engine
// writes its pages with; the test programs that use it export that one
// name (failingdisk.list), so that the engine finds it first.

#include <QString>

class FailingDisk
{
  public:
    // The file as it is on the disk now: the same file under another name
    // fails too, another file at this name does not.
    explicit FailingDisk(const QString& path);
    ~FailingDisk();
    FailingDisk(const FailingDisk&) = delete;
    FailingDisk& operator=(const FailingDisk&) = delete;

    void Fail();
    void Heal();
    // Writes refused since the disk was made.
    int Refused() const;
};
