// A refresh that fits a new scale keeps the rewrite of the cached pixels
// and the stamps of the points it draws as one unit, on either store: the
// rewrite is not committed before the stamps are written, and when the
// stamps fail neither is kept, the rows in memory and the scale go back to
// what the database holds, and the next refresh writes the new scale whole.
// A disk that fails under the Firebird store does the same.

#include "dialogs/forms.h"
#include "failingdisk.h"
#include "programs/fbedition.h"
#include "sheet/sheet.h"
#include "store/storefixture.h"

#include <QCoreApplication>
#include <functional>
#include <stdexcept>

namespace
{

// The store, with a look at the database just before the points a redraw
// drew are stamped.
template <typename StoreClass> class StampWatchingCore : public StoreClass
{
  public:
    using StoreClass::StoreClass;
    std::function<void()> BeforeStamp;

  protected:
    void StampPoints(const std::vector<int32_t>& pointnums) override
    {
        if (BeforeStamp)
            BeforeStamp();
        StoreClass::StampPoints(pointnums);
    }
};

using WatchedKinds = ::testing::Types<TableStoreFixtureOf<StampWatchingCore<TFcore>>,
                                      FirebirdStoreFixtureOf<StampWatchingCore<TFcoreFb>>>;

// Every point's pixels in one number, as a store holds them.
const QString PixelSum =
    QStringLiteral("SELECT sum(Pxlx) * 100003 + sum(Pxly) FROM point WHERE Dgnum = 1");

template <typename Kind> class RefreshUnit : public StoreOn<Kind>
{
  protected:
    void SetUp() override
    {
        StoreOn<Kind>::SetUp();
        forms_.Program = &edition_;
        forms_.Fcore = &this->Core();
        sheet_ = std::make_unique<TFSheet>(forms_);
        forms_.FSheet = sheet_.get();
        // A zigzag of enough points for the rewrite by whole-diagram
        // statements, drawn and stamped once; then a segment that widens
        // it, so that the next refresh fits a scale that moves every pixel.
        this->Core().WriteGroup([this] {
            for (int i = 0; i < 80; ++i)
                this->StoreSeg(i, i % 3, i + 1, (i + 1) % 3);
        });
        sheet_->show();
        while (sheet_->OpeningRefreshPending())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        ASSERT_GT(this->Core().Scale, 0);
        this->StoreSeg(80, 2, 300, 150);
        scaleBefore_ = this->Core().Scale;
        pixelsBefore_ = this->Scalar(PixelSum);
    }

    void TearDown() override { sheet_.reset(); }

    // The user's redraw.
    void Refresh() { sheet_->Redraw.RedrawCommand(); }

    // Each point's pixels in the database are the ones the refresh's rows
    // hold, and the ones the store's scale gives its lengths.
    void ExpectRowsAndScaleOfTheDatabase()
    {
        for (const long long n : this->Column(
                 QStringLiteral("SELECT Pointnum FROM point WHERE Dgnum = 1 ORDER BY Pointnum"))) {
            SCOPED_TRACE(n);
            const QString where =
                QStringLiteral(" FROM point WHERE Dgnum = 1 AND Pointnum = %1").arg(n);
            const long long x = this->Scalar(QStringLiteral("SELECT Pxlx") + where);
            const long long y = this->Scalar(QStringLiteral("SELECT Pxly") + where);
            TPointRec p;
            ASSERT_TRUE(this->Core().LoadFittedPoint(int32_t(n), p));
            EXPECT_EQ(p.Pxlx, x);
            EXPECT_EQ(p.Pxly, y);
            EXPECT_EQ(this->Core().LenToPixelX(p.Lenx), x);
            EXPECT_EQ(this->Core().LenToPixelY(p.Leny), y);
        }
    }

    // A refresh after a failed one writes the new scale's pixels, seen by
    // another program, and stamps every drawn point.
    void ExpectTheNextRefreshToKeepTheNewScale()
    {
        this->Refresh();
        EXPECT_NE(this->Core().Scale, this->scaleBefore_);
        EXPECT_NE(this->CountElsewhere(PixelSum), this->pixelsBefore_);
        EXPECT_EQ(this->Stamped(1, this->Core().RedrawStamp).size(),
                  size_t(this->Count(QStringLiteral("point"))));
        this->ExpectRowsAndScaleOfTheDatabase();
    }

    // Makes the database refuse every change of a point's stamp.
    void RefuseStamps()
    {
        if constexpr (Kind::IsFirebird)
            this->Refuse(QStringLiteral("update"), QStringLiteral("point"),
                         QStringLiteral("new.rprts is distinct from old.rprts"));
        else
            this->Refuse(QStringLiteral("UPDATE"), QStringLiteral("point"),
                         QStringLiteral("NEW.Rprts IS NOT OLD.Rprts"));
    }

    Edition edition_ = Kind::IsFirebird ? FirebirdEdition() : DefaultEdition();
    Forms forms_;
    std::unique_ptr<TFSheet> sheet_;
    Extended scaleBefore_ = 0;
    long long pixelsBefore_ = 0;
};

TYPED_TEST_SUITE(RefreshUnit, WatchedKinds, StoreKindNames);

TYPED_TEST(RefreshUnit, ANewScalesRewriteIsCommittedWithTheStampsOfTheDrawing)
{
    long long elsewhereAtStamp = -1;
    this->Core().BeforeStamp = [&] { elsewhereAtStamp = this->CountElsewhere(PixelSum); };
    this->Refresh();
    EXPECT_NE(this->Core().Scale, this->scaleBefore_);

    // While the drawn points were stamped, another program still found the
    // pixels of the old scale; once the refresh ended, it finds the new.
    EXPECT_EQ(elsewhereAtStamp, this->pixelsBefore_);
    const long long after = this->Scalar(PixelSum);
    EXPECT_NE(after, this->pixelsBefore_);
    EXPECT_EQ(this->CountElsewhere(PixelSum), after);
    EXPECT_EQ(this->Stamped(1, this->Core().RedrawStamp).size(),
              size_t(this->Count(QStringLiteral("point"))));
    this->ExpectRowsAndScaleOfTheDatabase();
}

TYPED_TEST(RefreshUnit, StampsThatFailUndoTheRewriteInTheDatabaseAndInMemory)
{
    this->RefuseStamps();
    EXPECT_THROW(this->Refresh(), std::exception);

    // Nothing of the refresh is kept, and the store holds the scale its
    // rows' pixels follow.
    EXPECT_EQ(this->Scalar(PixelSum), this->pixelsBefore_);
    EXPECT_EQ(this->CountElsewhere(PixelSum), this->pixelsBefore_);
    EXPECT_TRUE(this->Stamped(1, this->Core().RedrawStamp).empty());
    EXPECT_EQ(this->Core().Scale, this->scaleBefore_);
    this->ExpectRowsAndScaleOfTheDatabase();

    // Once the stamps are taken again, the next refresh writes the new
    // scale's pixels and stamps every drawn point.
    this->Exec(QStringLiteral("DROP TRIGGER refuse"));
    this->ExpectTheNextRefreshToKeepTheNewScale();
}

using FirebirdRefreshUnit = RefreshUnit<FirebirdStoreFixtureOf<StampWatchingCore<TFcoreFb>>>;

TEST_F(FirebirdRefreshUnit, ADiskThatFailsDuringTheStampsKeepsNothingOfTheRefresh)
{
    // The disk fails once the rewrite is written into the transaction: the
    // refresh cannot commit, nor at first undo what it wrote.
    FailingDisk disk(this->dir_.path() + QStringLiteral("/Scalora2 data/scalora2data.fdb"));
    this->Core().BeforeStamp = [&] { disk.Fail(); };
    EXPECT_THROW(this->Refresh(), std::exception);
    this->Core().BeforeStamp = nullptr;
    EXPECT_GT(disk.Refused(), 0);
    EXPECT_EQ(this->Core().Scale, this->scaleBefore_);
    disk.Heal();

    EXPECT_EQ(this->Scalar(PixelSum), this->pixelsBefore_);
    EXPECT_EQ(this->CountElsewhere(PixelSum), this->pixelsBefore_);
    this->ExpectRowsAndScaleOfTheDatabase();
    this->ExpectTheNextRefreshToKeepTheNewScale();
}

} // namespace
