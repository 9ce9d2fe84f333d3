// Every caption of the program's windows can be read whole at the font the
// platform gives: no button or label is narrower than its text.

#include "firebird/fbedition.h"
#include "library/scriptedprompts.h"
#include "sheet/sheet.h"
#include "sheet/startup.h"
#include "store/fbschema.h"
#include "store/tableedition.h"
#include "store/tableschema.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

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

// Shows every window of the program and checks its captions; the main
// window at the size given, when one is.
void ExpectEveryCaptionFits(const Edition& edition, const QString& folder, QSize sheet = {})
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
        ExpectCaptionsFit(*window);
        window->hide();
        ++checked;
    }
    EXPECT_GE(checked, 15);
}

TEST(Captions, EveryButtonAndLabelOfEveryWindowShowsItsWholeCaption)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.filePath("Scalora data")));
    CreateTableStore(dir.filePath("Scalora data"), OldestTableStoreVersion);
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    ExpectEveryCaptionFits(TableEdition(), dir.path());
}

// The second program's own controls too: "Circle", the fixed last panel of
// its status bar, the decimals column. Its status bar shares the width with
// the side panel, so its main window, maximised, needs a screen of 1024
// pixels or more.
TEST(Captions, TheSecondProgramsWindowsShowTheirWholeCaptions)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.filePath("Scalora2 data")));
    CreateFirebirdStore(dir.filePath("Scalora2 data/scalora2data.fdb"));
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    ExpectEveryCaptionFits(FirebirdEdition(), dir.path(), QSize(1024, 768));
}

} // namespace
