#pragma once

#include <QAbstractItemView>
#include <QComboBox>
#include <QStringList>
#include <QTest>

/// The texts of a pick list's items, in order.
inline QStringList comboItems(const QComboBox *box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

/// Picks item index of a pick list as a user does: opens its list and clicks the item.
inline void pickItem(QComboBox *box, int index)
{
    box->showPopup();
    QAbstractItemView *view = box->view();
    const QModelIndex item = view->model()->index(index, box->modelColumn());
    view->scrollTo(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
}
