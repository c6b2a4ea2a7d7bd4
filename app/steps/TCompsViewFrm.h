#pragma once
// The View Comps step: the comparable sales of the last comps answer, one row
// each, where the agent marks the comps the report uses; the details of the
// comp under the cursor, the marked comps counted by listing status, and a
// one-page information report of one comp.

#include "forms/TBaseFrm.h"
#include "forms/TStepHost.h"

#include <QMap>
#include <QPointer>

class QScrollArea;
class TExtColumnGrid;
class TLabel;

class TCompsViewFrm : public TBaseFrm {
    Q_OBJECT
public:
    explicit TCompsViewFrm(QObject* owner, TStepHost* host = nullptr);
    ~TCompsViewFrm() override;

    TExtColumnGrid* grComps = nullptr;
    TLabel* lbCount = nullptr;
    QScrollArea* ScrollBox1 = nullptr;

    // Whether a mark changed while the step was shown.
    bool Modified() const { return m_modified; }
    // The text shown beside a detail caption ("APN:", "Land Use:", ...).
    QString DetailText(const QString& caption) const;

    void FillGrid();
    void ShowDetails();
    void ShowCounts();
    // Space beyond the "Use" column flips the row's mark; every key then
    // makes the row's record current with its mark.
    void grCompsKeyDown(int& key);
    void grCompsCheckBoxClick(int row);
    // The pop-up menu's "Select" and "Unselect".
    void SelectRow(bool use);
    // "Info": fetches the comp of the current row and previews its one-page
    // report "compinfo.rpt".
    void CompInfo();

private:
    void FormClose(TCloseAction& action);
    void SetMark(int row, bool use);
    int RecordIndex(int row);

    QMap<QString, TLabel*> m_details;
    bool m_modified = false;
};

extern QPointer<TCompsViewFrm> CompsViewFrm;
