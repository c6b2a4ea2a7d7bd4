#include "platform/readers/MetafileTarget.h"

TMetafileTarget::~TMetafileTarget() = default;
