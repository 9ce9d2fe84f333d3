// The second program's measured-segment dialog on its Firebird store: a
// circle about the chain's point from a typed radius, and lengths that are
// not numbers named in the message.

#include "dialogs/forms.h"
#include "dialogs/layers.h"
#include "dialogs/newseg.h"
#include "programs/fbedition.h"
#include "sheet/func.h"
#include "store/storefixture.h"
#include "support/modalhelper.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <functional>

namespace
{

using Kind = ScriptedPrompts::Kind;

class FirebirdMeasuredSegment : public StoreOn<FirebirdStoreFixture>
{
  protected:
    void SetUp() override
    {
        StoreOn<FirebirdStoreFixture>::SetUp();
        forms_.Program = &edition_;
        palette_ = std::make_unique<TFnewseg>(Core(), forms_);
        forms_.Fnewseg = palette_.get();
        dialog_ = std::make_unique<TFseg>(Core(), forms_);
        forms_.Fseg = dialog_.get();
        layers_ = std::make_unique<TFLayers>(Core(), Core().MakeLayersData(), forms_);
        forms_.FLayers = layers_.get();
    }

    // The dialog opened on X, with O elsewhere; steps act on it while shown.
    bool Enter(const TPointRec& x, TSegRec& seg, std::function<void(TFseg&)> steps)
    {
        seg = TSegRec();
        seg.FromPoint = Pt(-50, -50);
        seg.ToPoint = x;
        WhenModal([this, steps](QWidget*) { steps(*dialog_); });
        return dialog_->EnterMeasuredSegment(seg);
    }

    TSegRec Stored(int32_t segnum)
    {
        TSegRec s;
        EXPECT_TRUE(Core().LoadSegment(segnum, s)) << "segment " << segnum;
        return s;
    }

    Edition edition_ = FirebirdEdition();
    Forms forms_;
    std::unique_ptr<TFnewseg> palette_;
    std::unique_ptr<TFseg> dialog_;
    std::unique_ptr<TFLayers> layers_;
};

TEST_F(FirebirdMeasuredSegment, ACircleIsOneArcOf360DegreesAndXEndsOnItsRim)
{
    palette_->DottedChk->setChecked(true);
    prompts_.Type(QStringLiteral("10"));
    TSegRec seg;
    ASSERT_TRUE(Enter(Pt(0, 0), seg, [](TFseg& d) { d.CircleRdio->click(); }));
    EXPECT_EQ(prompts_.Log()[0].text, QStringLiteral("Enter radius"));
    EXPECT_EQ(prompts_.Log()[0].initial, QString());
    EXPECT_FALSE(dialog_->isVisible());

    ASSERT_EQ(Count(QStringLiteral("seg")), 1);
    const TSegRec arc = Stored(seg.Segnum);
    EXPECT_EQ(arc.SegType, SegArc);
    EXPECT_EQ(arc.Mlenx, 360);
    EXPECT_EQ(arc.FromPoint.Lenx, 0);
    EXPECT_EQ(arc.FromPoint.Leny, 0);
    EXPECT_EQ(arc.ToPoint.Lenx, 10);
    EXPECT_EQ(arc.ToPoint.Leny, 0);
    EXPECT_TRUE(arc.Dotted);
    // The sheet puts X on what the dialog hands back: the rim, stored.
    EXPECT_EQ(seg.ToPoint.Pointnum, arc.ToPoint.Pointnum);
    EXPECT_EQ(seg.ToPoint.Lenx, 10);
    // The next "OK" stores a line again, never a segment of no known type.
    EXPECT_TRUE(dialog_->DrawLineRdio->isChecked());
    EXPECT_FALSE(dialog_->CircleRdio->isChecked());
}

TEST_F(FirebirdMeasuredSegment, ANegativeRadiusPutsTheRimLeftOfTheCentreAndTheChainGoesOnThere)
{
    prompts_.Type(QStringLiteral("-2.5"));
    TSegRec seg;
    ASSERT_TRUE(Enter(Pt(4, 3), seg, [](TFseg& d) { d.CircleRdio->click(); }));
    EXPECT_EQ(Stored(seg.Segnum).ToPoint.Lenx, 1.5);
    EXPECT_EQ(dialog_->MeasureFrom.Lenx, 1.5);
    EXPECT_EQ(dialog_->MeasureFrom.Leny, 3);

    // The next showing stores a line from where it is opened, as typed.
    TSegRec next;
    ASSERT_TRUE(Enter(seg.ToPoint, next, [](TFseg& d) {
        d.Editx->setText(QStringLiteral("1"));
        d.Button1->click();
    }));
    const TSegRec line = Stored(next.Segnum);
    EXPECT_EQ(line.SegType, SegLine);
    EXPECT_EQ(line.FromPoint.Pointnum, seg.ToPoint.Pointnum);
    EXPECT_EQ(line.ToPoint.Lenx, 2.5);
}

TEST_F(FirebirdMeasuredSegment, RadiusRefusalsStoreNothingAndGiveTheEarlierTypeBack)
{
    prompts_.CancelInput()
        .Type(QStringLiteral("0"))
        .Type(QStringLiteral("abc"))
        .Type(QStringLiteral("1e308"))
        .Type(QStringLiteral("1e-320"));
    TSegRec seg;
    std::vector<bool> rectangleBack;
    bool open = false;
    EXPECT_FALSE(Enter(Pt(0, 0), seg, [&](TFseg& d) {
        d.RectRdio->click();
        for (int i = 0; i < 5; ++i) {
            d.CircleRdio->click();
            rectangleBack.push_back(d.RectRdio->isChecked() && !d.CircleRdio->isChecked());
        }
        open = d.isVisible();
        d.Button2->click();
    }));
    EXPECT_TRUE(open);
    EXPECT_EQ(rectangleBack, std::vector<bool>(5, true));
    // A radius too small to move the rim off the centre would store a
    // circle no one can see.
    EXPECT_EQ(prompts_.Texts(Kind::Info),
              QStringList({QStringLiteral("A circle needs a radius other than 0"),
                           QStringLiteral("Invalid floating-point amount \"abc\""),
                           LengthOutOfRangeMessage(),
                           QStringLiteral("Radius \"1e-320\" is too small to move the point it "
                                          "starts from: enter a larger one")}));
    EXPECT_EQ(Count(QStringLiteral("seg")), 0);
    EXPECT_EQ(Count(QStringLiteral("point")), 0);
}

TEST_F(FirebirdMeasuredSegment, ACircleOnAHiddenLayerIsAskedAboutLikeAnyOtherSegment)
{
    AddLayer(3, QStringLiteral("Old fence"), VisibHidden);
    Core().CurrentLayer.Layernum = 3;
    prompts_.Answer('N').Answer('Y').Type(QStringLiteral("5"));
    TSegRec seg;
    bool declinedKeepsLine = false;
    ASSERT_TRUE(Enter(Pt(0, 0), seg, [&](TFseg& d) {
        d.CircleRdio->click();
        declinedKeepsLine = d.DrawLineRdio->isChecked();
        d.CircleRdio->click();
    }));
    EXPECT_TRUE(declinedKeepsLine);
    EXPECT_EQ(prompts_.Texts(), QStringList({QStringLiteral("Selected layer is hidden - OK?"),
                                             QStringLiteral("Selected layer is hidden - OK?"),
                                             QStringLiteral("Enter radius")}));
    EXPECT_EQ(Count(QStringLiteral("seg")), 1);
    EXPECT_EQ(Stored(seg.Segnum).Layernum, 3);
}

TEST_F(FirebirdMeasuredSegment, WithEveryLayerGoneNoSegmentIsStored)
{
    // A diagram whose layers are all gone: OK on the empty list picks
    // layer 0, which has no row either.
    Exec(QStringLiteral("delete from layer"));
    WhenModal([this](QWidget*) { layers_->Button2->click(); });
    palette_->LayerBtn->click();
    EXPECT_EQ(palette_->LayerBtn->text(), QStringLiteral("Layer=0"));

    TSegRec seg;
    EXPECT_FALSE(Enter(Pt(0, 0), seg, [](TFseg& d) {
        d.Editx->setText(QStringLiteral("10"));
        d.Button1->click();
        d.Button2->click();
    }));
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral(
                                    "Selected layer no longer exists, nor does layer 0 - choose a "
                                    "layer")});
    EXPECT_EQ(Count(QStringLiteral("seg")), 0);
    EXPECT_EQ(Count(QStringLiteral("point")), 0);
}

TEST_F(FirebirdMeasuredSegment, ALengthThatIsNotANumberIsNamedAndTheOthersAreNotRead)
{
    TSegRec seg;
    EXPECT_FALSE(Enter(Pt(0, 0), seg, [](TFseg& d) {
        d.Editx->setText(QStringLiteral("abc"));
        d.Edity->setText(QStringLiteral("x"));
        d.Button3->click();
        d.Editx->clear();
        d.Button3->click();
        d.Edity->clear();
        d.Editz->setText(QStringLiteral("1,5"));
        d.Button3->click();
        d.Button2->click();
    }));
    EXPECT_EQ(prompts_.Texts(Kind::Info),
              QStringList({QStringLiteral("Invalid floating-point amount \"abc\""),
                           QStringLiteral("Invalid floating-point amount \"x\""),
                           QStringLiteral("Invalid floating-point amount \"1,5\"")}));
    EXPECT_EQ(Count(QStringLiteral("seg")), 0);
}

TEST(MeasuredSegmentDialogs, OnlyTheSecondProgramOffersACircle)
{
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    QTemporaryDir dir;
    TableStoreFixture table;
    table.Open(dir.path());
    Forms first;
    TFseg scalora(table.Store(), first);
    EXPECT_EQ(scalora.CircleRdio, nullptr);

    const Edition edition = FirebirdEdition();
    Forms second;
    second.Program = &edition;
    TFseg scalora2(table.Store(), second);
    ASSERT_NE(scalora2.CircleRdio, nullptr);
    EXPECT_EQ(scalora2.CircleRdio->text(), QStringLiteral("Circle"));
    EXPECT_EQ(scalora2.CircleRdio->toolTip(),
              QStringLiteral("a circle is stored as one arc of 360 degrees"));
    EXPECT_EQ(scalora2.CircleRdio->parentWidget(), static_cast<QWidget*>(scalora2.TypeGroup));
}

} // namespace
