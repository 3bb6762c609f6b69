#include "mainwindow/PostalChoiceList.h"

#include <QKeyEvent>
#include <QScrollBar>

using namespace Qt::StringLiterals;

PostalChoiceList::PostalChoiceList(QWidget *window) : QListWidget(window)
{
    setObjectName(u"ListBox_PostalChoice"_s);
    setAccessibleName(u"候補の一覧"_s);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::Box);
    hide();
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) { finish(row(item)); });
}

void PostalChoiceList::open(const QStringList &lines, QWidget *anchor)
{
    clear();
    addItems(lines);
    for (int i = 0; i < count(); ++i)
        item(i)->setToolTip(lines.at(i));
    setFont(anchor->font());
    const int shown = std::min(int(lines.size()), 10);
    const int rowHeight = std::max(sizeHintForRow(0), fontMetrics().height());
    const QPoint at = anchor->mapTo(parentWidget(), QPoint(0, anchor->height()));
    setGeometry(at.x(), at.y(), anchor->width(), rowHeight * shown + 2 * frameWidth());
    setCurrentRow(0);
    m_closing = false;
    show();
    raise();
    setFocus(Qt::OtherFocusReason);
}

void PostalChoiceList::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: finish(currentRow()); return;
    case Qt::Key_Escape: finish(-1); return;
    default: QListWidget::keyPressEvent(event);
    }
}

void PostalChoiceList::focusOutEvent(QFocusEvent *event)
{
    QListWidget::focusOutEvent(event);
    if (isVisible() && !m_closing)
        finish(-1);
}

void PostalChoiceList::finish(int index)
{
    if (m_closing)
        return;
    m_closing = true;
    // The window moves the focus back to its field first, so hiding the list
    // does not send the focus through the window's other fields.
    if (index >= 0)
        Q_EMIT chosen(index);
    else
        Q_EMIT cancelled();
    hide();
}
