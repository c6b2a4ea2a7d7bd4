#pragma once
// An edit with a button and a unit: the unit (UnitID) is shown right of
// the text, and the button or F4 opens a menu of the Units at the edit's
// bottom right corner; the chosen line becomes the unit.

#include "controls/EsgEditBtn.h"

#include <QStringList>

class TEsgUnitEditBtn : public TEsgEditBtn {
public:
    explicit TEsgUnitEditBtn(QWidget* parent, const QString& name = QString());
    ~TEsgUnitEditBtn() override;

    const QStringList& Units() const { return m_units; }
    void SetUnits(const QStringList& value) { m_units = value; }
    QString UnitID() const { return m_unitID; }
    void SetUnitID(const QString& value);
    // Pixels kept for the unit's text (20 at creation).
    int UnitSpace() const { return UnitSpaceValue(); }
    void SetUnitSpace(int value) { SetUnitSpaceValue(value); }

    // The screen point the units menu opens at.
    QPoint MenuPosition() const;
    // The unit's rectangle, in client coordinates.
    TRect UnitRect() const;

    // Opens the units menu instead of firing OnClickBtn.
    void DoClickBtn(QObject* sender) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QStringList m_units;
    QString m_unitID;
};
