#pragma once
// The files the program ships beside its executable.

#include <QString>

namespace vuzo {

// The operator's manual (its index.html). The installed manual lies at a fixed
// place relative to the program's folder (<prefix>/bin → <prefix>/share/
// vuzo-vez-1/manual), so a package works under any prefix; a program run from
// its build tree finds the manual of its source tree. Empty when neither is
// there.
QString ManualIndexPath(const QString &programDir);

} // namespace vuzo
