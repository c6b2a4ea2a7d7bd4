#pragma once
// The load error of a picture: bytes that are not a picture of the kind asked
// for (a bitmap, a JPEG picture, a metafile), or one too large to hold.

#include "platform/core/Exception.h"

class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};
