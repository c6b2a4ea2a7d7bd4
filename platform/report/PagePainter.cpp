#include "platform/report/PagePainter.h"

TPagePainter::~TPagePainter() = default;
