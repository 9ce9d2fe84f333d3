// The measured-segment dialog driven through its entry routine on a real
// table store, with the palette beside it and scripted answers.

#include "dialogs/forms.h"
#include "dialogs/newseg.h"
#include "sheet/func.h"
#include "store/coords.h"
#include "store/storefixture.h"
#include "support/modalhelper.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <functional>

namespace
{

using Kind = ScriptedPrompts::Kind;

class MeasuredSegment : public StoreTest
{
  protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        palette_ = std::make_unique<TFnewseg>(Core(), forms_);
        forms_.Fnewseg = palette_.get();
        dialog_ = std::make_unique<TFseg>(Core(), forms_);
        forms_.Fseg = dialog_.get();
    }

    // O and X as the sheet hands them over: O is the from-point, X the
    // to-point; neither is stored.
    static TSegRec FromOandX(TPointRec o, TPointRec x)
    {
        o.Pointnum = -1;
        x.Pointnum = -1;
        TSegRec s;
        s.FromPoint = o;
        s.ToPoint = x;
        return s;
    }

    // Runs the dialog with steps acting on it while it is shown.
    bool Enter(TSegRec& seg, std::function<void(TFseg&)> steps)
    {
        WhenModal([this, steps](QWidget*) { steps(*dialog_); });
        return dialog_->EnterMeasuredSegment(seg);
    }

    static void Lengths(TFseg& d, const QString& x, const QString& y = {}, const QString& z = {})
    {
        d.Editx->setText(x);
        d.Edity->setText(y);
        d.Editz->setText(z);
    }

    TSegRec Stored(int32_t segnum)
    {
        TSegRec s;
        EXPECT_TRUE(Core().LoadSegment(segnum, s)) << "segment " << segnum;
        return s;
    }

    QStringList Infos() const { return prompts_.Texts(Kind::Info); }

    Forms forms_;
    std::unique_ptr<TFnewseg> palette_;
    std::unique_ptr<TFseg> dialog_;
};

TEST_F(MeasuredSegment, LeftNegatesHorizontalLength)
{
    TSegRec seg = FromOandX(Pt(0, 0), Pt(300, 200));
    ASSERT_TRUE(Enter(seg, [](TFseg& d) {
        d.LeftRdio->click();
        Lengths(d, QStringLiteral("100"));
        d.Button1->click();
    }));
    EXPECT_DOUBLE_EQ(seg.ToPoint.Lenx, 200);
    EXPECT_DOUBLE_EQ(seg.ToPoint.Leny, 200);
    EXPECT_GE(seg.ToPoint.Pointnum, 0);
    ASSERT_EQ(Count(QStringLiteral("seg")), 1);
    const TSegRec stored = Stored(seg.Segnum);
    EXPECT_DOUBLE_EQ(stored.Mlenx, -100);
    EXPECT_DOUBLE_EQ(stored.Mleny, 0);
    EXPECT_DOUBLE_EQ(stored.FromPoint.Lenx, 300);
    EXPECT_DOUBLE_EQ(stored.ToPoint.Lenx, 200);
    EXPECT_EQ(stored.SegType, SegLine);
}

TEST_F(MeasuredSegment, BothLengthsGiveOneDiagonalAndUpNegatesVertical)
{
    TSegRec seg = FromOandX(Pt(0, 0), Pt(100, 100));
    ASSERT_TRUE(Enter(seg, [](TFseg& d) {
        d.UpRdio->click();
        Lengths(d, QStringLiteral("30"), QStringLiteral("40"));
        d.Button1->click();
    }));
    EXPECT_EQ(Count(QStringLiteral("seg")), 1);
    const TSegRec stored = Stored(seg.Segnum);
    EXPECT_DOUBLE_EQ(stored.ToPoint.Lenx, 130);
    EXPECT_DOUBLE_EQ(stored.ToPoint.Leny, 60);
    EXPECT_DOUBLE_EQ(stored.Mlenx, 30);
    EXPECT_DOUBLE_EQ(stored.Mleny, -40);
    EXPECT_DOUBLE_EQ(seg.Len, 50);
}

TEST_F(MeasuredSegment, OXLengthWalksTowardsOrAwayFromO)
{
    // X is 200 from O along a slanted line.
    TSegRec towards = FromOandX(Pt(0, 0), Pt(120, 160));
    ASSERT_TRUE(Enter(towards, [](TFseg& d) {
        Lengths(d, {}, {}, QStringLiteral("50"));
        d.Button1->click();
    }));
    EXPECT_DOUBLE_EQ(towards.ToPoint.Lenx, 90);
    EXPECT_DOUBLE_EQ(towards.ToPoint.Leny, 120);
    const TSegRec stored = Stored(towards.Segnum);
    EXPECT_DOUBLE_EQ(stored.Mlenx, 0);
    EXPECT_DOUBLE_EQ(stored.Mleny, 0);

    TSegRec away = FromOandX(Pt(0, 0), Pt(200, 0));
    ASSERT_TRUE(Enter(away, [](TFseg& d) {
        d.AwayRdio->click();
        Lengths(d, {}, {}, QStringLiteral("50"));
        d.Button1->click();
    }));
    EXPECT_DOUBLE_EQ(away.ToPoint.Lenx, 250);
    EXPECT_DOUBLE_EQ(away.ToPoint.Leny, 0);
    EXPECT_EQ(Count(QStringLiteral("seg")), 2);
}

TEST_F(MeasuredSegment, OXLengthWithOOnXIsRefused)
{
    TSegRec seg = FromOandX(Pt(40, 40), Pt(40, 40));
    const TSegRec before = seg;
    bool stillOpen = false;
    QString typed;
    EXPECT_FALSE(Enter(seg, [&](TFseg& d) {
        Lengths(d, {}, {}, QStringLiteral("10"));
        d.Button1->click();
        stillOpen = d.isVisible();
        typed = d.Editz->text();
        d.Button2->click();
    }));
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(typed, QStringLiteral("10"));
    ASSERT_EQ(Infos().size(), 1);
    EXPECT_TRUE(Infos()[0].contains(QStringLiteral("same place")));
    EXPECT_EQ(Count(QStringLiteral("seg")), 0);
    EXPECT_EQ(Count(QStringLiteral("point")), 0);
    EXPECT_DOUBLE_EQ(seg.ToPoint.Lenx, before.ToPoint.Lenx);
}

TEST_F(MeasuredSegment, JumpOnHiddenLayerAsksNothingAndMovesTheChainStart)
{
    AddLayer(3, QStringLiteral("Under"), VisibHidden);
    Core().CurrentLayer.Layernum = 3;
    prompts_.Answer('Y'); // the layer question of the line that follows
    TSegRec seg = FromOandX(Pt(0, 0), Pt(10, 10));
    QStringList askedAfterJump;
    ASSERT_TRUE(Enter(seg, [&](TFseg& d) {
        d.JmpxyRdio->click();
        Lengths(d, QStringLiteral("5"));
        d.Button3->click();
        askedAfterJump = prompts_.Texts();
        d.DrawLineRdio->click();
        Lengths(d, {}, QStringLiteral("20"));
        d.Button1->click();
    }));
    EXPECT_TRUE(askedAfterJump.isEmpty());
    EXPECT_EQ(prompts_.Texts(Kind::Question),
              QStringList{QStringLiteral("Selected layer is hidden - OK?")});
    ASSERT_EQ(Count(QStringLiteral("seg")), 1);
    const TSegRec stored = Stored(seg.Segnum);
    EXPECT_DOUBLE_EQ(stored.FromPoint.Lenx, 15);
    EXPECT_DOUBLE_EQ(stored.FromPoint.Leny, 10);
    EXPECT_DOUBLE_EQ(stored.ToPoint.Lenx, 15);
    EXPECT_DOUBLE_EQ(stored.ToPoint.Leny, 30);
    EXPECT_EQ(stored.Layernum, 3);
    // The X the dialog started from was never stored.
    EXPECT_EQ(Count(QStringLiteral("point"), QStringLiteral("lenx = 10")), 0);
}

TEST_F(MeasuredSegment, JumpAloneIsHandedBackWithoutStoring)
{
    TSegRec seg = FromOandX(Pt(0, 0), Pt(10, 10));
    ASSERT_TRUE(Enter(seg, [](TFseg& d) {
        d.JmpxyRdio->click();
        Lengths(d, QStringLiteral("7"), QStringLiteral("3"));
        d.Button1->click();
    }));
    EXPECT_EQ(seg.SegType, SegJump);
    EXPECT_EQ(seg.ToPoint.Pointnum, -1);
    EXPECT_DOUBLE_EQ(seg.ToPoint.Lenx, 17);
    EXPECT_DOUBLE_EQ(seg.ToPoint.Leny, 13);
    EXPECT_EQ(Count(QStringLiteral("seg")), 0);
    EXPECT_EQ(Count(QStringLiteral("point")), 0);
}

TEST_F(MeasuredSegment, ThreeMoreThenCancelStoresAChain)
{
    TSegRec seg = FromOandX(Pt(0, 0), Pt(0, 0));
    QStringList editsAfterMore;
    ASSERT_TRUE(Enter(seg, [&](TFseg& d) {
        Lengths(d, QStringLiteral("10"));
        d.Button3->click();
        editsAfterMore << d.Editx->text() << d.Edity->text() << d.Editz->text();
        Lengths(d, {}, QStringLiteral("10"));
        d.Button3->click();
        d.LeftRdio->click();
        Lengths(d, QStringLiteral("10"));
        d.Button3->click();
        d.Button2->click();
    }));
    EXPECT_EQ(editsAfterMore, QStringList({{}, {}, {}}));
    ASSERT_EQ(Count(QStringLiteral("seg")), 3);
    const TSegRec first = Stored(seg.Segnum - 2);
    const TSegRec second = Stored(seg.Segnum - 1);
    const TSegRec third = Stored(seg.Segnum);
    EXPECT_EQ(second.FromPoint.Pointnum, first.ToPoint.Pointnum);
    EXPECT_EQ(third.FromPoint.Pointnum, second.ToPoint.Pointnum);
    // The hand-back is the third segment, its end a stored point.
    EXPECT_EQ(seg.ToPoint.Pointnum, third.ToPoint.Pointnum);
    EXPECT_DOUBLE_EQ(seg.ToPoint.Lenx, 0);
    EXPECT_DOUBLE_EQ(seg.ToPoint.Leny, 10);
    EXPECT_EQ(Count(QStringLiteral("point")), 4);
}

TEST_F(MeasuredSegment, ClosingBeforeAnythingWasStoredLeavesXAlone)
{
    TSegRec seg = FromOandX(Pt(1, 2), Pt(30, 40));
    EXPECT_FALSE(Enter(seg, [](TFseg& d) { d.Button2->click(); }));
    EXPECT_DOUBLE_EQ(seg.ToPoint.Lenx, 30);
    EXPECT_DOUBLE_EQ(seg.ToPoint.Leny, 40);

    EXPECT_FALSE(Enter(seg, [](TFseg& d) {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(d.Editx, &esc);
    }));
    EXPECT_FALSE(Enter(seg, [](TFseg& d) { d.close(); }));
    EXPECT_DOUBLE_EQ(seg.ToPoint.Lenx, 30);
    EXPECT_FALSE(dialog_->isVisible());
}

TEST_F(MeasuredSegment, CloseBoxAfterMoreStillHandsBackWhatWasStored)
{
    TSegRec seg = FromOandX(Pt(0, 0), Pt(5, 5));
    ASSERT_TRUE(Enter(seg, [](TFseg& d) {
        Lengths(d, QStringLiteral("10"));
        d.Button3->click();
        d.close();
    }));
    EXPECT_EQ(Count(QStringLiteral("seg")), 1);
    EXPECT_DOUBLE_EQ(seg.ToPoint.Lenx, 15);
    EXPECT_GE(seg.ToPoint.Pointnum, 0);
}

TEST_F(MeasuredSegment, RectangleNeedsBothLengthsAndIsStoredAsFourLines)
{
    TSegRec seg = FromOandX(Pt(0, 0), Pt(0, 0));
    bool stillOpen = false;
    ASSERT_TRUE(Enter(seg, [&](TFseg& d) {
        d.RectRdio->click();
        Lengths(d, QStringLiteral("10"));
        d.Button1->click();
        stillOpen = d.isVisible();
        d.Edity->setText(QStringLiteral("5"));
        d.Button1->click();
    }));
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(Infos(), QStringList{QStringLiteral("Rectangle needs both x & y set")});
    EXPECT_EQ(Count(QStringLiteral("seg")), 4);
    EXPECT_EQ(Count(QStringLiteral("seg"), QStringLiteral("segtype = 2")), 4);
    EXPECT_EQ(Count(QStringLiteral("point")), 4);
    EXPECT_DOUBLE_EQ(seg.ToPoint.Lenx, 10);
    EXPECT_DOUBLE_EQ(seg.ToPoint.Leny, 5);
}

TEST_F(MeasuredSegment, BadLengthsAreRefusedWithTheirEditsMessage)
{
    TSegRec seg = FromOandX(Pt(0, 0), Pt(0, 0));
    QStringList kept;
    EXPECT_FALSE(Enter(seg, [&](TFseg& d) {
        Lengths(d, QStringLiteral("1,5"), QStringLiteral("abc"));
        d.Button1->click();
        kept << d.Editx->text() << d.Edity->text();
        Lengths(d, QStringLiteral("2"), QStringLiteral("3,0"));
        d.Button3->click();
        Lengths(d, {}, {}, QStringLiteral("x1"));
        d.Button3->click();
        Lengths(d, QStringLiteral("5"), {}, QStringLiteral("5"));
        d.Button3->click();
        Lengths(d, QStringLiteral("0"), QStringLiteral("0.0"));
        d.Button3->click();
        d.Button2->click();
    }));
    EXPECT_EQ(kept, QStringList({QStringLiteral("1,5"), QStringLiteral("abc")}));
    EXPECT_EQ(Infos(), QStringList({QStringLiteral("Invalid horizontal length"),
                                    QStringLiteral("Invalid vertical length"),
                                    QStringLiteral("Invalid O-X length"),
                                    QStringLiteral("X & Y must be blank if OX is specified"),
                                    QStringLiteral("A length of \"0\" moves nothing: enter a "
                                                   "length other than 0")}));
    EXPECT_EQ(Count(QStringLiteral("seg")), 0);
    EXPECT_EQ(Count(QStringLiteral("point")), 0);
}

TEST_F(MeasuredSegment, LengthsThatMoveNothingAreNamedAndTheDialogStays)
{
    // X at 100 from the origin: a millionth of a millionth of that is lost
    // in its last digit, a tenth of that millionth is not.
    TSegRec seg = FromOandX(Pt(0, 0), Pt(100, 0));
    bool openAfterAll = false;
    QString keptText;
    EXPECT_TRUE(Enter(seg, [&](TFseg& d) {
        Lengths(d, QStringLiteral("-0"));
        d.Button3->click();
        Lengths(d, {}, {}, QStringLiteral(" -0 "));
        d.Button3->click();
        Lengths(d, {}, {}, {}); // nothing typed: nothing said
        d.Button3->click();
        Lengths(d, QStringLiteral("1e-15"));
        d.Button3->click();
        keptText = d.Editx->text();
        Lengths(d, QStringLiteral("5"), QStringLiteral("1e-320"));
        d.Button3->click();
        Lengths(d, {}, {}, QStringLiteral("1e-320"));
        d.Button3->click();
        d.LeftRdio->click();
        Lengths(d, QStringLiteral("1e-15"));
        d.Button3->click();
        openAfterAll = d.isVisible();
        d.RightRdio->click();
        Lengths(d, QStringLiteral("1e-13"));
        d.Button1->click();
    }));
    EXPECT_TRUE(openAfterAll);
    EXPECT_EQ(keptText, QStringLiteral("1e-15"));
    const QString zero = QStringLiteral(" moves nothing: enter a length other than 0");
    EXPECT_EQ(Infos(), QStringList({QStringLiteral("A length of \"-0\"") + zero,
                                    QStringLiteral("A length of \"-0\"") + zero,
                                    LengthTooSmallMessage(QStringLiteral("Length"), "1e-15"),
                                    LengthTooSmallMessage(QStringLiteral("Length"), "1e-320"),
                                    LengthTooSmallMessage(QStringLiteral("Length"), "1e-320"),
                                    LengthTooSmallMessage(QStringLiteral("Length"), "1e-15")}));
    EXPECT_TRUE(LengthTooSmallMessage(QStringLiteral("Length"), "1e-15")
                    .startsWith("Length \"1e-15\" is too small to move the point"));
    // The small length that does move the point is kept exactly.
    ASSERT_EQ(Count(QStringLiteral("seg")), 1);
    const TSegRec stored = Stored(0);
    EXPECT_EQ(stored.Mlenx, 1e-13);
    EXPECT_EQ(stored.ToPoint.Lenx, 100 + 1e-13);
    EXPECT_NE(stored.ToPoint.Lenx, stored.FromPoint.Lenx);
}

TEST_F(MeasuredSegment, LengthsBeyondTheDiagramsRangeAreRefusedAndTheDialogStays)
{
    TSegRec seg = FromOandX(Pt(0, 0), Pt(300, 200));
    bool openAfterAll = false;
    EXPECT_TRUE(Enter(seg, [&](TFseg& d) {
        for (const char* huge : {"1e308", "-1e308", "1000000000001"}) {
            Lengths(d, QString::fromLatin1(huge));
            d.Button3->click();
            Lengths(d, {}, QString::fromLatin1(huge));
            d.Button3->click();
        }
        // An O-X length whose end lies beyond the range, and a horizontal
        // length in range whose end does not.
        Lengths(d, {}, {}, QStringLiteral("1e308"));
        d.Button3->click();
        Lengths(d, QStringLiteral("999999999800"));
        d.Button3->click();
        openAfterAll = d.isVisible();
        // The limit itself is still a length.
        Lengths(d, QStringLiteral("999999999700"));
        d.Button1->click();
    }));
    EXPECT_TRUE(openAfterAll);
    EXPECT_EQ(Infos(), QStringList(8, LengthOutOfRangeMessage()));
    EXPECT_EQ(Count(QStringLiteral("seg")), 1);
    EXPECT_EQ(Stored(0).ToPoint.Lenx, 999999999700 + 300.0);
}

TEST_F(MeasuredSegment, DecliningTheLayerQuestionStoresNothing)
{
    AddLayer(2, QStringLiteral("Pale"), VisibFaint);
    Core().CurrentLayer.Layernum = 2;
    prompts_.Answer('N');
    TSegRec seg = FromOandX(Pt(0, 0), Pt(0, 0));
    bool stillOpen = false;
    EXPECT_FALSE(Enter(seg, [&](TFseg& d) {
        Lengths(d, QStringLiteral("8"));
        d.Button1->click();
        stillOpen = d.isVisible();
        d.Button2->click();
    }));
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(prompts_.Texts(Kind::Question),
              QStringList{QStringLiteral("Selected layer is faint - OK?")});
    EXPECT_EQ(Count(QStringLiteral("seg")), 0);
}

TEST_F(MeasuredSegment, SameLineTwiceReusesTheStoredSegment)
{
    TSegRec first = FromOandX(Pt(0, 0), Pt(50, 50));
    ASSERT_TRUE(Enter(first, [](TFseg& d) {
        Lengths(d, QStringLiteral("25"));
        d.Button1->click();
    }));
    TSegRec again = FromOandX(Pt(0, 0), Pt(50, 50));
    ASSERT_TRUE(Enter(again, [](TFseg& d) {
        Lengths(d, QStringLiteral("25"));
        d.Button1->click();
    }));
    EXPECT_EQ(Count(QStringLiteral("seg")), 1);
    ASSERT_EQ(Infos().size(), 1);
    EXPECT_TRUE(
        Infos()[0].startsWith(QStringLiteral("Reusing Segment #") + QString::number(first.Segnum)));
    EXPECT_EQ(again.ToPoint.Pointnum, first.ToPoint.Pointnum);
}

TEST_F(MeasuredSegment, PaletteFlagsAndCurrentLayerGoWithTheSegment)
{
    AddLayer(4, QStringLiteral("Walls"), VisibBold);
    Core().CurrentLayer.Layernum = 4;
    palette_->DottedChk->setChecked(true);
    palette_->FaintChk->setChecked(true);
    TSegRec seg = FromOandX(Pt(0, 0), Pt(0, 0));
    bool paletteShown = false;
    QString units, heading;
    ASSERT_TRUE(Enter(seg, [&](TFseg& d) {
        paletteShown = palette_->isVisible();
        units = d.UnitsLbl->text();
        heading = d.Label4->text();
        Lengths(d, QStringLiteral("12.5"));
        d.Button1->click();
    }));
    EXPECT_TRUE(paletteShown);
    EXPECT_EQ(units, QStringLiteral("Units = mm"));
    EXPECT_EQ(heading, QStringLiteral("New segment (from X)"));
    const TSegRec stored = Stored(seg.Segnum);
    EXPECT_TRUE(stored.Dotted);
    EXPECT_TRUE(stored.Faint);
    EXPECT_FALSE(stored.Xorflag);
    EXPECT_EQ(stored.Layernum, 4);
    EXPECT_DOUBLE_EQ(stored.ToPoint.Lenx, 12.5);
}

TEST_F(MeasuredSegment, EnterInAnEditPressesOKClose)
{
    TSegRec seg = FromOandX(Pt(0, 0), Pt(0, 0));
    ASSERT_TRUE(Enter(seg, [](TFseg& d) {
        Lengths(d, {}, QStringLiteral("9"));
        d.Edity->setFocus();
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(d.Edity, &enter);
    }));
    EXPECT_EQ(Count(QStringLiteral("seg")), 1);
    EXPECT_DOUBLE_EQ(seg.ToPoint.Leny, 9);
}

TEST_F(MeasuredSegment, NewPointTakesPixelsAtTheCurrentScale)
{
    StoreSeg(0, 0, 100, 100);
    ASSERT_TRUE(Fit());
    TSegRec seg = FromOandX(Pt(0, 0), Pt(0, 0));
    ASSERT_TRUE(Enter(seg, [](TFseg& d) {
        Lengths(d, QStringLiteral("50"), QStringLiteral("25"));
        d.Button1->click();
    }));
    EXPECT_EQ(seg.ToPoint.Pxlx, Core().LenToPixelX(50));
    EXPECT_EQ(seg.ToPoint.Pxly, Core().LenToPixelY(25));
    TPointRec stored;
    ASSERT_TRUE(Core().LoadPoint(seg.ToPoint.Pointnum, stored));
    EXPECT_EQ(stored.Pxlx, Core().LenToPixelX(50));
}

} // namespace
