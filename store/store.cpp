#include "store/store.h"

Store::Store()
{
    InitSegment(CurrentSegment);
    InitLayer(CurrentLayer);
}

void Store::ResetMargins()
{
    MarginLeft = 50;
    MarginRight = 50;
    MarginTop = 50;
    MarginBottom = 50;
}
