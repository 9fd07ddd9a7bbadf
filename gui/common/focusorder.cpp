#include "gui/common/focusorder.h"

#include <QLayout>
#include <QList>
#include <QScrollArea>
#include <QWidget>

namespace {

void collect(QWidget *widget, QList<QWidget *> &order);

void collect(QLayout *layout, QList<QWidget *> &order)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (QWidget *widget = item->widget())
            collect(widget, order);
        else if (QLayout *inner = item->layout())
            collect(inner, order);
    }
}

void collect(QWidget *widget, QList<QWidget *> &order)
{
    if ((widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus)
        order << widget;
    if (auto *scroll = qobject_cast<QScrollArea *>(widget); scroll && scroll->widget())
        collect(scroll->widget(), order);
    else if (QLayout *layout = widget->layout())
        collect(layout, order);
}

} // namespace

namespace FocusOrder {

void followLayout(QWidget *root)
{
    QList<QWidget *> order;
    collect(root, order);
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace FocusOrder
