#include "platform/graphics/SystemMetrics.h"

int GetSystemMetrics(int index)
{
    switch (index) {
    case SM_CXVSCROLL: return 17;
    case SM_CYHSCROLL: return 17;
    case SM_CXBORDER: return 1;
    case SM_CYBORDER: return 1;
    case SM_CXEDGE: return 2;
    case SM_CYEDGE: return 2;
    default: return 0;
    }
}

int SystemFontCharHeight()
{
    return 16;
}
