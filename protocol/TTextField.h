#pragma once
// What the connections need of a text control they are bound to: its text,
// read and written. The user-interface layer adapts its edits and drop-down
// lists to it (the adapter lives as long as its control, as a child of it);
// a connection holds the binding in a QPointer, so a field that goes away is
// forgotten by every connection bound to it.

#include <QObject>
#include <QString>

class TTextField : public QObject {
public:
    explicit TTextField(QObject* parent = nullptr) : QObject(parent) { }
    ~TTextField() override = default;

    virtual QString Text() const = 0;
    virtual void SetText(const QString& text) = 0;
};
