#pragma once
// The print position window as it looks: the margin group with its two offset
// fields and the register button, their places, captions and tab order.
// setupUi() builds them on the dialog and nothing more; TForm_SLIP97YPrn holds
// this description privately and wires the controls.

class QDialog;
class QFont;
class QGroupBox;
class QLabel;
class QPushButton;
class TZuNumEdit;
class QWidget;

class TForm_SLIP97YPrnUi
{
public:
    // Builds the controls on `dialog`, drawn in `face` (the host window's face,
    // resized to fit the small window).
    void setupUi(QDialog *dialog, const QFont &face);

    QGroupBox *GroupBox1 = nullptr;
    TZuNumEdit *ZuNumEdit_TOP = nullptr;
    TZuNumEdit *ZuNumEdit_LEFT = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QPushButton *BitBtn_MRGN = nullptr;
    // The same offsets in millimetres (one decimal) at the registered
    // resolution, the resolution they are converted at, and the alignment
    // print.
    QWidget *Panel_Mm = nullptr;
    TZuNumEdit *ZuNumEdit_TOPmm = nullptr;
    TZuNumEdit *ZuNumEdit_LEFTmm = nullptr;
    QLabel *Label_Dpi = nullptr;
    QPushButton *BitBtn_Align = nullptr;
};
