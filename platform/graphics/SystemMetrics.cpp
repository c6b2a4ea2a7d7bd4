#include "platform/graphics/SystemMetrics.h"

int GetSystemMetrics(int index)
{
    switch (index) {
    case Win::SM_CXVSCROLL: return 17;
    case Win::SM_CYHSCROLL: return 17;
    case Win::SM_CXBORDER: return 1;
    case Win::SM_CYBORDER: return 1;
    case Win::SM_CXEDGE: return 2;
    case Win::SM_CYEDGE: return 2;
    default: return 0;
    }
}

int SystemFontCharHeight() { return 16; }
