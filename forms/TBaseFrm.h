#pragma once
// The base of every step form: closed and freed by WM_STEPCLOSE, fitted by
// WM_FITPANEL, freed whenever it closes, fitted and focused when shown.
// Descendants that bind their own close or show handler call FormClose or
// FormShow first.

#include "forms/TChildForm.h"

class TBaseFrm : public TChildForm {
    Q_OBJECT
public:
    explicit TBaseFrm(QObject* owner);

    void WndProc(TMessage& message) override;

    // Sets the close action to free.
    void FormClose(QObject* sender, TCloseAction& action);
    // Fits the form to its panel and gives it the focus.
    void FormShow(QObject* sender);
};
