// The slip history of the main window: its service, the recording of every
// slip handed to the print system and the item names remembered from it.

#include "mainwindow/TForm_Main.h"
#include "session/HistoryService.h"
#include "settings/ProfileFile.h"

#include <QLabel>

using namespace Qt::StringLiterals;

void TForm_Main::makeHistory()
{
    if (m_history)
        return;
    const ProfileFile ini(SettingsPath());
    m_history = new session::HistoryService(session::ReadHistoryLocation(ini, Label_CurrentDir->text()), this);
    connect(m_history, &session::HistoryService::failed, this, [this](const QString &why) {
        // One line in the guidance band: the window stays usable and a print
        // says again, before its job, that it is not recorded.
        QString line = why;
        line.replace(u'\n', u'　');
        setHelp(u"履歴を使えません: "_s + line);
    });
}

void TForm_Main::openHistory()
{
    if (m_history)
        m_history->open();
}
