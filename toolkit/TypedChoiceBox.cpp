#include "toolkit/TypedChoiceBox.h"

#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>

QComboBox *makeTypedChoiceBox(QWidget *parent)
{
    auto *box = new QComboBox(parent);
    // Made editable through a line edit that already has a completer, so that the box does not
    // make its own over its items, only to have it taken away again: that completer cost most of
    // the making of such a box, and windows make up to ten of them when they open.
    auto *edit = new QLineEdit(box);
    edit->setCompleter(new QCompleter(edit));
    box->setLineEdit(edit);
    box->setCompleter(nullptr); // the line edit deletes the completer it owns
    box->setInsertPolicy(QComboBox::NoInsert);
    return box;
}
