#include "failingdisk.h"

#include <QFile>

#include <atomic>
#include <cerrno>
#include <dlfcn.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// The engine writes from threads of its own.
std::atomic<bool> failing{false};
std::atomic<dev_t> failingDevice{0};
std::atomic<ino_t> failingInode{0};
std::atomic<int> refused{0};

bool WritesInto(int fd)
{
    struct stat st {
    };
    return fstat(fd, &st) == 0 && st.st_dev == failingDevice && st.st_ino == failingInode;
}

using PwriteFn = ssize_t (*)(int, const void*, size_t, off_t);

PwriteFn RealPwrite()
{
    static const PwriteFn real = reinterpret_cast<PwriteFn>(dlsym(RTLD_NEXT, "pwrite64"));
    return real;
}

} // namespace

extern "C" ssize_t pwrite64(int fd, const void* buffer, size_t count, off_t offset)
{
    if (failing && WritesInto(fd)) {
        ++refused;
        errno = ENOSPC;
        return -1;
    }
    return RealPwrite()(fd, buffer, count, offset);
}

FailingDisk::FailingDisk(const QString& path)
{
    struct stat st {
    };
    if (stat(QFile::encodeName(path).constData(), &st) != 0)
        throw std::runtime_error("FailingDisk: no file " + path.toStdString());
    failingDevice = st.st_dev;
    failingInode = st.st_ino;
    refused = 0;
}

FailingDisk::~FailingDisk()
{
    Heal();
}

void FailingDisk::Fail()
{
    failing = true;
}

void FailingDisk::Heal()
{
    failing = false;
}

int FailingDisk::Refused() const
{
    return refused;
}
