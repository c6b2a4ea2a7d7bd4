#include "grid/cells/TExtStringGridCheck.h"

QString TExtStringGridCheck::MarkError(int, int, const QString& text) { return text; }

QString TExtStringGridCheck::Correct(int, int, const QString& text) { return text; }

QString TExtStringGridCheck::Check(int col, int row, const QString& text)
{
    QString result = text;
    if (AutoCorrect) result = Correct(col, row, result);
    if (AutoMarkError) result = MarkError(col, row, result);
    return result;
}
