#pragma once
// Qt's PDF writer encodes photographs as JPEG at a quality of its own.
// SetJpegQuality encodes each JPEG picture of such a PDF again at the given
// quality and rewrites the cross-reference table for the new lengths. It
// knows the layout QPdfWriter writes (one cross-reference section, stream
// lengths as objects of their own); a PDF laid out otherwise, or a picture
// that does not decode, is left as it is.

#include <QByteArray>

namespace PdfImages {

// True when the pictures were encoded again.
bool SetJpegQuality(QByteArray& pdf, int quality);

} // namespace PdfImages
