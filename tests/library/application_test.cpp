#include "library/application.h"
#include "support/scriptedprompts.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace
{

TEST(ExceptionBox, AppendsAPointAfterCharactersAboveIt)
{
    EXPECT_EQ(ExceptionBoxText("Disk full"), "Disk full.");
    EXPECT_EQ(ExceptionBoxText("Error 5"), "Error 5.");
    EXPECT_EQ(ExceptionBoxText("Table not found."), "Table not found.");
    EXPECT_EQ(ExceptionBoxText("Stop!"), "Stop!"); // "!" comes before "."
    EXPECT_EQ(ExceptionBoxText("(see log)"), "(see log)");
    EXPECT_EQ(ExceptionBoxText("path/"), "path/."); // "/" comes after "."
    EXPECT_EQ(ExceptionBoxText(QString::fromUtf8("Größe")), QString::fromUtf8("Größe."));
    EXPECT_EQ(ExceptionBoxText(""), "");
}

TEST(ExceptionBox, UncaughtExceptionShowsTheBoxAndTheProgramCarriesOn)
{
    ScriptedPrompts prompts;
    ScopedPromptSeam use(prompts);
    EXPECT_FALSE(DeliverShowingExceptions([]() -> bool { throw std::runtime_error("Disk full"); }));
    EXPECT_FALSE(DeliverShowingExceptions([]() -> bool { throw 42; }));
    EXPECT_TRUE(DeliverShowingExceptions([] { return true; }));

    ASSERT_EQ(prompts.Log().size(), 2u);
    EXPECT_EQ(prompts.Log()[0].kind, ScriptedPrompts::Kind::Error);
    EXPECT_EQ(prompts.Log()[0].caption, QApplication::applicationName());
    EXPECT_EQ(prompts.Log()[0].text, "Disk full.");
    EXPECT_EQ(prompts.Log()[1].text, "Unknown error.");
}

TEST(ExceptionBox, TheProgramsWordsForItsFaultsAreShownWhileHandedIn)
{
    ScriptedPrompts prompts;
    ScopedPromptSeam use(prompts);
    const auto fail = []() -> bool { throw std::runtime_error("database is locked"); };
    UseFaultWords([](const std::exception& e) {
        return QStringLiteral("The store is held by another program\n") + e.what();
    });
    DeliverShowingExceptions(fail);
    UseFaultWords({});
    DeliverShowingExceptions(fail);
    EXPECT_EQ(prompts.Texts(), (QStringList{"The store is held by another program\n"
                                            "database is locked.",
                                            "database is locked."}));
}

} // namespace
