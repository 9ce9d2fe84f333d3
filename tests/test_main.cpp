// Test programs share this main: the application object is created inside a
// test environment, so listing the tests at build time needs no display.
// Windows are drawn in the face the programs use.
#include "platform/programfont.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <memory>

namespace
{

class QtEnvironment : public ::testing::Environment
{
  public:
    void SetUp() override
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
        QApplication::setFont(ProgramFont());
    }
    void TearDown() override { app_.reset(); }

  private:
    std::unique_ptr<QApplication> app_;
};

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);
    return RUN_ALL_TESTS();
}
