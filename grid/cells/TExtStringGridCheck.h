#pragma once
// The grid's cell checker: after an edit the grid passes the new text
// through Correct (when AutoCorrect is set) and then MarkError (when
// AutoMarkError is set); each result replaces the cell's text. This checker
// returns the text unchanged; derived checkers do the work.

#include <QObject>
#include <QString>

class TExtStringGridCheck : public QObject {
public:
    explicit TExtStringGridCheck(QObject* owner = nullptr) : QObject(owner) { }

    bool GotoCell = false;
    bool AutoCorrect = false;
    bool AutoMarkError = false;
    bool UseCorrect = false;
    bool UseMarkError = false;

    virtual QString MarkError(int col, int row, const QString& text);
    virtual QString Correct(int col, int row, const QString& text);

    // What the grid does with an edited text: Correct, then MarkError, as
    // the two flags say.
    QString Check(int col, int row, const QString& text);
};
