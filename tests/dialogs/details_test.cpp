// The point-details, edit-text and segment-details windows over a real
// table store, driven through their entry routines.

#include "dialogs/edpt.h"
#include "dialogs/edtxt.h"
#include "dialogs/forms.h"
#include "dialogs/layers.h"
#include "dialogs/segdets.h"
#include "store/coords.h"
#include "store/layersdata.h"
#include "store/storefixture.h"
#include "support/modalhelper.h"
#include "support/scriptedprompts.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace
{

class DetailsTest : public StoreTest
{
  protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        AddLayer(1, QStringLiteral("Faint"), VisibFaint);
        AddLayer(2, QStringLiteral("Hidden"), VisibHidden);
        AddLayer(3, QStringLiteral("Roof"), VisibBold);
        layers_ = std::make_unique<TFLayers>(Core(), Core().MakeLayersData(), forms_);
        forms_.FLayers = layers_.get();
        edpt_ = std::make_unique<TFEdPt>(Core());
        forms_.FEdPt = edpt_.get();
        edtxt_ = std::make_unique<TFedtxt>(Core(), forms_);
        segdets_ = std::make_unique<TFSegdets>(Core(), forms_);
        Core().MinLenX = 0;
        Core().MinLenY = 0;
        Core().Scale = 2;
    }

    TPointRec Stored(Extended x, Extended y)
    {
        TPointRec p = Pt(x, y);
        p.Pxlx = Core().LenToPixelX(x);
        p.Pxly = Core().LenToPixelY(y);
        Core().StorePoint(p);
        return p;
    }

    // Types text over what the edit shows, key by key, as a user does.
    static void TypeOver(QLineEdit* edit, const QString& text)
    {
        edit->selectAll();
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(edit, &press);
        }
    }

    // Types into the point details where a text differs from the one shown
    // (the others are left alone) and presses Save.
    bool SavePoint(const TPointRec& p, const QString& x, const QString& y, const QString& px,
                   const QString& py)
    {
        WhenModal([&](QWidget*) {
            EXPECT_FALSE(edpt_->OKBtn->isEnabled());
            for (const auto& [edit, text] :
                 {std::pair{edpt_->Edit1, x}, std::pair{edpt_->Edit2, y},
                  std::pair{edpt_->Edit3, px}, std::pair{edpt_->Edit4, py}}) {
                if (edit->text() != text)
                    TypeOver(edit, text);
            }
            edpt_->OKBtn->click();
            if (edpt_->isVisible())
                edpt_->reject();
        });
        return edpt_->EditPoint(p);
    }

    TPointRec Reload(int32_t n)
    {
        TPointRec p;
        Core().LoadPoint(n, p);
        return p;
    }

    Forms forms_;
    ScriptedPrompts prompts_;
    ScopedPromptSeam seam_{prompts_};
    std::unique_ptr<TFLayers> layers_;
    std::unique_ptr<TFEdPt> edpt_;
    std::unique_ptr<TFedtxt> edtxt_;
    std::unique_ptr<TFSegdets> segdets_;
};

TEST_F(DetailsTest, PointDetailsShowThePointAndItsStamps)
{
    TPointRec p = Stored(10, 20);
    p.Rprts = 0;
    WhenModal([this](QWidget*) { edpt_->CancelBtn->click(); });
    EXPECT_FALSE(edpt_->EditPoint(p));
    EXPECT_EQ(edpt_->Label1->text(), QStringLiteral("Point id = %1").arg(p.Pointnum));
    EXPECT_EQ(edpt_->Edit1->text(), QStringLiteral("10.00"));
    EXPECT_EQ(edpt_->Edit4->text(), QString::number(p.Pxly));
    EXPECT_EQ(edpt_->Label4->text(), QStringLiteral("Last drawn 1899-12-30"));

    TPointRec loose = Pt(1, 2);
    WhenModal([this](QWidget*) { edpt_->CancelBtn->click(); });
    edpt_->EditPoint(loose);
    EXPECT_EQ(edpt_->Label1->text(), QStringLiteral("Point id = -1 (point not stored)"));
}

TEST_F(DetailsTest, PointDetailsAxisRule)
{
    const TPointRec p = Stored(10, 20);
    // x: a changed length wins over a changed pixel; y: a changed pixel
    // becomes a length.
    prompts_.Answer('Y');
    EXPECT_TRUE(SavePoint(p, QStringLiteral("15"), QStringLiteral("20.00"), QStringLiteral("999"),
                          QString::number(p.Pxly + 4)));
    const TPointRec saved = Reload(p.Pointnum);
    EXPECT_EQ(saved.Lenx, 15);
    EXPECT_EQ(saved.Pxlx, Core().LenToPixelX(15));
    EXPECT_EQ(saved.Pxly, p.Pxly + 4);
    EXPECT_EQ(saved.Leny, Core().PixelToLenY(p.Pxly + 4));
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("Update point - are you really sure?")});
}

TEST_F(DetailsTest, PointDetailsKeepLengthsTheDisplayRounded)
{
    TPointRec p = Stored(10.123456, 20.987654);
    prompts_.Answer('Y');
    SavePoint(p, QStringLiteral("10.12"), QStringLiteral("20.99"), QString::number(p.Pxlx + 2),
              QString::number(p.Pxly));
    const TPointRec saved = Reload(p.Pointnum);
    EXPECT_EQ(saved.Lenx, Core().PixelToLenX(p.Pxlx + 2));
    EXPECT_EQ(saved.Leny, 20.987654);
    EXPECT_EQ(saved.Pxly, p.Pxly);
}

TEST_F(DetailsTest, PointDetailsSaveALengthTypedAsShownOnPurpose)
{
    Core().RoundingDP = 1;
    const TPointRec p = Stored(10.44, 20.96);
    for (const QString& typed : {QStringLiteral("10.4"), QStringLiteral("10.40")}) {
        prompts_.Answer('Y');
        WhenModal([&](QWidget*) {
            EXPECT_EQ(edpt_->Edit1->text(), QStringLiteral("10.4"));
            TypeOver(edpt_->Edit1, typed);
            edpt_->OKBtn->click();
        });
        EXPECT_TRUE(edpt_->EditPoint(Reload(p.Pointnum)));
        const TPointRec saved = Reload(p.Pointnum);
        EXPECT_EQ(saved.Lenx, 10.4);
        EXPECT_EQ(saved.Pxlx, Core().LenToPixelX(10.4));
        // The length not typed into keeps what the display rounded.
        EXPECT_EQ(saved.Leny, 20.96);
    }
}

TEST_F(DetailsTest, PointDetailsRefuseBadNumbersAndADeclinedSaveStillClosesAsOk)
{
    const TPointRec p = Stored(10, 20);
    bool openAfterText = false;
    bool openAfterHuge = false;
    bool openAfterInfinity = false;
    WhenModal([&](QWidget*) {
        edpt_->Edit1->setText(QStringLiteral("ten"));
        edpt_->OKBtn->click();
        openAfterText = edpt_->isVisible();
        edpt_->Edit1->setText(QStringLiteral("1e308"));
        edpt_->OKBtn->click();
        openAfterHuge = edpt_->isVisible();
        edpt_->Edit1->setText(QStringLiteral("11"));
        edpt_->Edit2->setText(QStringLiteral("-1000000000001"));
        edpt_->OKBtn->click();
        openAfterInfinity = edpt_->isVisible();
        edpt_->Edit2->setText(QStringLiteral("20"));
        edpt_->OKBtn->click();
    });
    prompts_.Answer('N');
    EXPECT_TRUE(edpt_->EditPoint(p));
    EXPECT_TRUE(openAfterText);
    EXPECT_TRUE(openAfterHuge);
    EXPECT_TRUE(openAfterInfinity);
    EXPECT_EQ(prompts_.Texts(),
              QStringList({QStringLiteral("Invalid number \"ten\""), LengthOutOfRangeMessage(),
                           LengthOutOfRangeMessage(),
                           QStringLiteral("Update point - are you really sure?")}));
    EXPECT_EQ(Reload(p.Pointnum).Lenx, 10);
}

TEST_F(DetailsTest, PointDetailsInsertAnUnstoredPoint)
{
    TPointRec loose = Pt(7, 8);
    const int32_t before = Core().LastPointNum;
    prompts_.Answer('Y');
    EXPECT_TRUE(SavePoint(loose, QStringLiteral("7"), QStringLiteral("9"), QStringLiteral("0"),
                          QStringLiteral("0")));
    const TPointRec saved = Reload(before + 1);
    EXPECT_EQ(saved.Leny, 9);
    EXPECT_EQ(saved.Pxly, Core().LenToPixelY(9));
}

TEST_F(DetailsTest, EditTextKeepsOrChangesTheLayerAndAsksForHiddenOnes)
{
    const TPointRec p = Stored(1, 1);
    Core().AddText(p, QStringLiteral("Gate"), 3);
    WhenModal([this](QWidget*) {
        EXPECT_EQ(edtxt_->Button4->text(), QStringLiteral("Layer=3"));
        EXPECT_EQ(edtxt_->Button4->toolTip(), QStringLiteral("3 = Roof"));
        edtxt_->Edit1->setText(QStringLiteral("Gate 2"));
        edtxt_->Button1->click();
    });
    edtxt_->EditTextAtPoint(p.Pointnum);
    TTextRec text;
    ASSERT_TRUE(Core().LoadTextAtPoint(p.Pointnum, text));
    EXPECT_EQ(text.Text, QStringLiteral("Gate 2"));
    EXPECT_EQ(text.Layer.Layernum, 3);
    EXPECT_EQ(Core().CurrentLayer.Layernum, 3);

    // A hidden layer is questioned; No leaves the label as it was.
    prompts_.Answer('N');
    WhenModal([this](QWidget*) {
        WhenModal([this](QWidget*) {
            layers_->GoToLayerRow(2);
            layers_->Button2->click();
        });
        edtxt_->Button4->click();
        EXPECT_EQ(edtxt_->Button4->text(), QStringLiteral("Layer=2"));
        edtxt_->Edit1->setText(QString());
        edtxt_->Button1->click();
    });
    edtxt_->EditTextAtPoint(p.Pointnum);
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("Selected layer is hidden - OK?")});
    ASSERT_TRUE(Core().LoadTextAtPoint(p.Pointnum, text));
    EXPECT_EQ(text.Text, QStringLiteral("Gate 2"));

    // An empty text is stored as an empty label.
    WhenModal([this](QWidget*) {
        edtxt_->Edit1->setText(QString());
        edtxt_->Button1->click();
    });
    edtxt_->EditTextAtPoint(p.Pointnum);
    ASSERT_TRUE(Core().LoadTextAtPoint(p.Pointnum, text));
    EXPECT_EQ(text.Text, QString());
}

TEST_F(DetailsTest, EditTextDeleteAsksAndNoPointNoWindow)
{
    const TPointRec p = Stored(1, 1);
    Core().AddText(p, QStringLiteral("Gate"), 0);
    prompts_.Answers(QStringLiteral("NY"));
    for (int i = 0; i < 2; ++i) {
        WhenModal([this](QWidget*) { edtxt_->Button3->click(); });
        edtxt_->EditTextAtPoint(p.Pointnum);
        EXPECT_EQ(Core().PointHasText(p.Pointnum), i == 0);
    }
    // Nothing opens for a point without a label: no modal is waiting.
    edtxt_->EditTextAtPoint(p.Pointnum);
    EXPECT_FALSE(edtxt_->isVisible());
}

TEST_F(DetailsTest, SegmentDetailsFillTagsTypesAndLayer)
{
    TSegRec s = StoreSeg(0, 0, 30, 40, 3);
    s.Mlenx = 0;
    WhenModal([this](QWidget*) { segdets_->CancelBtn->click(); });
    EXPECT_FALSE(segdets_->EditSegment(s, s.ToPoint.Pointnum));
    EXPECT_EQ(segdets_->windowTitle(), QStringLiteral("Segment #%1 details").arg(s.Segnum));
    EXPECT_TRUE(segdets_->FromLbl->text().endsWith(QStringLiteral(" (X)")));
    EXPECT_TRUE(segdets_->ToLbl->text().endsWith(QStringLiteral(" (O)")));
    EXPECT_EQ(segdets_->Label1->text(), QStringLiteral("Segment type = Line (joining)"));
    EXPECT_EQ(segdets_->MlenxBox->text(), QString());
    EXPECT_EQ(segdets_->GroupBox1->title(), QStringLiteral("Length (mm) "));
    EXPECT_EQ(segdets_->LayerBtn->text(), QStringLiteral("Layer=3"));
    EXPECT_EQ(Core().CurrentLayer.Layernum, 3);

    TSegRec jump = s;
    jump.SegType = SegJump;
    jump.Measured = true;
    WhenModal([this](QWidget*) { segdets_->reject(); });
    segdets_->EditSegment(jump, -1);
    EXPECT_EQ(segdets_->Label1->text(), QStringLiteral("Segment type = unknown (measured)"));
    EXPECT_TRUE(segdets_->FromLbl->text().endsWith(QStringLiteral(" (O)")));
}

TEST_F(DetailsTest, SegmentDetailsCancelRestoresThenCloses)
{
    TSegRec s = StoreSeg(0, 0, 30, 40);
    WhenModal([this](QWidget*) {
        segdets_->XORChk->click();
        EXPECT_TRUE(segdets_->UpdBtn->isEnabled());
        EXPECT_EQ(segdets_->CancelBtn->text(), QStringLiteral("Cancel"));
        segdets_->CancelBtn->click();
        EXPECT_FALSE(segdets_->XORChk->isChecked());
        EXPECT_EQ(segdets_->CancelBtn->text(), QStringLiteral("Close"));
        EXPECT_TRUE(segdets_->isVisible());
        segdets_->CancelBtn->click();
    });
    EXPECT_FALSE(segdets_->EditSegment(s, -1));
}

TEST_F(DetailsTest, SegmentDeleteAsksOnceOrTwiceForAMeasuredRow)
{
    TSegRec plain = StoreSeg(0, 0, 30, 40);
    TSegRec old = StoreSeg(30, 40, 60, 40);
    Exec(QStringLiteral("UPDATE seg SET Seglen = 30 WHERE Segnum = %1").arg(old.Segnum));

    prompts_.Answers(QStringLiteral("YN"));
    WhenModal([this](QWidget*) { segdets_->Delete1->trigger(); });
    EXPECT_FALSE(segdets_->EditSegment(old, -1));
    TSegRec found;
    EXPECT_TRUE(Core().LoadSegment(old.Segnum, found));
    EXPECT_EQ(prompts_.Texts(),
              QStringList({QStringLiteral("Delete segment #%1 - are you sure?").arg(old.Segnum),
                           QStringLiteral("Delete Measured Segment - are you really sure ? (better "
                                          "to amend segtype to Jump)")}));

    prompts_.Clear();
    prompts_.Answer('Y');
    WhenModal([this](QWidget*) { segdets_->Delete1->trigger(); });
    EXPECT_TRUE(segdets_->EditSegment(plain, -1));
    EXPECT_FALSE(Core().LoadSegment(plain.Segnum, found));
    EXPECT_EQ(prompts_.Texts().size(), 1);
    TPointRec end;
    EXPECT_TRUE(Core().LoadPoint(plain.FromPoint.Pointnum, end));
}

TEST_F(DetailsTest, ASegmentMeasuredLeftOrUpIsMeasuredAndAsksTwiceBeforeItGoes)
{
    // The measured dialog stores a length measured left or up as negative.
    TSegRec left = Seg(30, 0, 0, 0);
    left.Mlenx = -30;
    Core().InsertSegment(left);
    TSegRec up = Seg(0, 40, 0, 0);
    up.Mleny = -40;
    Core().InsertSegment(up);

    for (const TSegRec& stored : {left, up}) {
        TSegRec s;
        ASSERT_TRUE(Core().LoadSegment(stored.Segnum, s));
        EXPECT_TRUE(s.Measured);
        prompts_.Clear();
        prompts_.Answers(QStringLiteral("YN"));
        QString type;
        WhenModal([&](QWidget*) {
            type = segdets_->Label1->text();
            segdets_->Delete1->trigger();
        });
        segdets_->EditSegment(s, -1);
        EXPECT_EQ(type, QStringLiteral("Segment type = Line (measured)"));
        EXPECT_EQ(prompts_.Texts().size(), 2);
        TSegRec kept;
        EXPECT_TRUE(Core().LoadSegment(s.Segnum, kept));
    }
}

TEST_F(DetailsTest, SegmentSaveWritesTheProperties)
{
    TSegRec s = StoreSeg(0, 0, 30, 40);
    WhenModal([this](QWidget*) {
        WhenModal([this](QWidget*) {
            layers_->GoToLayerRow(1);
            layers_->Button2->click();
        });
        segdets_->LayerBtn->click();
        segdets_->FaintChk->click();
        segdets_->UpdBtn->click();
    });
    EXPECT_TRUE(segdets_->EditSegment(s, -1));
    TSegRec stored;
    ASSERT_TRUE(Core().LoadSegment(s.Segnum, stored));
    EXPECT_EQ(stored.Layernum, 1);
    EXPECT_TRUE(stored.Faint);
    EXPECT_EQ(s.Layernum, 1);
}

} // namespace
