#include "support/scriptedprompts.h"

ScriptedPrompts& ScriptedPrompts::Answer(QChar answer)
{
    questions_.push_back(answer);
    return *this;
}

ScriptedPrompts& ScriptedPrompts::Answers(const QString& letters)
{
    for (QChar letter : letters)
        Answer(letter);
    return *this;
}

ScriptedPrompts& ScriptedPrompts::Type(const QString& line)
{
    inputs_.emplace_back(line);
    return *this;
}

ScriptedPrompts& ScriptedPrompts::CancelInput()
{
    inputs_.emplace_back(std::nullopt);
    return *this;
}

QStringList ScriptedPrompts::Texts() const
{
    QStringList texts;
    for (const Shown& shown : log_)
        texts << shown.text;
    return texts;
}

QStringList ScriptedPrompts::Texts(Kind kind) const
{
    QStringList texts;
    for (const Shown& shown : log_)
        if (shown.kind == kind)
            texts << shown.text;
    return texts;
}

QStringList ScriptedPrompts::Captions() const
{
    QStringList captions;
    for (const Shown& shown : log_)
        captions << shown.caption;
    return captions;
}

void ScriptedPrompts::Clear()
{
    questions_.clear();
    inputs_.clear();
    log_.clear();
    flashes_.clear();
}

void ScriptedPrompts::Info(const QString& caption, const QString& text)
{
    log_.push_back({Kind::Info, caption, text, {}, {}, {}});
}

QChar ScriptedPrompts::YesNoCancel(const QString& caption, const QString& text)
{
    log_.push_back({Kind::Question, caption, text, {}, {}, {}});
    if (questions_.empty())
        throw UnscriptedPrompt("no answer queued for the question: " + text.toStdString());
    const QChar answer = questions_.front();
    questions_.pop_front();
    return answer;
}

bool ScriptedPrompts::InputLine(const QString& prompt1, const QString& prompt2, QChar emphasis,
                                QString& text)
{
    log_.push_back({Kind::Input, {}, prompt1, prompt2, text, emphasis});
    if (inputs_.empty())
        throw UnscriptedPrompt("no answer queued for the input box: " + prompt1.toStdString());
    const std::optional<QString> answer = inputs_.front();
    inputs_.pop_front();
    if (!answer)
        return false;
    text = *answer;
    return true;
}

void ScriptedPrompts::ErrorBox(const QString& caption, const QString& text)
{
    log_.push_back({Kind::Error, caption, text, {}, {}, {}});
}

void ScriptedPrompts::NoteFlashed(const QString& text)
{
    flashes_ << text;
}
