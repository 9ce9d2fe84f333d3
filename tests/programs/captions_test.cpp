// Every caption of the program's windows can be read whole, in the face the
// programs use and in the faces the install script installs: no button or
// label is narrower than its text, and no symbol of a caption is missing
// from the face it is drawn in.

#include "firebird/fbschema.h"
#include "platform/programfont.h"
#include "programs/fbedition.h"
#include "programs/tableedition.h"
#include "sheet/sheet.h"
#include "sheet/startup.h"
#include "support/scriptedprompts.h"
#include "tablestore/tableschema.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace
{

// The room a control's style leaves for its caption.
int CaptionRoom(QAbstractButton& button)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<QCheckBox*>(&button))
        contents = QStyle::SE_CheckBoxContents;
    else if (qobject_cast<QRadioButton*>(&button))
        contents = QStyle::SE_RadioButtonContents;
    else if (qobject_cast<QToolButton*>(&button))
        return button.contentsRect().width() - 2;
    return button.style()->subElementRect(contents, &option, &button).width();
}

QString Plain(QString caption)
{
    return caption.remove(QLatin1Char('&'));
}

// The widest line of the caption, by the control's own font.
int CaptionWidth(const QWidget& control, const QString& caption)
{
    const QFontMetrics metrics(control.font());
    int widest = 0;
    for (const QString& line : Plain(caption).split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

void ExpectCaptionsFit(QWidget& window)
{
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(&window) || button->text().isEmpty())
            continue;
        EXPECT_LE(CaptionWidth(*button, button->text()), CaptionRoom(*button))
            << window.windowTitle().toStdString() << ": button \"" << button->text().toStdString()
            << "\" is " << button->width() << " wide";
    }
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (!label->isVisibleTo(&window) || label->text().isEmpty() || label->wordWrap())
            continue;
        EXPECT_LE(CaptionWidth(*label, label->text()), label->contentsRect().width())
            << window.windowTitle().toStdString() << ": label \"" << label->text().toStdString()
            << "\" is " << label->width() << " wide";
    }
}

// Every top-level window the program has made, each shown in turn; the main
// window at the size given, when one is.
void ForEachWindow(const Edition& edition, const QString& folder, QSize sheet,
                   const std::function<void(QWidget&)>& check)
{
    ProgramWindows windows(edition, folder);
    windows.forms.FSheet->show();
    if (sheet.isValid()) {
        windows.forms.FSheet->showNormal();
        windows.forms.FSheet->resize(sheet);
    }
    int checked = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->windowFlags().testFlag(Qt::Desktop) || window->inherits("QMenu"))
            continue;
        window->show();
        QApplication::processEvents();
        check(*window);
        window->hide();
        ++checked;
    }
    EXPECT_GE(checked, 15);
}

// The application font for one test, put back afterwards.
class ScopedApplicationFont
{
  public:
    explicit ScopedApplicationFont(const QFont& font) : saved_(QApplication::font())
    {
        QApplication::setFont(font);
    }
    ~ScopedApplicationFont() { QApplication::setFont(saved_); }
    ScopedApplicationFont(const ScopedApplicationFont&) = delete;
    ScopedApplicationFont& operator=(const ScopedApplicationFont&) = delete;

  private:
    QFont saved_;
};

// The programs' windows in the programs' own face or, at its size, in the
// face named.
class InFace : public ::testing::TestWithParam<const char*>
{
  protected:
    void SetUp() override
    {
        QFont font = ProgramFont();
        const QString family = QString::fromUtf8(GetParam());
        if (!family.isEmpty()) {
            font.setFamilies({family});
            ASSERT_EQ(QFontInfo(font).family(), family)
                << "the face is not installed: scripts/install-deps.sh installs it";
        }
        font_.emplace(font);
    }
    void TearDown() override { font_.reset(); }

  private:
    std::optional<ScopedApplicationFont> font_;
};

// The designed captions: in each face the install script installs and in
// the fixed-pitch face fontconfig gives when DejaVu Sans is missing.
class Captions : public InFace
{
};

// What the status panels say: in each face the install script installs.
class StatusTexts : public InFace
{
};

TEST_P(Captions, EveryButtonAndLabelOfEveryWindowShowsItsWholeCaption)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.filePath("Scalora data")));
    CreateTableStore(dir.filePath("Scalora data"), OldestTableStoreVersion);
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    ForEachWindow(TableEdition(), dir.path(), {}, ExpectCaptionsFit);
}

// The second program's own controls too: "Circle", the fixed last panel of
// its status bar, the decimals column. Its status bar shares the width with
// the side panel, so its main window, maximised, needs a screen of 1024
// pixels or more.
TEST_P(Captions, TheSecondProgramsWindowsShowTheirWholeCaptions)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.filePath("Scalora2 data")));
    CreateFirebirdStore(dir.filePath("Scalora2 data/scalora2data.fdb"));
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    ForEachWindow(FirebirdEdition(), dir.path(), QSize(1024, 768), ExpectCaptionsFit);
}

// Both programs' fresh stores in one folder.
void CreateBothStores(const QTemporaryDir& dir)
{
    ASSERT_TRUE(QDir().mkpath(dir.filePath("Scalora data")));
    ASSERT_TRUE(QDir().mkpath(dir.filePath("Scalora2 data")));
    CreateTableStore(dir.filePath("Scalora data"), OldestTableStoreVersion);
    CreateFirebirdStore(dir.filePath("Scalora2 data/scalora2data.fdb"));
}

// Long texts of the status panels (five-figure point and segment numbers,
// the pixel size with its units) on a main window 1024 pixels wide: each
// text whole, and the O-X text clear of "Length =" by at least a space.
void ExpectLongStatusTextsWhole(const Edition& edition, const QString& folder)
{
    ProgramWindows windows(edition, folder);
    TFSheet& sheet = *windows.forms.FSheet;
    sheet.show();
    sheet.showNormal();
    sheet.resize(1024, 768);
    const QString oxText = QStringLiteral("O-X = Segment #12345 L");
    sheet.Label1->setText(QStringLiteral("X = Point #12345+"));
    sheet.Label3->setText(QStringLiteral("O = Point #12345+"));
    sheet.Label2->setText(oxText);
    sheet.Label6->setText(QStringLiteral("12345.6789"));
    sheet.Label5->setText(QStringLiteral("Pixel size 0.1187 mm"));
    // Each panel lays itself out and then asks the bar, which asks the window.
    for (int level = 0; level < 4; ++level)
        QApplication::processEvents();
    ExpectCaptionsFit(sheet);
    const QFontMetrics metrics(sheet.Label2->font());
    const int oxEnd = sheet.Label2->mapTo(&sheet, QPoint(metrics.horizontalAdvance(oxText), 0)).x();
    EXPECT_GE(sheet.Label4->mapTo(&sheet, QPoint()).x() - oxEnd,
              metrics.horizontalAdvance(QLatin1Char(' ')));
}

TEST_P(StatusTexts, TheStatusBarShowsLongTextsWhole)
{
    QTemporaryDir dir;
    CreateBothStores(dir);
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    ExpectLongStatusTextsWhole(TableEdition(), dir.path());
    ExpectLongStatusTextsWhole(FirebirdEdition(), dir.path());
}

std::string FaceName(const ::testing::TestParamInfo<const char*>& face)
{
    std::string name = *face.param ? face.param : "ProgramFace";
    name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
    return name;
}

INSTANTIATE_TEST_SUITE_P(Faces, Captions,
                         ::testing::Values("", "DejaVu Sans", "Liberation Sans", "Liberation Mono"),
                         FaceName);
INSTANTIATE_TEST_SUITE_P(Faces, StatusTexts,
                         ::testing::Values("", "DejaVu Sans", "Liberation Sans"), FaceName);

// The symbols a control's caption is drawn with that its face has no glyph
// for (drawn as an empty box, or from whatever other face has them).
QString MissingGlyphs(const QWidget& control, const QString& caption)
{
    const QFontMetrics metrics(control.font());
    QString missing;
    for (const uint code : Plain(caption).toUcs4()) {
        const char32_t symbol = code;
        if (symbol != U'\n' && !metrics.inFontUcs4(symbol))
            missing += QString::fromUcs4(&symbol, 1);
    }
    return missing;
}

void ExpectGlyphs(const QWidget& control, const QString& caption)
{
    EXPECT_EQ(MissingGlyphs(control, caption), QString())
        << control.window()->windowTitle().toStdString() << ": \"" << caption.toStdString()
        << "\" in " << QFontInfo(control.font()).family().toStdString();
}

// Buttons, labels, group boxes, lists to choose from and menus.
void ExpectEveryCaptionSymbolHasAGlyph(QWidget& window)
{
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>())
        ExpectGlyphs(*button, button->text());
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (label->textFormat() != Qt::RichText)
            ExpectGlyphs(*label, label->text());
    }
    for (QGroupBox* group : window.findChildren<QGroupBox*>())
        ExpectGlyphs(*group, group->title());
    for (QComboBox* list : window.findChildren<QComboBox*>()) {
        for (int i = 0; i < list->count(); ++i)
            ExpectGlyphs(*list, list->itemText(i));
    }
    for (QMenuBar* bar : window.findChildren<QMenuBar*>()) {
        for (QAction* action : bar->actions())
            ExpectGlyphs(*bar, action->text());
    }
    for (QMenu* menu : window.findChildren<QMenu*>()) {
        for (QAction* action : menu->actions())
            ExpectGlyphs(*menu, action->text());
    }
}

// In the face the programs actually use: the skip buttons' arrows, "x -:- o"
// and every other symbol of both programs' windows.
TEST(CaptionGlyphs, EverySymbolOfEveryCaptionIsInTheFaceItIsDrawnIn)
{
    QTemporaryDir dir;
    CreateBothStores(dir);
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    ASSERT_EQ(QApplication::font(), ProgramFont());
    ForEachWindow(TableEdition(), dir.path(), {}, ExpectEveryCaptionSymbolHasAGlyph);
    ForEachWindow(FirebirdEdition(), dir.path(), {}, ExpectEveryCaptionSymbolHasAGlyph);
}

} // namespace
