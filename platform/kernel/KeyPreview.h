#pragma once
// A window that sees the keys of its controls before they do (the class
// library's form with KeyPreview): its handlers run first, and a key or
// character they set to 0 goes no further. A form implements this and the
// controls find it as their window.

#include "platform/kernel/VirtualKeys.h"

class TKeyPreview {
public:
    virtual ~TKeyPreview() = default;
    virtual bool KeyPreview() const = 0;
    virtual void PreviewKeyDown(int& key, TShiftState shift) = 0;
    virtual void PreviewKeyPress(TKeyChar& key) = 0;
    virtual void PreviewKeyUp(int& key, TShiftState shift) = 0;
};
