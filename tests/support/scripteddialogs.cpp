#include "support/scripteddialogs.h"

#include "support/scriptedprompts.h"

ScriptedDialogs& ScriptedDialogs::SaveAs(const QString& fileName)
{
    saves_.emplace_back(fileName);
    return *this;
}

ScriptedDialogs& ScriptedDialogs::CancelSave()
{
    saves_.emplace_back(std::nullopt);
    return *this;
}

ScriptedDialogs& ScriptedDialogs::PickFont(const QFont& font)
{
    fonts_.emplace_back(font);
    return *this;
}

ScriptedDialogs& ScriptedDialogs::CancelFont()
{
    fonts_.emplace_back(std::nullopt);
    return *this;
}

bool ScriptedDialogs::SaveFileName(QWidget*, const QString& filter, QString& fileName)
{
    filters_ << filter;
    if (saves_.empty())
        throw UnscriptedPrompt("save dialog with no answer queued");
    const std::optional<QString> answer = saves_.front();
    saves_.pop_front();
    if (!answer)
        return false;
    fileName = *answer;
    return true;
}

bool ScriptedDialogs::ChooseFont(QWidget*, QFont& font)
{
    presets_.push_back(font);
    if (fonts_.empty())
        throw UnscriptedPrompt("font dialog with no answer queued");
    const std::optional<QFont> answer = fonts_.front();
    fonts_.pop_front();
    if (!answer)
        return false;
    font = *answer;
    return true;
}
