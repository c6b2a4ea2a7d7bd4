#pragma once
// The program's one top-level window. Until the shell is built it is the
// fixed 800 by 600 frame the steps will live in.

#include "platform/kernel/Form.h"

class TMainProfileFrm : public TForm {
    Q_OBJECT
public:
    explicit TMainProfileFrm(QWidget* parent = nullptr);
};
