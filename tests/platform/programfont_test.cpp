#include "platform/programfont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <gtest/gtest.h>

namespace
{

TEST(ProgramFont, IsThePlatformsGeneralFaceDrawnProportionally)
{
    const QFont general = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    const QFont font = ProgramFont();
    EXPECT_FALSE(QFontInfo(font).fixedPitch()) << QFontInfo(font).family().toStdString();
    EXPECT_EQ(font.pointSizeF(), general.pointSizeF());
    EXPECT_EQ(font.styleHint(), QFont::SansSerif);
}

// What a system with only the Liberation faces answers "sans-serif" with.
TEST(ProgramFont, AFixedPitchFaceGivesWayToAProportionalSansFaceOfTheSameSizeAndStyle)
{
    QFont mono(QStringLiteral("Liberation Mono"), 11);
    mono.setBold(true);
    ASSERT_TRUE(QFontInfo(mono).fixedPitch()) << "scripts/install-deps.sh installs Liberation";

    const QFont font = ProportionalFont(mono);
    const QFontInfo face(font);
    EXPECT_FALSE(face.fixedPitch()) << face.family().toStdString();
    EXPECT_TRUE(face.family().contains(QLatin1String("Sans"))) << face.family().toStdString();
    EXPECT_EQ(face.pointSize(), 11);
    EXPECT_TRUE(face.bold());
}

TEST(ProgramFont, AProportionalFaceIsKept)
{
    const QFont sans(QStringLiteral("Liberation Sans"), 9);
    EXPECT_EQ(ProportionalFont(sans), sans);
}

} // namespace
