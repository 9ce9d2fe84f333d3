// The store's file taken away under the running program: deleted, or
// replaced by another file at its name. Each store goes on reading what it
// holds open, refuses every write with words that say why, and closes.

#include "platform/fileidentity.h"
#include "storefixture.h"

#include <QCryptographicHash>
#include <QFile>

namespace
{

template <typename Kind> class StoreFile : public StoreOn<Kind>
{
  protected:
    QString DataFile() const
    {
        return this->dir_.path() + (Kind::IsFirebird
                                        ? QStringLiteral("/Scalora2 data/scalora2data.fdb")
                                        : QStringLiteral("/Scalora data/tables.sqlite"));
    }

    // Stores a segment; the text of the error that refused it, or empty.
    QString Refusal(TSegRec s)
    {
        try {
            this->Core().AddSegment(s);
        } catch (const std::runtime_error& e) {
            return QString::fromUtf8(e.what());
        }
        return QString();
    }

    static QByteArray Digest(const QString& path)
    {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
    }
};
TYPED_TEST_SUITE(StoreFile, StoreKinds, StoreKindNames);

TYPED_TEST(StoreFile, AFileDeletedUnderTheStoreIsNoticedAndNothingMoreIsStored)
{
    const TSegRec first = this->StoreSeg(0, 0, 10, 0);
    const QString file = this->DataFile();
    ASSERT_TRUE(QFile::remove(file));

    EXPECT_EQ(this->Refusal(Seg(10, 0, 10, 5)), DatabaseFileGoneText(file));
    // Writes outside a command of their own are refused too.
    TPointRec moved;
    ASSERT_TRUE(this->Core().LoadPoint(first.ToPoint.Pointnum, moved));
    moved.Lenx = 12;
    EXPECT_THROW(this->Core().StorePoint(moved), std::runtime_error);
    EXPECT_THROW(this->Core().DeleteSegment(1, first.Segnum), std::runtime_error);
    EXPECT_EQ(this->Core().LastPointNum, first.ToPoint.Pointnum);
    EXPECT_EQ(this->Core().LastSegNum, first.Segnum);

    // What it holds open still reads, and it closes.
    TSegRec loaded;
    EXPECT_TRUE(this->Core().LoadSegment(first.Segnum, loaded));
    EXPECT_EQ(loaded.ToPoint.Lenx, 10);
    EXPECT_NO_THROW(this->Core().CloseStore());
    EXPECT_FALSE(QFile::exists(file));
}

TYPED_TEST(StoreFile, AnotherFileAtItsNameIsNeverWritten)
{
    this->StoreSeg(0, 0, 10, 0);
    // A copy put in the file's place, as a restore from a backup would.
    const QString file = this->DataFile();
    const QString copy = file + QStringLiteral(".copy");
    ASSERT_TRUE(QFile::copy(file, copy));
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(QFile::rename(copy, file));
    const QByteArray before = this->Digest(file);

    EXPECT_EQ(this->Refusal(Seg(10, 0, 10, 5)), DatabaseFileGoneText(file));
    EXPECT_EQ(this->Refusal(Seg(10, 0, 10, 5)), DatabaseFileGoneText(file));
    this->Core().CloseStore();
    EXPECT_EQ(this->Digest(file), before);
}

} // namespace
