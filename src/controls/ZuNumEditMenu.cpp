// TZuNumEdit's context menu: the owner's menu or the built-in one with the
// eight editing items, enabled for the field's state each time it opens.

#include "controls/TZuNumEdit.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>

using namespace Qt::StringLiterals;

QMenu *TZuNumEdit::popupMenu() const
{
    return m_popupMenu ? m_popupMenu.data() : builtInPopup();
}

void TZuNumEdit::setPopupMenu(QMenu *menu)
{
    m_popupMenu = menu;
}

QList<QAction *> TZuNumEdit::editPopupItems() const
{
    builtInPopup();
    return m_editPopupItems;
}

// The built-in menu is made when it is first asked for: a window holds dozens
// of these fields, and a menu per field would only slow the window's start.
QMenu *TZuNumEdit::builtInPopup() const
{
    if (!m_editPopup)
        const_cast<TZuNumEdit *>(this)->buildPopup();
    return m_editPopup;
}

void TZuNumEdit::buildPopup()
{
    m_editPopup = new QMenu(this);
    m_editPopup->setObjectName(u"EditPopup"_s);
    struct Item
    {
        QString caption;
        void (TZuNumEdit::*slot)();
    };
    const Item items[] = {
        {u"元に戻す(&U)"_s, &TZuNumEdit::undo},
        {u"-"_s, nullptr},
        {u"切り取り(&T)"_s, &TZuNumEdit::cutToClipboard},
        {u"コピー(&C)"_s, &TZuNumEdit::copyToClipboard},
        {u"貼り付け(&P)"_s, &TZuNumEdit::pasteFromClipboard},
        {u"削除(&D)"_s, &TZuNumEdit::clear},
        {u"-"_s, nullptr},
        {u"すべて選択(&A)"_s, &TZuNumEdit::selectAll},
    };
    int index = 0;
    for (const Item &item : items) {
        QAction *a = item.slot ? m_editPopup->addAction(item.caption) : m_editPopup->addSeparator();
        a->setData(index);
        a->setObjectName(u"EditPopupItems%1"_s.arg(index));
        if (item.slot)
            connect(a, &QAction::triggered, this, item.slot);
        m_editPopupItems.append(a);
        ++index;
    }
    connect(m_editPopup, &QMenu::aboutToShow, this, &TZuNumEdit::updatePopup);
}

void TZuNumEdit::updatePopup()
{
    const bool ro = isReadOnly();
    const bool selected = m_model.hasSelection();
    m_editPopupItems[0]->setEnabled(m_model.canUndo() && !ro);
    m_editPopupItems[2]->setEnabled(selected && !ro);
    m_editPopupItems[3]->setEnabled(selected);
    m_editPopupItems[4]->setEnabled(!QGuiApplication::clipboard()->text().isEmpty() && !ro);
    m_editPopupItems[5]->setEnabled(selected && !ro);
    m_editPopupItems[7]->setEnabled(!selected && !m_model.text().isEmpty());
}

void TZuNumEdit::contextMenuEvent(QContextMenuEvent *e)
{
    if (!hasFocus())
        setFocus(Qt::OtherFocusReason);
    if (QMenu *menu = popupMenu())
        menu->exec(e->globalPos());
    e->accept();
}
