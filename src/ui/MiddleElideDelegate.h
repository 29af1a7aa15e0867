#pragma once

#include <QStyledItemDelegate>

// Draws a cell's text elided in the middle, so the end of a long path (the file name) stays
// visible.
class MiddleElideDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->textElideMode = Qt::ElideMiddle;
    }
};
