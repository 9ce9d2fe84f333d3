// The about window: its texts, the program file's path and date.

#include "dialogs/about1.h"

#include <QCursor>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace
{

class AboutWindow : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        program_ = dir_.filePath("Scalora");
        QFile file(program_);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("program");
        file.flush();
        // An old program file: the date shown must be the file's, not today's.
        ASSERT_TRUE(file.setFileTime(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)),
                                     QFileDevice::FileModificationTime));
    }

    QTemporaryDir dir_;
    QString program_;
};

TEST_F(AboutWindow, ShowsTheProgramItsFileAndTheFilesDate)
{
    TFAbout1 about(ScaloraAbout(), program_);
    EXPECT_EQ(about.windowTitle(), "About");
    EXPECT_EQ(about.Label1->text(), "SCALORA");
    EXPECT_TRUE(about.Label1->font().bold());
    EXPECT_EQ(about.Label2->text(), program_); // the case of the path kept
    EXPECT_EQ(about.Label3->text(), "2001-02-03 04:05:06");
    const QStringList lines = about.Memo1->toPlainText().split('\n');
    EXPECT_EQ(lines.mid(0, 4),
              QStringList({"", "for making scale-drawings", "", "version 5.00 ( March 2023 )"}));
    EXPECT_TRUE(about.Memo1->isReadOnly());
    EXPECT_EQ(about.Memo1->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(about.Memo1->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);

    TFAbout1 second(Scalora2About(), program_);
    EXPECT_EQ(second.Label1->text(), "SCALORA2");
    EXPECT_EQ(second.Memo1->toPlainText().split('\n').at(3), "version 0.01 ( March 2023 )");
}

TEST_F(AboutWindow, ALongPathWidensTheWindowWithEqualMargins)
{
    const int designed = TFAbout1(ScaloraAbout(), program_).width();
    const QString deep = dir_.filePath(QString(20, 'd') + "/" + QString(40, 'e') + "/" +
                                       QString(30, 'f') + "/scalora");
    TFAbout1 about(ScaloraAbout(), deep);
    const int right = about.Label2->x() + about.Label2->width();
    ASSERT_GT(right, designed);
    EXPECT_EQ(about.width(), right + about.Label2->x());
    // A path of a missing file still shows; it has no date to show.
    EXPECT_EQ(about.Label2->text(), deep);
    EXPECT_EQ(about.Label3->text(), "");
}

} // namespace
