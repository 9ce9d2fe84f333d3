#pragma once
// The real boxes of the program: Qt message boxes placed at the dialog
// anchor, and the input box.

#include "library/promptseam.h"

class QtPrompts : public PromptSeam
{
  public:
    void Info(const QString& caption, const QString& text) override;
    QChar YesNoCancel(const QString& caption, const QString& text) override;
    bool InputLine(const QString& prompt1, const QString& prompt2, QChar emphasis,
                   QString& text) override;
    void ErrorBox(const QString& caption, const QString& text) override;
};
