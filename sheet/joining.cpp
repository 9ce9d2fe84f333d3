#include "sheet/joining.h"

#include "dialogs/newseg.h"
#include "library/controls.h"
#include "sheet/forms.h"
#include "sheet/sheet.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

void SheetJoining::EnableJoiningPanel(bool enable)
{
    EnableGrey(*sheet_.ComboBox2, enable);
    sheet_.AngleBtn->setEnabled(false);
    if (enable && sheet_.ComboBox2->currentText() == QLatin1String("ArcX"))
        sheet_.AngleBtn->setEnabled(true);
    sheet_.SaveBtn->setEnabled(enable);
    sheet_.JngCancel->setEnabled(enable);
}

void SheetJoining::CloseJoiningPanel()
{
    sheet_.Sheet.HideNewSegmentPreview();
    EnableJoiningPanel(false);
    sheet_.GroupBox2->setAutoFillBackground(false);
    sheet_.GroupBox2->setPalette(QPalette());
    sheet_.ClearActiveControl();
    sheet_.QuitBtn->setEnabled(true);
}

void SheetJoining::EndJoining()
{
    if (sheet_.Sheet.JoinMode == 2)
        CloseJoiningPanel();
    sheet_.Sheet.JoinMode = 0;
    if (forms_.Fnewseg)
        forms_.Fnewseg->hide();
}
