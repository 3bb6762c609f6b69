#include "controls/ZuNumKeyMap.h"

namespace vuzo {
namespace {

Qt::KeyboardModifiers Counted(Qt::KeyboardModifiers modifiers)
{
    return modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
}

} // namespace

// The order of the questions is the order of precedence: the selection and
// copy keys work in a read-only field too, the editing keys only in an editable
// one; in a read-only field they fall through to the characters they type.
ZuNumKeyAction MapZuNumKey(int key, Qt::KeyboardModifiers modifiers, const QString &text, bool readOnly)
{
    const Qt::KeyboardModifiers mods = Counted(modifiers);

    if (mods == Qt::ShiftModifier && (key == Qt::Key_Left || key == Qt::Key_Right))
        return {ZuNumKeyOp::SelectAll, {}};
    if (mods == Qt::ControlModifier && key == Qt::Key_A)
        return {ZuNumKeyOp::SelectAll, {}};
    if (mods == Qt::ControlModifier && key == Qt::Key_C)
        return {ZuNumKeyOp::Copy, {}};
    if (mods == Qt::NoModifier) {
        switch (key) {
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_End:
        case Qt::Key_Home:
        case Qt::Key_Left:
        case Qt::Key_Right: return {ZuNumKeyOp::ClearSelect, {}};
        case Qt::Key_Up: return {ZuNumKeyOp::PreviousField, {}};
        case Qt::Key_Down: return {ZuNumKeyOp::NextField, {}};
        default: break;
        }
    }
    if (!readOnly) {
        if (mods == Qt::ControlModifier && key == Qt::Key_V)
            return {ZuNumKeyOp::Paste, {}};
        if (mods == Qt::ControlModifier && key == Qt::Key_X)
            return {ZuNumKeyOp::Cut, {}};
        if (mods == Qt::NoModifier && (key == Qt::Key_Backspace || key == Qt::Key_Delete))
            return {ZuNumKeyOp::DeleteLast, {}};
    }

    // Alt combinations belong to the window's menus and mnemonics.
    if ((mods & Qt::AltModifier) && !(mods & Qt::ControlModifier))
        return {ZuNumKeyOp::Pass, {}};
    QString chars = text;
    if (key == Qt::Key_Delete)
        chars.clear(); // the Delete key types no character
    if (chars.isEmpty() && (key == Qt::Key_Return || key == Qt::Key_Enter))
        chars = QString(QChar(0x0D));
    // Function keys, modifiers alone and other keys without a character go on
    // to the owner (the window's function-key handling).
    if (chars.isEmpty())
        return {ZuNumKeyOp::Pass, {}};
    return {ZuNumKeyOp::Type, chars};
}

bool IsZuNumEditKey(int key, Qt::KeyboardModifiers modifiers, const QString &text)
{
    const Qt::KeyboardModifiers mods = Counted(modifiers);
    if (mods == Qt::ControlModifier)
        return key == Qt::Key_A || key == Qt::Key_C || key == Qt::Key_V || key == Qt::Key_X;
    if (mods == Qt::NoModifier || mods == Qt::ShiftModifier)
        return key == Qt::Key_Backspace || key == Qt::Key_Delete || key == Qt::Key_Home || key == Qt::Key_End ||
               key == Qt::Key_Left || key == Qt::Key_Right || (!text.isEmpty() && text.at(0).isPrint());
    return false;
}

} // namespace vuzo
