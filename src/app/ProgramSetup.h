#pragma once
// What the program sets up around its windows: its application object, its
// name on the desktop, the toolkit's texts. main() and the start-up benchmark
// share it, so the benchmark times what the operator waits for.

#include <QApplication>

class QTranslator;

// The last line of defence: an error that a handler let through is shown in
// the error box and the program goes on. Handlers run under their own guard,
// so this only catches what slips past them.
class VuzoApplication final : public QApplication
{
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override;
};

// Names the program to the desktop: its menu entry and its icon.
void NameProgramToDesktop();

// The operators read Japanese: the toolkit's own texts (はい/いいえ, the edit
// menus) are loaded into `translator` and installed, whatever the machine's
// locale. False when the system has no Japanese texts for the toolkit.
bool InstallToolkitJapanese(QTranslator &translator);
