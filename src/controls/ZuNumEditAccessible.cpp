#include "controls/ZuNumEditAccessible.h"

#include "controls/TZuNumEdit.h"

#include <QFontMetrics>

using namespace Qt::StringLiterals;

ZuNumEditAccessible::ZuNumEditAccessible(TZuNumEdit *w) : QAccessibleWidget(w, QAccessible::EditableText) {}

TZuNumEdit *ZuNumEditAccessible::edit() const
{
    return static_cast<TZuNumEdit *>(widget());
}

QAccessible::State ZuNumEditAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.editable = !edit()->isReadOnly();
    s.readOnly = edit()->isReadOnly();
    s.selectableText = true;
    return s;
}

QString ZuNumEditAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return edit()->valText();
    return QAccessibleWidget::text(t);
}

void *ZuNumEditAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(t);
}

void ZuNumEditAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    const bool has = selectionIndex == 0 && edit()->selLength() > 0;
    *startOffset = 0;
    *endOffset = has ? edit()->selLength() : 0;
}

int ZuNumEditAccessible::selectionCount() const
{
    return edit()->selLength() > 0 ? 1 : 0;
}

void ZuNumEditAccessible::addSelection(int, int)
{
    edit()->selectAll();
}

void ZuNumEditAccessible::removeSelection(int)
{
    edit()->clearSelect();
}

void ZuNumEditAccessible::setSelection(int, int startOffset, int endOffset)
{
    if (endOffset > startOffset)
        edit()->selectAll();
    else
        edit()->clearSelect();
}

int ZuNumEditAccessible::cursorPosition() const
{
    return characterCount();
}

void ZuNumEditAccessible::setCursorPosition(int) {}

QString ZuNumEditAccessible::text(int startOffset, int endOffset) const
{
    const QString v = edit()->valText();
    startOffset = qBound(0, startOffset, int(v.size()));
    endOffset = qBound(startOffset, endOffset, int(v.size()));
    return v.mid(startOffset, endOffset - startOffset);
}

int ZuNumEditAccessible::characterCount() const
{
    return int(edit()->valText().size());
}

QRect ZuNumEditAccessible::characterRect(int offset) const
{
    const QString v = edit()->valText();
    if (offset < 0 || offset >= v.size())
        return QRect();
    const QFontMetrics fm(edit()->font());
    const QRect r = edit()->drawRect();
    const int x = r.left() + fm.horizontalAdvance(v.left(offset));
    const QRect local(x, r.top(), fm.horizontalAdvance(v.at(offset)), r.height());
    return QRect(edit()->mapToGlobal(local.topLeft()), local.size());
}

int ZuNumEditAccessible::offsetAtPoint(const QPoint &point) const
{
    const QPoint local = edit()->mapFromGlobal(point);
    const QString v = edit()->valText();
    const QFontMetrics fm(edit()->font());
    const QRect r = edit()->drawRect();
    if (!r.contains(local))
        return -1;
    for (int i = 0; i < v.size(); ++i) {
        if (local.x() < r.left() + fm.horizontalAdvance(v.left(i + 1)))
            return i;
    }
    return -1;
}

void ZuNumEditAccessible::scrollToSubstring(int, int) {}

QString ZuNumEditAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    *startOffset = offset;
    *endOffset = offset;
    return QString();
}

namespace {

QAccessibleInterface *ZuNumEditAccessibleFactory(const QString &key, QObject *object)
{
    if (key == u"TZuNumEdit"_s && object && object->isWidgetType())
        return new ZuNumEditAccessible(static_cast<TZuNumEdit *>(object));
    return nullptr;
}

} // namespace

void InstallZuNumEditAccessibleFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(ZuNumEditAccessibleFactory);
        return true;
    }();
    Q_UNUSED(installed);
}
