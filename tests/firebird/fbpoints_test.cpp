// The second program's search for a point near X in its database: every
// point of the open diagram within ten pixels on either axis, the nearest
// first, the lowest number among equally near ones.

#include "store/storefixture.h"

namespace
{

class FirebirdPointSearch : public StoreOn<FirebirdStoreFixture>
{
  protected:
    // A stored point whose cached pixel is (px, py), on layer 2 (hidden);
    // no refresh ever drew it. Numbered n, or after the last one.
    int32_t PointAtPixel(int32_t px, int32_t py, int32_t dgnum = 1, int32_t n = -1)
    {
        if (n < 0)
            n = next_++;
        Exec(QStringLiteral("insert into point (dgnum, pointnum, lenx, leny, pxlx, pxly, layernum) "
                            "values (%1, %2, %3, 0, %4, %5, 2)")
                 .arg(dgnum)
                 .arg(n)
                 .arg(n)
                 .arg(px)
                 .arg(py));
        return n;
    }

    int32_t Found(int32_t px, int32_t py)
    {
        TPointRec found;
        return Core().FindPointNear(px, py, found) ? found.Pointnum : -1;
    }

    int32_t next_ = 10;
};

TEST_F(FirebirdPointSearch, ReachesTenPixelsOnEitherAxisAndNoFurther)
{
    // X at pixel (100, 200): the square runs from 90 to 110 and 190 to 210.
    const int32_t left = PointAtPixel(90, 200);
    EXPECT_EQ(Found(100, 200), left);
    EXPECT_EQ(Found(101, 200), -1);
    const int32_t below = PointAtPixel(300, 210);
    EXPECT_EQ(Found(300, 200), below);
    EXPECT_EQ(Found(300, 199), -1);
    // A corner of the square is inside it.
    EXPECT_EQ(Found(310, 220), below);
    EXPECT_EQ(Found(311, 220), -1);
}

TEST_F(FirebirdPointSearch, TakesTheNearestAndAmongEquallyNearTheLowestNumber)
{
    const int32_t far = PointAtPixel(108, 200);
    // Four pixels off on each axis: nearer by the larger difference, but
    // farther in a straight line than the two below.
    const int32_t corner = PointAtPixel(104, 204);
    // Equally near: the lower number wins, its row first or second.
    PointAtPixel(95, 200, 1, 50);
    const int32_t up = PointAtPixel(100, 195, 1, 40);
    EXPECT_EQ(Found(100, 200), up);
    const int32_t left = PointAtPixel(395, 200, 1, 30);
    PointAtPixel(400, 195, 1, 60);
    EXPECT_EQ(Found(400, 200), left);
    EXPECT_EQ(Found(104, 203), corner);
    EXPECT_EQ(Found(110, 200), far);
}

TEST_F(FirebirdPointSearch, FindsPointsOfHiddenLayersButNeverOfAnotherDiagram)
{
    NewDiagram(2, QStringLiteral("Barn"));
    PointAtPixel(100, 200, 2);
    EXPECT_EQ(Found(100, 200), -1);
    const int32_t hidden = PointAtPixel(100, 201);
    TPointRec found;
    found.Pointnum = 77;
    ASSERT_TRUE(Core().FindPointNear(100, 200, found));
    EXPECT_EQ(found.Pointnum, hidden);
    EXPECT_EQ(found.Layernum, 2);
    EXPECT_EQ(found.Lenx, hidden);
    EXPECT_EQ(found.Pxly, 201);
}

TEST_F(FirebirdPointSearch, NothingInTheSquareLeavesTheRecordAlone)
{
    PointAtPixel(150, 150);
    TPointRec found = Pt(3, 4);
    found.Pointnum = 77;
    EXPECT_FALSE(Core().FindPointNear(100, 200, found));
    EXPECT_EQ(found.Pointnum, 77);
    EXPECT_EQ(found.Lenx, 3);
}

} // namespace
