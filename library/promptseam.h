#pragma once
// Every message box, question and input prompt of the program passes through
// one PromptSeam. The program runs with the real Qt boxes; tests install a
// scripted seam that answers from a queue and records what was shown.

#include <QChar>
#include <QString>

class PromptSeam
{
  public:
    virtual ~PromptSeam() = default;

    // Information box with the single button OK, stay-on-top.
    virtual void Info(const QString& caption, const QString& text) = 0;

    // Question with Yes, No and Cancel: 'Y', 'N', 'C', or a blank when the
    // box was closed any other way.
    virtual QChar YesNoCancel(const QString& caption, const QString& text) = 0;

    // The input box: one line of text under one or two prompt lines.
    // emphasis 'A' draws the second line larger, 'B' the first. True only
    // on OK; text then holds the edited line, otherwise it is untouched.
    virtual bool InputLine(const QString& prompt1, const QString& prompt2, QChar emphasis,
                           QString& text) = 0;

    // The modal box for an error that no handler caught.
    virtual void ErrorBox(const QString& caption, const QString& text) = 0;

    // A flash note was shown; it needs no answer. The real seam has nothing
    // to do here (the note is its own window); a scripted one records it.
    virtual void NoteFlashed(const QString& text) { (void)text; }
};

// The seam in use: the installed one, else the real Qt boxes.
PromptSeam& Prompts();

// Installs a seam for the lifetime of the guard, then puts back the previous.
class ScopedPromptSeam
{
  public:
    explicit ScopedPromptSeam(PromptSeam& seam);
    ~ScopedPromptSeam();
    ScopedPromptSeam(const ScopedPromptSeam&) = delete;
    ScopedPromptSeam& operator=(const ScopedPromptSeam&) = delete;

  private:
    PromptSeam* previous_;
};
