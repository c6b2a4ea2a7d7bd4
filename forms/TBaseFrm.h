#pragma once
// The base of every step form: closed and freed by WM_STEPCLOSE, fitted by
// WM_FITPANEL, freed whenever it closes, fitted and focused when shown.
// Descendants that bind their own close or show handler call FormClose or
// FormShow first.

#include "forms/TChildForm.h"

class TStepHost;

class TBaseFrm : public TChildForm {
    Q_OBJECT
public:
    // The host is the window the step asks for its services and actions;
    // a step made without one asks nothing of a window.
    explicit TBaseFrm(QObject* owner, TStepHost* host = nullptr);

    TStepHost* Host() const { return m_host; }

    void WndProc(TMessage& message) override;

    // Sets the close action to free.
    void FormClose(QObject* sender, TCloseAction& action);
    // Fits the form to its panel and gives it the focus.
    void FormShow(QObject* sender);

    // The main window's key preview: a key pressed anywhere in the window is
    // offered to the step before the control with the focus sees it. True
    // when the step took it; the base takes none.
    virtual bool PreviewKey(int key);

private:
    TStepHost* m_host = nullptr;
};
