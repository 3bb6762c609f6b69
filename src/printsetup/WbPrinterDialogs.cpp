#include "printsetup/WbPrinterDialogs.h"

#include "printer/WbPrinters.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

// The window both dialogs show. It reads the printers' lists from the layer
// and its system printer, and touches nothing until Accept() is called.
class WbPrinterDialogWindow : public QDialog
{
public:
    WbPrinterDialogWindow(QWidget *parent, const QString &title, bool withCopies) : QDialog(parent)
    {
        setWindowTitle(title);
        m_printer = named(new QComboBox(this), u"ComboBox_Printer"_s);
        m_paper = named(new QComboBox(this), u"ComboBox_PaperSize"_s);
        m_source = named(new QComboBox(this), u"ComboBox_PaperSource"_s);
        m_resolution = named(new QComboBox(this), u"ComboBox_Resolution"_s);
        m_portrait = named(new QRadioButton(u"縦"_s, this), u"RadioButton_Portrait"_s);
        m_landscape = named(new QRadioButton(u"横"_s, this), u"RadioButton_Landscape"_s);
        if (withCopies) {
            m_copies = named(new QSpinBox(this), u"SpinBox_Copies"_s);
            m_copies->setRange(1, 9999);
        }
        auto *buttons = new QDialogButtonBox(this);
        auto *ok = named(buttons->addButton(u"OK"_s, QDialogButtonBox::AcceptRole), u"Button_OK"_s);
        auto *cancel = named(buttons->addButton(u"キャンセル"_s, QDialogButtonBox::RejectRole), u"Button_Cancel"_s);
        ok->setDefault(true);

        auto *form = new QFormLayout;
        form->addRow(u"プリンタ名(&N):"_s, m_printer);
        form->addRow(u"用紙サイズ(&Z):"_s, m_paper);
        form->addRow(u"給紙方法(&S):"_s, m_source);
        form->addRow(u"解像度(&R):"_s, m_resolution);
        auto *orientation = new QGroupBox(u"印刷の向き"_s, this);
        auto *orientationLayout = new QHBoxLayout(orientation);
        orientationLayout->addWidget(m_portrait);
        orientationLayout->addWidget(m_landscape);
        auto *layout = new QVBoxLayout(this);
        layout->addLayout(form);
        layout->addWidget(orientation);
        if (m_copies) {
            auto *copies = new QFormLayout;
            copies->addRow(u"部数(&C):"_s, m_copies);
            layout->addLayout(copies);
        }
        layout->addWidget(buttons);

        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
        connect(m_printer, &QComboBox::currentIndexChanged, this, [this](int index) { ShowPrinter(index); });
    }

    // Fills the window from the layer: the visible printers with the
    // selected one shown with its current settings.
    void Load()
    {
        TWbPrinter &printer = WbPrinter();
        const QStringList names = printer.PrinterNames();
        int current = 0;
        try {
            current = qMax(0, printer.Index());
        } catch (const EWbPrinter &) {
            current = 0;
        }
        const DeviceRecord record = printer.System().GetPrinter();
        m_currentDevice = record.device;
        m_currentSettings = record.devMode ? std::optional<DevMode>(*record.devMode) : std::nullopt;
        const QSignalBlocker block(m_printer);
        m_printer->clear();
        m_printer->addItems(names);
        m_printer->setCurrentIndex(qMin(current, int(names.size()) - 1));
        ShowPrinter(m_printer->currentIndex());
    }

    // Selects the chosen printer with the chosen settings in the system
    // printer, checked by the printer, and lets the layer read them again.
    void Accept()
    {
        const QString device = m_printer->currentText();
        if (device.isEmpty())
            return;
        DevMode dm = m_settings;
        if (m_paper->currentIndex() >= 0 && (dm.dmFields & DM_PAPERSIZE)) {
            const int number = m_paperNumbers.value(m_paper->currentIndex(), dm.dmPaperSize);
            if (number != dm.dmPaperSize && number != DMPAPER_USER)
                dm.dmFields &= ~(DM_PAPERLENGTH | DM_PAPERWIDTH);
            dm.dmPaperSize = number;
        }
        if (m_source->currentIndex() >= 0 && (dm.dmFields & DM_DEFAULTSOURCE))
            dm.dmDefaultSource = m_binNumbers.value(m_source->currentIndex(), dm.dmDefaultSource);
        if (m_resolution->currentIndex() >= 0 && (dm.dmFields & DM_PRINTQUALITY)) {
            const WbSize r = m_resolutions.value(m_resolution->currentIndex());
            if (r.cx > 0) {
                dm.dmPrintQuality = r.cx;
                dm.dmYResolution = r.cy > 0 ? r.cy : r.cx;
                dm.dmFields |= DM_YRESOLUTION;
            }
        }
        if (dm.dmFields & DM_ORIENTATION)
            dm.dmOrientation = m_landscape->isChecked() ? 2 : 1;
        if (m_copies && (dm.dmFields & DM_COPIES))
            dm.dmCopies = m_copies->value();
        SystemPrinter &system = WbPrinter().System();
        if (!system.DocumentProperties(device, dm))
            throw EWbPrinter(u"TWbPrinterSetupDialog.Execute: Printer is not Available (%1)"_s.arg(device));
        system.SelectPrinter(device, dm);
        WbPrinter().ForceUpdate();
    }

private:
    template <class W> static W *named(W *widget, const QString &name)
    {
        widget->setObjectName(name);
        widget->setAccessibleName(name);
        return widget;
    }

    void ShowPrinter(int index)
    {
        m_paper->clear();
        m_source->clear();
        m_resolution->clear();
        m_paperNumbers.clear();
        m_binNumbers.clear();
        m_resolutions.clear();
        if (index < 0)
            return;
        const QString device = m_printer->itemText(index);
        SystemPrinter &system = WbPrinter().System();
        std::optional<DevMode> settings =
            device == m_currentDevice && m_currentSettings ? m_currentSettings : system.DefaultSettings(device);
        m_settings = settings.value_or(DevMode{});
        const PrinterCapabilities caps = system.DeviceCapabilities(device, QString(), m_settings);

        m_paperNumbers = caps.paperNumbers;
        for (int i = 0; i < caps.paperNumbers.size(); ++i)
            m_paper->addItem(caps.paperNames.value(i));
        m_paper->setCurrentIndex(int(caps.paperNumbers.indexOf(m_settings.dmPaperSize)));
        m_paper->setEnabled((m_settings.dmFields & DM_PAPERSIZE) && !caps.paperNumbers.isEmpty());

        m_binNumbers = caps.binNumbers;
        for (int i = 0; i < caps.binNumbers.size(); ++i)
            m_source->addItem(caps.binNames.value(i));
        m_source->setCurrentIndex(int(caps.binNumbers.lastIndexOf(m_settings.dmDefaultSource)));
        m_source->setEnabled((m_settings.dmFields & DM_DEFAULTSOURCE) && !caps.binNumbers.isEmpty());

        m_resolutions = caps.resolutions;
        for (const WbSize &r : std::as_const(m_resolutions))
            m_resolution->addItem(r.cx == r.cy ? u"%1 dpi"_s.arg(r.cx) : u"%1 × %2 dpi"_s.arg(r.cx).arg(r.cy));
        const WbSize current{m_settings.dmPrintQuality,
                             (m_settings.dmFields & DM_YRESOLUTION) && m_settings.dmYResolution > 0
                                 ? m_settings.dmYResolution
                                 : m_settings.dmPrintQuality};
        m_resolution->setCurrentIndex(int(m_resolutions.indexOf(current)));
        m_resolution->setEnabled((m_settings.dmFields & DM_PRINTQUALITY) && !m_resolutions.isEmpty());

        const bool landscape = m_settings.dmOrientation != 1;
        m_portrait->setChecked(!landscape);
        m_landscape->setChecked(landscape);
        const bool orientable = m_settings.dmFields & DM_ORIENTATION;
        m_portrait->setEnabled(orientable);
        m_landscape->setEnabled(orientable);

        if (m_copies) {
            if (caps.maxCopies > 0)
                m_copies->setMaximum(caps.maxCopies);
            m_copies->setValue(qMax(1, m_settings.dmCopies));
            m_copies->setEnabled(m_settings.dmFields & DM_COPIES);
        }
    }

    QComboBox *m_printer = nullptr;
    QComboBox *m_paper = nullptr;
    QComboBox *m_source = nullptr;
    QComboBox *m_resolution = nullptr;
    QRadioButton *m_portrait = nullptr;
    QRadioButton *m_landscape = nullptr;
    QSpinBox *m_copies = nullptr;
    QString m_currentDevice;
    std::optional<DevMode> m_currentSettings;
    DevMode m_settings;
    QList<int> m_paperNumbers;
    QList<int> m_binNumbers;
    QList<WbSize> m_resolutions;
};

namespace {

QWidget *ParentWidget(QObject *parent)
{
    return qobject_cast<QWidget *>(parent);
}

TWbPrinterSetupDialog::ExecuteHook &SetupHook()
{
    static TWbPrinterSetupDialog::ExecuteHook hook;
    return hook;
}

TWbPrintDialog::ExecuteHook &PrintHook()
{
    static TWbPrintDialog::ExecuteHook hook;
    return hook;
}

// Runs one dialog: fill, ask (through the hook when set), and on OK select
// the choice. The window lives only while the dialog runs.
template <class Dialog, class Hook>
bool Run(Dialog &dialog, std::unique_ptr<WbPrinterDialogWindow> &window, const QString &title, bool withCopies,
         const Hook &hook)
{
    window = std::make_unique<WbPrinterDialogWindow>(ParentWidget(dialog.parent()), title, withCopies);
    struct Drop
    {
        std::unique_ptr<WbPrinterDialogWindow> &w;
        ~Drop() { w.reset(); }
    } drop{window};
    window->Load();
    const bool confirmed = hook ? hook(dialog) : window->exec() == QDialog::Accepted;
    if (confirmed)
        window->Accept();
    return confirmed;
}

} // namespace

TWbPrinterSetupDialog::TWbPrinterSetupDialog(QObject *parent) : QObject(parent) {}
TWbPrinterSetupDialog::~TWbPrinterSetupDialog() = default;

bool TWbPrinterSetupDialog::Execute()
{
    return Run(*this, m_window, u"プリンタの設定"_s, false, SetupHook());
}

QDialog *TWbPrinterSetupDialog::window() const
{
    return m_window.get();
}

void TWbPrinterSetupDialog::setExecuteHook(ExecuteHook hook)
{
    SetupHook() = std::move(hook);
}

TWbPrintDialog::TWbPrintDialog(QObject *parent) : QObject(parent) {}
TWbPrintDialog::~TWbPrintDialog() = default;

bool TWbPrintDialog::Execute()
{
    return Run(*this, m_window, u"印刷"_s, true, PrintHook());
}

QDialog *TWbPrintDialog::window() const
{
    return m_window.get();
}

void TWbPrintDialog::setExecuteHook(ExecuteHook hook)
{
    PrintHook() = std::move(hook);
}
