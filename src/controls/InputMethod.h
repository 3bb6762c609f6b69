#pragma once
// Input-method modes per field, as the Windows program chose them
// (0:漢字未使用 ... 8:カナ全角), on Qt's input-method attributes and hints.

class QWidget;

namespace vuzo {

// Applies mode 0..8 to a field; any other value leaves the field as it is.
// Mode 0 turns composition off entirely, also on line edits.
void ApplyImeMode(QWidget *field, int mode);

} // namespace vuzo
