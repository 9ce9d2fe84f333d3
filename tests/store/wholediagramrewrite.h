#pragma once
// A store's rewrite of a new scale by whole-diagram statements checked
// against the changed rows written one by one, for either store.

#include <QString>
#include <cstdint>
#include <gtest/gtest.h>

// Fits the open diagram to a sheet of the given size, as a refresh does.
template <typename Core> bool FitToSheet(Core& core, int32_t width, int32_t height)
{
    core.SheetWidth = width;
    core.SheetHeight = height;
    core.OpenVisibleSegments();
    core.OpenVisibleText();
    return core.FitDiagramToSheet(0);
}

// The store with the whole-diagram rewrite counted, or switched off so that
// every changed row is written by itself.
template <typename Store> class RewritingCore : public Store
{
  public:
    RewritingCore(const QString& folder, bool wholeDiagram)
        : Store(folder), wholeDiagram_(wholeDiagram)
    {
    }
    int WholeDiagramRewrites = 0;
    int BoxesByLength = 0;

  protected:
    bool RewritePixelsFromLengths(bool boxes) override
    {
        if (!wholeDiagram_)
            return false;
        ++WholeDiagramRewrites;
        BoxesByLength += boxes;
        return Store::RewritePixelsFromLengths(boxes);
    }

  private:
    bool wholeDiagram_;
};

// The seeded chain's lengths of point i: they fall on half pixels at the
// scales below, left and above 0.
inline double SeededLenX(int i)
{
    return (i % 37) * 0.125 - 1.5;
}
inline double SeededLenY(int i)
{
    return (i % 23) * 0.375 - 0.625;
}

// Two stores seeded alike (Seeded: Core(), Fit(width, height), Rows() of
// every point and segment value, SpoilBoxes()) refitted at widths that give
// new scales: the first fit writes every pixel, the others change the
// scale. At widths 118 and 154 the scale is 4 and 12 pixels a unit, which
// puts every other seeded length on a half pixel, rounded to the even one.
template <typename Seeded> void ExpectRowsOfTheRowByRowRewrite(Seeded& whole, Seeded& byRow)
{
    ASSERT_EQ(whole.Rows(), byRow.Rows());
    for (const int width : {1000, 118, 341, 154}) {
        SCOPED_TRACE(width);
        whole.SpoilBoxes();
        byRow.SpoilBoxes();
        ASSERT_TRUE(whole.Fit(width, 800));
        ASSERT_TRUE(byRow.Fit(width, 800));
        EXPECT_EQ(whole.Core().Scale, byRow.Core().Scale);
        if (width == 118) {
            EXPECT_EQ(whole.Core().Scale, 4);
        }
        EXPECT_EQ(whole.Rows(), byRow.Rows());
    }
    EXPECT_EQ(whole.Core().WholeDiagramRewrites, 4);
    // The first fit finds half the boxes never fitted and writes them one
    // by one; the others rewrite the boxes' pixels by the statement and
    // only the spoilt boxes by row (a box whose end has gone keeps its
    // lengths, the statement's pixels right for it).
    EXPECT_EQ(whole.Core().BoxesByLength, 3);
    EXPECT_EQ(byRow.Core().WholeDiagramRewrites, 0);
}
