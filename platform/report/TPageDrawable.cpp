#include "platform/report/TPageDrawable.h"

TPageDrawable::~TPageDrawable() = default;
