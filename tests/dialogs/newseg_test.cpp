// The new-segment palette over a real table store.

#include "dialogs/forms.h"
#include "dialogs/layers.h"
#include "dialogs/newseg.h"
#include "library/busy.h"
#include "store/storefixture.h"
#include "support/modalhelper.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFrame>
#include <QMouseEvent>
#include <QPushButton>

namespace
{

class Palette : public StoreTest
{
  protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        palette_ = std::make_unique<TFnewseg>(Core(), forms_);
        forms_.Fnewseg = palette_.get();
    }

    void Mouse(QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons held)
    {
        const QPoint global = palette_->Panel1->mapToGlobal(local);
        QMouseEvent event(type, QPointF(local), QPointF(global), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(palette_->Panel1, &event);
    }

    Forms forms_;
    std::unique_ptr<TFnewseg> palette_;
};

TEST_F(Palette, StartsUncheckedFloatingAndBorderless)
{
    EXPECT_FALSE(palette_->XORChk->isChecked());
    EXPECT_FALSE(palette_->DottedChk->isChecked());
    EXPECT_FALSE(palette_->FaintChk->isChecked());
    EXPECT_TRUE(palette_->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(palette_->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(palette_->windowTitle(), QStringLiteral("Seg properties"));
}

TEST_F(Palette, LayerButtonShowsTheCurrentLayerAsOfTheLastShowing)
{
    AddLayer(7, QStringLiteral("Fences"), VisibBold);
    AddLayer(2, QStringLiteral("Paths"), VisibFaint);
    Core().CurrentLayer = TLayerRec{7, QStringLiteral("Fences"), VisibBold};
    palette_->show();
    EXPECT_EQ(palette_->LayerBtn->text(), QStringLiteral("Layer=7"));
    EXPECT_EQ(palette_->LayerBtn->toolTip(), QStringLiteral("7 = Fences"));

    // A layer chosen elsewhere shows only at the next showing.
    Core().CurrentLayer = TLayerRec{2, QStringLiteral("Paths"), VisibFaint};
    EXPECT_EQ(palette_->LayerBtn->text(), QStringLiteral("Layer=7"));
    palette_->hide();
    palette_->show();
    EXPECT_EQ(palette_->LayerBtn->text(), QStringLiteral("Layer=2"));
    EXPECT_EQ(palette_->LayerBtn->toolTip(), QStringLiteral("2 = Paths"));
    palette_->hide();

    // A layer the open diagram does not have gives way to the default layer.
    Core().CurrentLayer = TLayerRec{9, QStringLiteral("Elsewhere"), VisibBold};
    palette_->show();
    EXPECT_EQ(palette_->LayerBtn->text(), QStringLiteral("Layer=0"));
    EXPECT_EQ(palette_->LayerBtn->toolTip(), QStringLiteral("0 = Default layer"));
    EXPECT_EQ(Core().CurrentLayer.Layernum, 0);
    palette_->hide();
}

TEST_F(Palette, LayerButtonChoosesTheLayerOfTheWholeProgram)
{
    AddLayer(3, QStringLiteral("Roof"), VisibFaint);
    TFLayers layers(Core(), Core().MakeLayersData(), forms_);
    forms_.FLayers = &layers;
    palette_->show();

    WhenModal([&layers](QWidget*) {
        layers.GoToLayerRow(3);
        layers.Button3->click();
    });
    palette_->LayerBtn->click();
    EXPECT_EQ(Core().CurrentLayer.Layernum, 0);
    EXPECT_EQ(palette_->LayerBtn->text(), QStringLiteral("Layer=0"));

    WhenModal([&layers](QWidget*) {
        layers.GoToLayerRow(3);
        layers.Button2->click();
    });
    palette_->LayerBtn->click();
    EXPECT_EQ(Core().CurrentLayer.Layernum, 3);
    EXPECT_EQ(Core().CurrentLayer.Name, QStringLiteral("Roof"));
    EXPECT_EQ(Core().CurrentLayer.Visib, VisibFaint);
    EXPECT_EQ(palette_->LayerBtn->text(), QStringLiteral("Layer=3"));
    EXPECT_EQ(palette_->LayerBtn->toolTip(), QStringLiteral("3 = Roof"));
    palette_->hide();
}

TEST_F(Palette, DraggingTheFaceMovesItWithTheDragCursorMeanwhile)
{
    palette_->show();
    palette_->move(100, 100);
    const QPoint before = palette_->pos();
    Mouse(QEvent::MouseButtonPress, {60, 150}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(ScreenCursor(), Qt::DragMoveCursor);
    Mouse(QEvent::MouseMove, {90, 130}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(palette_->pos(), before + QPoint(30, -20));
    EXPECT_EQ(ScreenCursor(), Qt::DragMoveCursor);
    Mouse(QEvent::MouseButtonRelease, {90, 130}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(ScreenCursor(), Qt::ArrowCursor);

    // Moving over the face without the button moves nothing.
    const QPoint after = palette_->pos();
    Mouse(QEvent::MouseMove, {10, 10}, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(palette_->pos(), after);
    EXPECT_EQ(ScreenCursor(), Qt::ArrowCursor);
    palette_->hide();
}

} // namespace
