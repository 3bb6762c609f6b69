#include "controls/TypingLimit.h"

#include <QEvent>
#include <QLineEdit>
#include <QValidator>

namespace vuzo {
namespace {

// The limit works through the field's validator, which the field consults on
// every change: for the program's setText and for the operator's edits alike.
// To tell them apart it also watches the field's input events (keys, input
// method, mouse, drops, the context menu): only a change made while one of
// them is being handled is the operator's, and only such a change is limited.
class TypingLimitValidator final : public QValidator
{
public:
    TypingLimitValidator(QLineEdit *edit, int limit) : QValidator(edit), m_edit(edit), m_limit(limit)
    {
        edit->installEventFilter(this);
    }

    int limit() const { return m_limit; }

    State validate(QString &input, int &pos) const override
    {
        if (m_inputDepth == 0)
            return Acceptable;
        const qsizetype allowed = qMax(qsizetype(m_limit), m_before.size());
        if (input.size() <= allowed)
            return Acceptable;
        // What the edit inserted: the part between what it kept of the old
        // text at the start and at the end.
        qsizetype head = 0;
        const qsizetype shorter = qMin(input.size(), m_before.size());
        while (head < shorter && input.at(head) == m_before.at(head))
            ++head;
        qsizetype tail = 0;
        while (tail < shorter - head && input.at(input.size() - 1 - tail) == m_before.at(m_before.size() - 1 - tail))
            ++tail;
        const QString inserted = input.mid(head, input.size() - head - tail);
        qsizetype keep = inserted.size() - (input.size() - allowed);
        // Never keep half of a surrogate pair.
        if (keep > 0 && inserted.at(keep - 1).isHighSurrogate())
            --keep;
        if (keep <= 0)
            return Invalid; // nothing fits: the field undoes the edit
        input = input.left(head) + inserted.left(keep) + input.right(tail);
        pos = int(head + keep);
        return Acceptable;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_edit || !isOperatorInput(event->type()))
            return QValidator::eventFilter(watched, event);
        // The field handles the event here, inside the filter, so the
        // validator knows the change it makes is the operator's.
        const QString before = m_before;
        m_before = m_edit->text();
        ++m_inputDepth;
        const bool handled = m_edit->event(event);
        --m_inputDepth;
        m_before = before;
        return handled;
    }

private:
    static bool isOperatorInput(QEvent::Type type)
    {
        switch (type) {
        case QEvent::KeyPress:
        case QEvent::InputMethod:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::Drop:
        case QEvent::ContextMenu: return true;
        default: return false;
        }
    }

    QLineEdit *m_edit;
    int m_limit;
    QString m_before;
    int m_inputDepth = 0;
};

} // namespace

void SetTypingLimit(QLineEdit *edit, int limit)
{
    if (limit <= 0)
        return;
    edit->setValidator(new TypingLimitValidator(edit, limit));
}

int TypingLimit(const QLineEdit *edit)
{
    const auto *v = dynamic_cast<const TypingLimitValidator *>(edit->validator());
    return v ? v->limit() : 0;
}

} // namespace vuzo
