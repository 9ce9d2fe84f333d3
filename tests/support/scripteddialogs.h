#pragma once
// File and font dialogs for tests: each dialog takes its answer from a
// queue and records what it was shown. A dialog with no answer queued
// throws, so a test fails instead of hanging on a dialog nobody closes.
//
//     ScriptedDialogs dialogs;
//     ScopedCommonDialogs use(dialogs);
//     dialogs.SaveAs("/tmp/x/notes").PickFont(QFont("Courier", 12));

#include "library/commondialogs.h"

#include <QFont>
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

class ScriptedDialogs : public CommonDialogs
{
  public:
    // Next save dialog: the name is chosen and OK pressed.
    ScriptedDialogs& SaveAs(const QString& fileName);
    ScriptedDialogs& CancelSave();
    // Next font dialog: the font is chosen and OK pressed.
    ScriptedDialogs& PickFont(const QFont& font);
    ScriptedDialogs& CancelFont();

    // The filters the save dialogs offered, and the fonts the font dialogs
    // were preset with, in order.
    const QStringList& SaveFilters() const { return filters_; }
    const std::vector<QFont>& FontPresets() const { return presets_; }
    bool AllAnswered() const { return saves_.empty() && fonts_.empty(); }

    bool SaveFileName(QWidget* parent, const QString& filter, QString& fileName) override;
    bool ChooseFont(QWidget* parent, QFont& font) override;

  private:
    std::deque<std::optional<QString>> saves_;
    std::deque<std::optional<QFont>> fonts_;
    QStringList filters_;
    std::vector<QFont> presets_;
};
