#include "platform/core/Object.h"

TObject::~TObject() = default;
