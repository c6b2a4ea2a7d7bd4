#include "platform/print/MetafileTarget.h"

TMetafileTarget::~TMetafileTarget() = default;
