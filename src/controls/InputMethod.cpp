#include "controls/InputMethod.h"

#include <QEvent>
#include <QInputMethodQueryEvent>
#include <QVariant>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace vuzo {
namespace {

// Qt's line edit tells the input method it accepts composition whatever its
// WA_InputMethodEnabled attribute says, so clearing the attribute alone would
// leave composition on in a field whose mode is "0:漢字未使用". This filter
// answers the input method's question for such a field: no.
class InputMethodGate final : public QObject
{
public:
    explicit InputMethodGate(QObject *parent) : QObject(parent) { setObjectName(QStringLiteral("InputMethodGate")); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::InputMethodQuery || !watched->isWidgetType())
            return false;
        auto *field = static_cast<QWidget *>(watched);
        if (field->testAttribute(Qt::WA_InputMethodEnabled))
            return false;
        auto *query = static_cast<QInputMethodQueryEvent *>(event);
        static_cast<QObject *>(field)->event(query);
        if (query->queries() & Qt::ImEnabled)
            query->setValue(Qt::ImEnabled, false);
        return true;
    }
};

InputMethodGate *inputMethodGate(QWidget *window)
{
    if (auto *gate = window->findChild<QObject *>(QStringLiteral("InputMethodGate"), Qt::FindDirectChildrenOnly))
        return static_cast<InputMethodGate *>(gate);
    return new InputMethodGate(window);
}

// Applies an input-method mode, by its index in the preference lists
// (0:漢字未使用 ... 8:カナ全角), to a field. Linux input methods know no
// per-field conversion modes, so each mode maps to the nearest thing Qt
// offers: off, or on with a hint; the mode itself stays on the field
// ("imeMode") for the input method and for anyone who asks.
} // namespace

void ApplyImeMode(QWidget *field, int mode)
{
    if (mode < 0 || mode > 8)
        return; // no selection: the field keeps the mode it had
    field->setProperty("imeMode", mode);
    // Installing the same filter again replaces the earlier installation.
    field->installEventFilter(inputMethodGate(field->window()));
    field->setAttribute(Qt::WA_InputMethodEnabled, mode != 0);
    switch (mode) {
    case 1: // closed
    case 5: // full-width alphanumerics
        field->setInputMethodHints(Qt::ImhPreferLatin);
        break;
    case 4: // half-width alphanumerics
        field->setInputMethodHints(Qt::ImhPreferLatin | Qt::ImhLatinOnly);
        break;
    case 3: // the current mode stays
        break;
    default: field->setInputMethodHints(Qt::ImhNone); break;
    }
}

} // namespace vuzo
