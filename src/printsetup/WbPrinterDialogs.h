#pragma once
// The print and printer setup dialogs. Each shows the visible printers with
// the chosen printer's paper sizes and paper sources, the orientation and (in
// the print dialog) the number of copies. Execute() returns whether the
// operator confirmed; a confirmed dialog leaves its choice selected in the
// system printer and makes WbPrinter() read it again (ForceUpdate). A
// cancelled dialog changes nothing: neither the selection nor pending
// settings.
//
// Controls, by object name (also their accessible names): ComboBox_Printer,
// ComboBox_PaperSize, ComboBox_PaperSource, RadioButton_Portrait,
// RadioButton_Landscape, SpinBox_Copies (print dialog only), Button_OK,
// Button_Cancel.

#include <QObject>
#include <functional>
#include <memory>

class QDialog;
class QWidget;
class WbPrinterDialogWindow;

class TWbPrinterSetupDialog : public QObject
{
public:
    explicit TWbPrinterSetupDialog(QObject *parent = nullptr);
    ~TWbPrinterSetupDialog() override;

    // Shows the dialog modally. EWbPrinter errors of the printer layer (no
    // printer, print system unreachable) pass on.
    bool Execute();

    // The dialog window while Execute() runs.
    QDialog *window() const;

    // Tests answer the dialog through the hook instead of showing it: it gets
    // the dialog while its window is filled in, may change the controls, and
    // returns true for OK. An empty function shows the dialog again.
    using ExecuteHook = std::function<bool(TWbPrinterSetupDialog &)>;
    static void setExecuteHook(ExecuteHook hook);

private:
    std::unique_ptr<WbPrinterDialogWindow> m_window;
};

class TWbPrintDialog : public QObject
{
public:
    explicit TWbPrintDialog(QObject *parent = nullptr);
    ~TWbPrintDialog() override;

    bool Execute();
    QDialog *window() const;

    using ExecuteHook = std::function<bool(TWbPrintDialog &)>;
    static void setExecuteHook(ExecuteHook hook);

private:
    std::unique_ptr<WbPrinterDialogWindow> m_window;
};
