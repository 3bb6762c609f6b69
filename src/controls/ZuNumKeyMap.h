#pragma once
// What a key press does in the numeric edit field TZuNumEdit.
//
// The field reads only the key, its Shift, Ctrl, Alt and Meta modifiers and the
// text the key types, so the whole mapping is a function of those (and of
// whether the field is read-only, which turns the editing keys into plain
// characters the model refuses). The field carries the answer out.

#include <QString>
#include <Qt>

namespace vuzo {

enum class ZuNumKeyOp
{
    SelectAll,     // Shift+Left, Shift+Right, Ctrl+A
    Copy,          // Ctrl+C
    ClearSelect,   // Home, End, Left, Right, Page Up, Page Down
    PreviousField, // Up: drops the selection; with arrow focus movement also goes to the previous field
    NextField,     // Down: likewise to the next field
    Paste,         // Ctrl+V, in an editable field
    Cut,           // Ctrl+X, in an editable field
    DeleteLast,    // Backspace and Delete, in an editable field
    Type,          // the characters go to the model one at a time
    Pass,          // not the field's key: it goes on to the owner (menus, mnemonics, function keys)
};

struct ZuNumKeyAction
{
    ZuNumKeyOp op = ZuNumKeyOp::Pass;
    QString chars; // what Type enters: the key's text, CR for Enter

    friend bool operator==(const ZuNumKeyAction &, const ZuNumKeyAction &) = default;
};

// The action of a key press. Modifiers other than Shift, Ctrl, Alt and Meta
// (the keypad's, for one) do not count.
ZuNumKeyAction MapZuNumKey(int key, Qt::KeyboardModifiers modifiers, const QString &text, bool readOnly);

// Whether the field takes the key for itself even when a window-wide shortcut
// uses it: the clipboard keys, the editing and moving keys and every key that
// types a printable character.
bool IsZuNumEditKey(int key, Qt::KeyboardModifiers modifiers, const QString &text);

} // namespace vuzo
