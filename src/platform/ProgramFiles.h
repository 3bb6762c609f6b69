#pragma once
// The files the program ships beside its executable, and the names of the
// files it keeps in its data folder.

#include <QString>
#include <QStringList>

namespace vuzo {

// The operator's manual (its index.html). The installed manual lies at a fixed
// place relative to the program's folder (<prefix>/bin → <prefix>/share/
// vuzo-vez-1/manual), so a package works under any prefix; a program run from
// its build tree finds the manual of its source tree. Empty when neither is
// there.
QString ManualIndexPath(const QString &programDir);

// The files of the data folder, by name.
QString SettingsFileName();          // vuzo_Vez_1.ini
QString RegistrationFileName();      // vuzo_a500.ini
QString SenderRecordFileName(int n); // my0.txt ... my9.txt
QString HistoryFileName();           // vuzo_history.sqlite3
QString LockFileName();              // .vuzo_vez_1.lock, held by the running program

// Every one of them: the settings, the registration, the ten sender records,
// the history and the lock file.
QStringList OwnDataFileNames();

// Why a file the operator names for an output (a PDF) must not be written:
// an existing target that is not a regular file (a device, a FIFO, a folder,
// followed through links), or one of the program's own files in dataDir,
// whatever path names it (the same device and inode). Empty when the path
// names a new file or an ordinary regular file.
QString OutputFileRefusal(const QString &path, const QString &dataDir);

} // namespace vuzo
