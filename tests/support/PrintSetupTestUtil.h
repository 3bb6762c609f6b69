#pragma once
// Helpers shared by the printer registration and print position tests: the
// registration file as the program writes it (CP932 bytes), read back by
// section, and the setup dialog answered without a modal loop.

#include "platform/Cp932.h"
#include "printsetup/WbPrinterDialogs.h"

#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QStringList>
#include <QTest>

namespace printsetup_test {

// The entries of a list, in order.
inline QStringList items(const QComboBox *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->itemText(i);
    return out;
}

inline QByteArray readBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

inline void writeCp932(const QString &path, const QString &text)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    const auto bytes = vuzo::EncodeCp932(text);
    QVERIFY(bytes.has_value());
    f.write(*bytes);
}

// The lines of the file, decoded from CP932, without line ends.
inline QStringList fileLines(const QString &path)
{
    QString text = vuzo::DecodeCp932(readBytes(path));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The "key=value" lines of one section, in file order.
inline QStringList sectionLines(const QString &path, const QString &section)
{
    QStringList out;
    bool inside = false;
    for (const QString &line : fileLines(path)) {
        if (line.startsWith(u'[')) {
            inside = line == u'[' + section + u']';
            continue;
        }
        if (inside)
            out << line;
    }
    return out;
}

// Answers every setup dialog: OK after choosing printer `choose` (or leaving
// the dialog's preselection when choose < 0), or Cancel. Counts the calls and
// records the printer each dialog opened on.
class SetupDialogAnswer
{
public:
    SetupDialogAnswer(bool ok, int choose = -1)
    {
        TWbPrinterSetupDialog::setExecuteHook([this, ok, choose](TWbPrinterSetupDialog &dialog) {
            ++calls;
            auto *list =
                dialog.window() ? dialog.window()->findChild<QComboBox *>(QStringLiteral("ComboBox_Printer")) : nullptr;
            openedOn << (list ? list->currentIndex() : -2);
            if (list && choose >= 0)
                list->setCurrentIndex(choose);
            // The paper, tray and resolution lists, when the test picks one.
            const std::pair<const char *, int> picks[] = {
                {"ComboBox_PaperSize", paper}, {"ComboBox_PaperSource", source}, {"ComboBox_Resolution", resolution}};
            for (const auto &[name, pick] : picks) {
                auto *other = dialog.window() ? dialog.window()->findChild<QComboBox *>(QLatin1String(name)) : nullptr;
                if (other && pick >= 0)
                    other->setCurrentIndex(pick);
            }
            return ok;
        });
    }
    ~SetupDialogAnswer() { TWbPrinterSetupDialog::setExecuteHook({}); }
    SetupDialogAnswer(const SetupDialogAnswer &) = delete;
    SetupDialogAnswer &operator=(const SetupDialogAnswer &) = delete;

    int calls = 0;
    QList<int> openedOn;
    int paper = -1;
    int source = -1;
    int resolution = -1;
};

} // namespace printsetup_test
