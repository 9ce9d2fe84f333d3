#include "library/application.h"

#include "library/promptseam.h"
#include "platform/programfont.h"

#include <exception>

namespace
{

std::function<QString(const std::exception&)> faultWords;

} // namespace

QString ExceptionBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + QLatin1Char('.');
    return message;
}

void ShowExceptionBox(const QString& message)
{
    Prompts().ErrorBox(QApplication::applicationName(), ExceptionBoxText(message));
}

bool DeliverShowingExceptions(const std::function<bool()>& deliver)
{
    try {
        return deliver();
    } catch (const std::exception& error) {
        ShowExceptionBox(faultWords ? faultWords(error) : QString::fromUtf8(error.what()));
    } catch (...) {
        ShowExceptionBox(QStringLiteral("Unknown error"));
    }
    return false;
}

void UseFaultWords(std::function<QString(const std::exception&)> words)
{
    faultWords = std::move(words);
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv)
{
    setFont(ProgramFont());
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    return DeliverShowingExceptions([&] { return QApplication::notify(receiver, event); });
}
