// scalora: the drawing editor on the table store.

#include "library/application.h"
#include "sheet/startup.h"
#include "store/core.h"

int main(int argc, char** argv)
{
    return RunProgram(argc, argv, QStringLiteral("Scalora"), [](const QString& exeFolder) {
        auto core = std::make_unique<TFcore>(exeFolder);
        DeliverShowingExceptions([&core] {
            core->FormCreate();
            return true;
        });
        return std::unique_ptr<Store>(std::move(core));
    });
}
