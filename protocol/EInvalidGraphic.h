#pragma once
// The load error of a picture: data that is not a picture of the kind asked
// for (a bitmap, a JPEG picture, a metafile).

#include "platform/core/Exception.h"

class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};
