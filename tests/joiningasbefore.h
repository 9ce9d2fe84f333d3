#pragma once
// What a joining Save that the store refused leaves on the main window.

#include "sheet/sheet.h"

#include <QComboBox>
#include <QImage>
#include <QPushButton>
#include <gtest/gtest.h>

// The sheet's pixels as they were, the cursors and the preview on again, X
// where it was and the joining panel still open on its shape.
inline void ExpectJoiningAsBefore(TFSheet& sheet, const QImage& pixels, const TPointRec& x,
                                  int shape)
{
    EXPECT_TRUE(sheet.Sheet.Bitmap.Image() == pixels);
    EXPECT_TRUE(sheet.Sheet.CursorOShown);
    EXPECT_TRUE(sheet.Sheet.CursorXShown);
    EXPECT_TRUE(sheet.Sheet.PreviewDrawn);
    const TPointRec& now = sheet.Sheet.CursorX();
    EXPECT_EQ(now.Pxlx, x.Pxlx);
    EXPECT_EQ(now.Pxly, x.Pxly);
    EXPECT_EQ(now.Pointnum, x.Pointnum);
    EXPECT_EQ(sheet.Sheet.JoinMode, 2);
    EXPECT_EQ(sheet.ComboBox2->currentIndex(), shape);
    EXPECT_TRUE(sheet.SaveBtn->isEnabled());
    EXPECT_FALSE(sheet.QuitBtn->isEnabled());
}
