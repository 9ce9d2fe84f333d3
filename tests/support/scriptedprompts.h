#pragma once
// A prompt seam for tests: questions and input prompts take their answers
// from queues, and every box, prompt and flash note is recorded. A question
// or prompt with no answer queued throws, so a test fails instead of hanging
// on a box that nobody will close.
//
//     ScriptedPrompts prompts;
//     ScopedPromptSeam use(prompts);
//     prompts.Answer('Y').Answer('N');   // or prompts.Answers("YN")
//     prompts.Type("12").CancelInput();
//     ... code under test ...
//     EXPECT_EQ(prompts.Texts(), QStringList({...}));

#include "library/promptseam.h"

#include <QChar>
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <stdexcept>
#include <vector>

// A question or prompt came with nothing queued to answer it.
class UnscriptedPrompt : public std::logic_error
{
  public:
    using std::logic_error::logic_error;
};

class ScriptedPrompts : public PromptSeam
{
  public:
    enum class Kind { Info, Question, Input, Error };

    struct Shown {
        Kind kind;
        QString caption; // empty for the input box, which has none
        QString text;    // the box's text, or the input box's first prompt
        QString text2;   // the input box's second prompt
        QString initial; // the text the input box started with
        QChar emphasis;  // the input box's emphasis, 'A' or 'B'
    };

    // Next answer to a question: 'Y', 'N', 'C', or ' ' for a box closed
    // some other way.
    ScriptedPrompts& Answer(QChar answer);
    // Several answers at once, one letter each: "YNC".
    ScriptedPrompts& Answers(const QString& letters);
    // Next input box: the line is typed and OK pressed.
    ScriptedPrompts& Type(const QString& line);
    // Next input box: Cancel is pressed.
    ScriptedPrompts& CancelInput();

    // Everything shown, in order.
    const std::vector<Shown>& Log() const { return log_; }
    // The texts of every box and the first prompt of every input box, in order.
    QStringList Texts() const;
    // The texts of the boxes of one kind only.
    QStringList Texts(Kind kind) const;
    QStringList Captions() const;
    // The texts of the flash notes, each as it arrived.
    const QStringList& Flashes() const { return flashes_; }
    // True when every queued answer has been used.
    bool AllAnswered() const { return questions_.empty() && inputs_.empty(); }
    // Forgets what was shown and drops the queued answers.
    void Clear();

    void Info(const QString& caption, const QString& text) override;
    QChar YesNoCancel(const QString& caption, const QString& text) override;
    bool InputLine(const QString& prompt1, const QString& prompt2, QChar emphasis,
                   QString& text) override;
    void ErrorBox(const QString& caption, const QString& text) override;
    void NoteFlashed(const QString& text) override;

  private:
    std::deque<QChar> questions_;
    std::deque<std::optional<QString>> inputs_;
    std::vector<Shown> log_;
    QStringList flashes_;
};
