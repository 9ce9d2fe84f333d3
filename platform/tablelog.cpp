#include "platform/tablelog.h"

#include "platform/tables.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace tables
{

namespace
{

// The log's layout (SQLite's file format, "the WAL file"): a header of 32
// bytes, then frames of a 24-byte header and one page each.
constexpr int LogHeaderSize = 32;
constexpr int FrameHeaderSize = 24;
constexpr uint32_t LogMagic = 0x377f0682; // the lowest bit tells the checksums' byte order
constexpr uint32_t LogVersion = 3007000;
// Where the user version, which holds the commit mark, sits in page one.
constexpr int MarkOffset = 60;
// The byte of the log's index on which each connection to the store holds a
// shared lock while it has the store open (SQLite's "DMS" lock).
constexpr off_t InUseLockByte = 128;

uint32_t BigEndian(const unsigned char* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

uint32_t LittleEndian(const unsigned char* p)
{
    return (uint32_t(p[3]) << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
}

// SQLite's running checksum over 32-bit words, carried from one piece to the
// next.
struct Checksum {
    bool bigEndian = true;
    uint32_t s1 = 0;
    uint32_t s2 = 0;

    void Add(const unsigned char* data, size_t bytes)
    {
        for (size_t i = 0; i + 8 <= bytes; i += 8) {
            const uint32_t a = bigEndian ? BigEndian(data + i) : LittleEndian(data + i);
            const uint32_t b = bigEndian ? BigEndian(data + i + 4) : LittleEndian(data + i + 4);
            s1 += a + s2;
            s2 += b + s1;
        }
    }
    bool Matches(const unsigned char* stored) const
    {
        return BigEndian(stored) == s1 && BigEndian(stored + 4) == s2;
    }
};

bool ValidPageSize(uint32_t size)
{
    return size >= 512 && size <= 65536 && (size & (size - 1)) == 0;
}

QString LogFileOf(const QString& storeFile)
{
    return storeFile + QStringLiteral("-wal");
}

} // namespace

LogContents ReadLog(const QString& logFile)
{
    LogContents contents;
    QFile file(logFile);
    if (!file.open(QIODevice::ReadOnly)) {
        return contents;
    }
    unsigned char header[LogHeaderSize];
    if (file.read(reinterpret_cast<char*>(header), LogHeaderSize) != LogHeaderSize) {
        return contents;
    }
    const uint32_t magic = BigEndian(header);
    const uint32_t pageSize = BigEndian(header + 8);
    if ((magic & ~1u) != LogMagic || BigEndian(header + 4) != LogVersion ||
        !ValidPageSize(pageSize)) {
        return contents;
    }
    Checksum sum{(magic & 1u) != 0};
    sum.Add(header, 24);
    if (!sum.Matches(header + 24)) {
        return contents;
    }
    std::vector<unsigned char> frame(FrameHeaderSize + pageSize);
    std::vector<uint32_t> pending; // marks of the frames since the last commit
    while (file.read(reinterpret_cast<char*>(frame.data()), qint64(frame.size())) ==
           qint64(frame.size())) {
        const unsigned char* h = frame.data();
        if (!std::equal(h + 8, h + 16, header + 16)) {
            break; // a frame of an earlier round through the log
        }
        sum.Add(h, 8);
        sum.Add(h + FrameHeaderSize, pageSize);
        if (!sum.Matches(h + 16)) {
            break; // torn: the write never finished
        }
        if (BigEndian(h) == 1) {
            pending.push_back(BigEndian(h + FrameHeaderSize + MarkOffset));
        }
        if (BigEndian(h + 4) != 0) { // the frame that commits its change
            contents.Committed = true;
            contents.Marks.insert(contents.Marks.end(), pending.begin(), pending.end());
            pending.clear();
        }
    }
    return contents;
}

std::optional<uint32_t> StoreFileMark(const QString& storeFile)
{
    QFile file(storeFile);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray header = file.read(100);
    if (header.size() < 100 || !header.startsWith(QByteArrayLiteral("SQLite format 3\0"))) {
        return std::nullopt;
    }
    return BigEndian(reinterpret_cast<const unsigned char*>(header.constData()) + MarkOffset);
}

bool LogBelongsToFile(const LogContents& log, std::optional<uint32_t> fileMark)
{
    if (!log.Committed || log.Marks.empty()) {
        return true;
    }
    if (!fileMark) {
        return true; // not a database: SQLite refuses it without applying anything
    }
    // The file holds one of the marks the changes wrote (page one goes into
    // the file first when a log is folded in), or the mark from before the
    // first change, when nothing of the log has been copied in yet: the
    // first change's low half is one more than that mark's.
    return std::find(log.Marks.begin(), log.Marks.end(), *fileMark) != log.Marks.end() ||
           ((*fileMark + 1) & 0xffffu) == (log.Marks.front() & 0xffffu);
}

bool StoreInUseElsewhere(const QString& storeFile)
{
    const int fd = ::open(QFile::encodeName(storeFile + QStringLiteral("-shm")).constData(),
                          O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct flock lock {
    };
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = InUseLockByte;
    lock.l_len = 1;
    const bool held = ::fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

QString SetAsideForeignLog(const QString& storeFile)
{
    const QString logFile = LogFileOf(storeFile);
    if (QFileInfo(logFile).size() <= 0 || StoreInUseElsewhere(storeFile)) {
        return {};
    }
    if (LogBelongsToFile(ReadLog(logFile), StoreFileMark(storeFile))) {
        return {};
    }
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = logFile + QStringLiteral(".set-aside-") + stamp;
    for (int n = 2; QFileInfo::exists(aside); ++n) {
        aside =
            logFile + QStringLiteral(".set-aside-") + stamp + QLatin1Char('-') + QString::number(n);
    }
    if (!QFile::rename(logFile, aside)) {
        throw EngineError(
            QStringLiteral("The log \"%1\" that a crash left beside the table store does not "
                           "belong to the store file there now (it was replaced while the "
                           "program was closed), and it cannot be moved aside, so it would be "
                           "applied to that file and damage it. Move or delete the log, then "
                           "start the program again.")
                .arg(logFile)
                .toStdString());
    }
    return aside;
}

} // namespace tables
