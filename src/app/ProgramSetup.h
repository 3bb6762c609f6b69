#pragma once
// What the program sets up between its application object and its windows.
// main() and the start-up benchmark share it, so the benchmark times what the
// operator waits for.

class QTranslator;

// Names the program to the desktop: its menu entry and its icon.
void NameProgramToDesktop();

// The operators read Japanese: the toolkit's own texts (はい/いいえ, the edit
// menus) are loaded into `translator` and installed, whatever the machine's
// locale. False when the system has no Japanese texts for the toolkit.
bool InstallToolkitJapanese(QTranslator &translator);
