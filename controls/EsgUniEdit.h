#pragma once
// The grid's wide-text edit: an edit whose text is Unicode throughout
// (every Qt edit's is), so that a character beyond U+00FF typed into it is
// stored as it is and OnKeyPress sees it as it is.

#include "platform/widgets/CustomEdit.h"

class TEsgUniEdit : public TCustomEdit {
public:
    explicit TEsgUniEdit(QWidget* parent, const QString& name = QString()) : TCustomEdit(parent, name) { }
};
