// The layer of new items after its layer is deleted in the layers window,
// on both stores: the default layer takes over, the palette shows it, and
// no segment or label goes to the layer that has gone.

#include "dialogs/edition.h"
#include "dialogs/edtxt.h"
#include "dialogs/forms.h"
#include "dialogs/layers.h"
#include "dialogs/newseg.h"
#include "dialogs/segdets.h"
#include "sheet/func.h"
#include "store/storefixture.h"
#include "support/modalhelper.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <functional>

namespace
{

template <typename Kind> class CurrentLayerGone : public StoreOn<Kind>
{
  protected:
    void SetUp() override
    {
        StoreOn<Kind>::SetUp();
        this->AddLayer(3, QStringLiteral("Temp"), VisibBold);
        forms_.Program = &edition_;
        palette_ = std::make_unique<TFnewseg>(this->Core(), forms_);
        forms_.Fnewseg = palette_.get();
        dialog_ = std::make_unique<TFseg>(this->Core(), forms_);
        forms_.Fseg = dialog_.get();
        layers_ = std::make_unique<TFLayers>(this->Core(), this->Core().MakeLayersData(), forms_);
        forms_.FLayers = layers_.get();
        edtxt_ = std::make_unique<TFedtxt>(this->Core(), forms_);
        forms_.Fedtxt = edtxt_.get();
        segdets_ = std::make_unique<TFSegdets>(this->Core(), forms_);
        forms_.FSegdets = segdets_.get();
    }

    // The palette's "Layer=" button, with the steps acting on the layers
    // window it opens.
    void ThroughThePalette(const std::function<void(TFLayers&)>& steps)
    {
        WhenModal([this, steps](QWidget*) { steps(*layers_); });
        palette_->LayerBtn->click();
    }

    // Deletes layer n in the open layers window, answering every question Yes.
    void Delete(TFLayers& w, int32_t n)
    {
        w.GoToLayerRow(n);
        for (int i = 0; i < 3; ++i)
            this->prompts_.Answer('Y');
        w.Delete1->trigger();
    }

    // A measured segment of 10 across from (0, 0).
    bool Measure()
    {
        TSegRec seg;
        seg.FromPoint = Pt(-50, -50);
        seg.ToPoint = Pt(0, 0);
        WhenModal([this](QWidget*) {
            dialog_->Editx->setText(QStringLiteral("10"));
            dialog_->Button1->click();
            if (dialog_->isVisible())
                dialog_->Button2->click();
        });
        return dialog_->EnterMeasuredSegment(seg);
    }

    void ExpectDefaultLayerCurrent()
    {
        const TLayerRec& layer = this->Core().CurrentLayer;
        EXPECT_EQ(layer.Layernum, 0);
        EXPECT_EQ(layer.Name.trimmed(), QStringLiteral("Default layer"));
        EXPECT_EQ(layer.Visib, VisibBold);
        EXPECT_EQ(palette_->LayerBtn->text(), QStringLiteral("Layer=0"));
        EXPECT_EQ(palette_->LayerBtn->toolTip().trimmed(), QStringLiteral("0 = Default layer"));
    }

    bool AskedAboutTheLayer() const
    {
        return this->prompts_.Texts().join('\n').contains(QStringLiteral("Selected layer"));
    }

    Edition edition_ = DefaultEdition();
    Forms forms_;
    std::unique_ptr<TFnewseg> palette_;
    std::unique_ptr<TFseg> dialog_;
    std::unique_ptr<TFLayers> layers_;
    std::unique_ptr<TFedtxt> edtxt_;
    std::unique_ptr<TFSegdets> segdets_;
};

TYPED_TEST_SUITE(CurrentLayerGone, StoreKinds, StoreKindNames);

TYPED_TEST(CurrentLayerGone, DeletedFromThePalettesChoiceTheDefaultLayerTakesOver)
{
    this->palette_->show();
    this->ThroughThePalette([](TFLayers& w) {
        w.GoToLayerRow(3);
        w.Button2->click();
    });
    ASSERT_EQ(this->Core().CurrentLayer.Layernum, 3);
    ASSERT_EQ(this->palette_->LayerBtn->text(), QStringLiteral("Layer=3"));

    // Deleted, then the window left with Cancel: the answer is no layer,
    // but the one chosen before has gone.
    this->ThroughThePalette([this](TFLayers& w) {
        this->Delete(w, 3);
        w.Button3->click();
    });
    EXPECT_EQ(this->Count(QStringLiteral("layer"), QStringLiteral("Layernum = 3")), 0);
    this->ExpectDefaultLayerCurrent();

    this->prompts_.Clear();
    EXPECT_TRUE(this->Measure());
    EXPECT_FALSE(this->AskedAboutTheLayer());
    EXPECT_EQ(this->Count(QStringLiteral("seg")), 1);
    EXPECT_EQ(this->Count(QStringLiteral("seg"), QStringLiteral("Layernum = 0")), 1);
    this->palette_->hide();
}

TYPED_TEST(CurrentLayerGone, DeletedThroughTheLayersCommandWithItsSegments)
{
    this->Core().CurrentLayer = TLayerRec{3, QStringLiteral("Temp"), VisibBold};
    this->StoreSeg(0, 0, 5, 0, 3);
    this->palette_->show();
    WhenModal([this](QWidget*) {
        this->Delete(*this->layers_, 3);
        this->layers_->Button2->click();
    });
    EXPECT_TRUE(this->layers_->ManageLayers());
    EXPECT_EQ(this->Count(QStringLiteral("seg"), QStringLiteral("Layernum = 3")), 0);
    this->ExpectDefaultLayerCurrent();
    this->palette_->hide();

    // Another layer deleted leaves the current one alone.
    this->AddLayer(4, QStringLiteral("Spare"), VisibFaint);
    this->Core().CurrentLayer = TLayerRec{4, QStringLiteral("Spare"), VisibFaint};
    WhenModal([this](QWidget*) {
        this->AddLayer(5, QStringLiteral("Other"), VisibBold);
        this->layers_->ReloadLayers();
        this->Delete(*this->layers_, 5);
        this->layers_->Button3->click();
    });
    this->layers_->ManageLayers();
    EXPECT_EQ(this->Core().CurrentLayer.Layernum, 4);
}

TYPED_TEST(CurrentLayerGone, ALabelLeftOnADeletedLayerIsSavedOnTheDefaultLayer)
{
    TPointRec p = Pt(1, 1);
    this->Core().InsertPoint(p);
    this->Core().AddText(p, QStringLiteral("gate"), 3);
    // Labels stay when their layer goes.
    this->Core().DeleteLayer(3);
    this->Core().CurrentLayer = TLayerRec{3, QStringLiteral("Temp"), VisibBold};

    bool buttonShowedDefault = false;
    WhenModal([this, &buttonShowedDefault](QWidget*) {
        buttonShowedDefault = this->edtxt_->Button4->text() == QStringLiteral("Layer=0");
        this->edtxt_->Edit1->setText(QStringLiteral("gate 2"));
        this->edtxt_->Button1->click();
    });
    this->edtxt_->EditTextAtPoint(p.Pointnum);
    EXPECT_TRUE(buttonShowedDefault);
    EXPECT_FALSE(this->AskedAboutTheLayer());
    EXPECT_EQ(this->Count(QStringLiteral("text"), QStringLiteral("Layernum = 0")), 1);
    EXPECT_EQ(this->Count(QStringLiteral("text"), QStringLiteral("Layernum = 3")), 0);
}

TYPED_TEST(CurrentLayerGone, ALayerChosenForASegmentThenDeletedIsNotTheOneItIsSavedOn)
{
    TSegRec s = this->StoreSeg(0, 0, 5, 0);
    QString shownAfterDelete;
    WhenModal([this, &shownAfterDelete](QWidget*) {
        TFSegdets& d = *this->segdets_;
        WhenModal([](QWidget* w) {
            auto& layers = *static_cast<TFLayers*>(w);
            layers.GoToLayerRow(3);
            layers.Button2->click();
        });
        d.LayerBtn->click();
        WhenModal([this](QWidget* w) {
            auto& layers = *static_cast<TFLayers*>(w);
            this->Delete(layers, 3);
            layers.Button3->click();
        });
        d.LayerBtn->click();
        shownAfterDelete = d.LayerBtn->text();
        d.UpdBtn->click();
    });
    EXPECT_TRUE(this->segdets_->EditSegment(s, -1));
    EXPECT_EQ(shownAfterDelete, QStringLiteral("Layer=0"));
    EXPECT_EQ(this->Count(QStringLiteral("seg"), QStringLiteral("Layernum = 0")), 1);
    EXPECT_EQ(this->Count(QStringLiteral("seg"), QStringLiteral("Layernum = 3")), 0);
}

} // namespace
