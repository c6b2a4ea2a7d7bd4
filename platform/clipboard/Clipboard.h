#pragma once
// The system clipboard as the class library reaches it: one set of formats
// at a time, put there whole and read back by format (QMimeData stands for
// the formats of a clipboard object).

class QMimeData;

class TClipboard {
public:
    // Empties the clipboard and puts the formats of data there (taken over).
    static void SetMimeData(QMimeData* data);
    // The formats on the clipboard now, nullptr when it is empty. Valid
    // until the clipboard changes.
    static const QMimeData* MimeData();
    static void Clear();
};
