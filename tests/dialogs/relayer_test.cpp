// The move-segments dialog driven through ShowMoveSegments, with scripted
// answers, on a real table store.

#include "dialogs/relayer.h"
#include "store/layersdata.h"
#include "store/storefixture.h"
#include "support/modalhelper.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace
{

class MoveSegmentsTest : public StoreTest
{
  protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        relayer_ = std::make_unique<Tfrelayer>(Core(), Core().MakeLayersData());
        AddLayer(1, QStringLiteral("hidden"), VisibHidden);
        AddLayer(2, QStringLiteral("faint"), VisibFaint);
        AddLayer(3, QStringLiteral("target"), VisibBold);
    }

    Tfrelayer& W() { return *relayer_; }

    // Types the range, picks the destination and presses OK; the dialog is
    // then cancelled if it is still open.
    bool Move(const QString& from, const QString& to, int32_t target, bool* stayedOpen = nullptr)
    {
        WhenModal([=, this](QWidget*) {
            W().Edit1->setText(from);
            W().Edit2->setText(to);
            W().ComboBox1->setCurrentIndex(W().ComboBox1->findData(target));
            W().Button1->click();
            if (stayedOpen) {
                *stayedOpen = W().isVisible();
            }
            if (W().isVisible()) {
                W().Button2->click();
            }
        });
        return W().ShowMoveSegments();
    }

    long long LayerOf(int32_t segnum)
    {
        return Scalar(
            QStringLiteral("SELECT layernum FROM seg WHERE dgnum = 1 AND segnum = %1").arg(segnum));
    }

    std::unique_ptr<Tfrelayer> relayer_;
};

TEST_F(MoveSegmentsTest, TheInitialRangeAsksForOneSegmentAndMovesNone)
{
    StoreSeg(0, 0, 10, 0, 0);
    prompts_.Answer('Y');
    QString from, to;
    WhenModal([&](QWidget*) {
        from = W().Edit1->text();
        to = W().Edit2->text();
        W().Button1->click();
    });
    EXPECT_TRUE(W().ShowMoveSegments());
    EXPECT_EQ(from, "99999");
    EXPECT_EQ(to, "99999");
    EXPECT_EQ(prompts_.Texts(), QStringList({"OK to move up to 1 segments to specified layer ?"}));
    EXPECT_EQ(LayerOf(0), 0);
}

TEST_F(MoveSegmentsTest, OnlySegmentsOnBoldLayersInTheRangeMove)
{
    StoreSeg(0, 0, 10, 0, 0); // 0: bold layer
    StoreSeg(0, 1, 10, 1, 1); // 1: hidden layer
    StoreSeg(0, 2, 10, 2, 2); // 2: faint layer
    StoreSeg(0, 3, 10, 3, 9); // 3: layer without a row, never drawn
    StoreSeg(0, 4, 10, 4, 0); // 4: outside the range
    prompts_.Answer('Y');
    EXPECT_TRUE(Move(QStringLiteral("0"), QStringLiteral("3"), 3));
    EXPECT_EQ(prompts_.Texts(), QStringList({"OK to move up to 4 segments to specified layer ?"}));
    EXPECT_EQ(LayerOf(0), 3);
    EXPECT_EQ(LayerOf(1), 1);
    EXPECT_EQ(LayerOf(2), 2);
    EXPECT_EQ(LayerOf(3), 9);
    EXPECT_EQ(LayerOf(4), 0);
}

TEST_F(MoveSegmentsTest, ARangeOfOneSegmentMovesThatSegment)
{
    StoreSeg(0, 0, 10, 0, 0);
    StoreSeg(0, 1, 10, 1, 0);
    prompts_.Answer('Y');
    EXPECT_TRUE(Move(QStringLiteral("1"), QStringLiteral("1"), 3));
    EXPECT_EQ(LayerOf(0), 0);
    EXPECT_EQ(LayerOf(1), 3);
}

TEST_F(MoveSegmentsTest, DecliningMovesNothingButRemembersTheDestination)
{
    StoreSeg(0, 0, 10, 0, 0);
    prompts_.Answer('N');
    EXPECT_TRUE(Move(QStringLiteral("0"), QStringLiteral("0"), 2));
    EXPECT_EQ(LayerOf(0), 0);
    EXPECT_EQ(W().MoveTargetLayer, 2);

    int32_t preselected = -1;
    WhenModal([&](QWidget*) {
        preselected = W().ComboBox1->currentData().toInt();
        W().Button2->click();
    });
    EXPECT_FALSE(W().ShowMoveSegments());
    EXPECT_EQ(preselected, 2);
}

TEST_F(MoveSegmentsTest, AnInvalidRangeIsReportedAndOkStillClosesTheDialog)
{
    StoreSeg(0, 0, 10, 0, 0);
    bool stayedOpen = true;
    EXPECT_TRUE(Move(QStringLiteral("5"), QStringLiteral("4"), 3, &stayedOpen));
    EXPECT_FALSE(stayedOpen);
    EXPECT_TRUE(Move(QStringLiteral("x1"), QStringLiteral("4"), 3, &stayedOpen));
    EXPECT_FALSE(stayedOpen);
    EXPECT_TRUE(Move(QString(), QStringLiteral("4"), 3, &stayedOpen));
    EXPECT_FALSE(stayedOpen);
    EXPECT_EQ(prompts_.Texts(), QStringList({"Invalid range", "Invalid integer \"x1\"",
                                             "Invalid range", "Invalid range"}));
    EXPECT_EQ(LayerOf(0), 0);

    // The typed range is there again at the next showing.
    QString from;
    WhenModal([&](QWidget*) {
        from = W().Edit1->text();
        W().Button2->click();
    });
    W().ShowMoveSegments();
    EXPECT_EQ(from, "");
}

TEST_F(MoveSegmentsTest, WithoutADestinationLayerNothingMoves)
{
    NewDiagram(2, QStringLiteral("No layers"));
    ASSERT_TRUE(Core().OpenDiagram(2));
    StoreSeg(0, 0, 10, 0, 0);
    bool stayedOpen = false;
    WhenModal([&](QWidget*) {
        W().Edit1->setText(QStringLiteral("0"));
        W().Edit2->setText(QStringLiteral("0"));
        W().Button1->click();
        stayedOpen = W().isVisible();
        if (stayedOpen) {
            W().Button2->click();
        }
    });
    EXPECT_TRUE(W().ShowMoveSegments());
    EXPECT_FALSE(stayedOpen);
    EXPECT_EQ(prompts_.Texts(), QStringList({"No destination layer chosen"}));
    EXPECT_EQ(Count("seg", "dgnum = 2 AND layernum = 0"), 1);
}

TEST_F(MoveSegmentsTest, TheWidestRangeVisitsOnlyStoredSegments)
{
    StoreSeg(0, 0, 10, 0, 0);
    StoreSeg(0, 1, 10, 1, 0);
    prompts_.Answer('Y');
    EXPECT_TRUE(Move(QStringLiteral("-2147483648"), QStringLiteral("2147483647"), 3));
    EXPECT_EQ(prompts_.Texts(),
              QStringList({"OK to move up to 4294967296 segments to specified layer ?"}));
    EXPECT_EQ(Count("seg", "dgnum = 1 AND layernum = 3"), 2);
}

} // namespace
