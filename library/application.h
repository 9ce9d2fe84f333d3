#pragma once
// The program's application object. An exception that no handler catches
// ends the current user action with a modal error box titled with the
// application title; the program then carries on. Every window is drawn in
// the program's face (ProgramFont).

#include <QApplication>
#include <QString>
#include <exception>
#include <functional>

// The error box's text: the message with "." appended when its last
// character comes after "." in the character codes.
QString ExceptionBoxText(const QString& message);

// Shows the error box for an exception that reached the top.
void ShowExceptionBox(const QString& message);

// Runs one delivery; an exception that leaves it is shown in the error box
// and the delivery counts as not handled.
bool DeliverShowingExceptions(const std::function<bool()>& deliver);

// How the error box words an exception that reached the top: the program
// hands in its store's words (which file, what happened, what to do) once
// the store exists, and an empty function when it goes. Without one, the
// exception's own text.
void UseFaultWords(std::function<QString(const std::exception&)> words);

class Application : public QApplication
{
    Q_OBJECT

  public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};
