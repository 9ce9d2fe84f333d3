#include "library/promptseam.h"

#include "library/qtprompts.h"

namespace
{

PromptSeam* installedSeam = nullptr;

PromptSeam& RealPrompts()
{
    static QtPrompts real;
    return real;
}

} // namespace

PromptSeam& Prompts()
{
    return installedSeam ? *installedSeam : RealPrompts();
}

ScopedPromptSeam::ScopedPromptSeam(PromptSeam& seam) : previous_(installedSeam)
{
    installedSeam = &seam;
}

ScopedPromptSeam::~ScopedPromptSeam()
{
    installedSeam = previous_;
}
