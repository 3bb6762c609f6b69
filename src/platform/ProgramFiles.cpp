#include "platform/ProgramFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace vuzo {

QString ManualIndexPath(const QString &programDir)
{
    const QString candidates[] = {
        QDir(programDir).filePath(QStringLiteral(VUZO_MANUAL_FROM_BINDIR) + u"/index.html"_s),
        QStringLiteral(VUZO_SOURCE_MANUAL_DIR) + u"/index.html"_s,
    };
    for (const QString &path : candidates) {
        const QFileInfo info(path);
        if (info.isFile())
            return info.canonicalFilePath();
    }
    return {};
}

QString SettingsFileName()
{
    return u"vuzo_Vez_1.ini"_s;
}

QString RegistrationFileName()
{
    return u"vuzo_a500.ini"_s;
}

QString SenderRecordFileName(int n)
{
    return u"my"_s + QString::number(n) + u".txt"_s;
}

QString HistoryFileName()
{
    return u"vuzo_history.sqlite3"_s;
}

QString LockFileName()
{
    return u".vuzo_vez_1.lock"_s;
}

QStringList OwnDataFileNames()
{
    QStringList names{SettingsFileName(), RegistrationFileName()};
    for (int n = 0; n <= 9; ++n)
        names << SenderRecordFileName(n);
    names << HistoryFileName() << LockFileName();
    return names;
}

QString OutputFileRefusal(const QString &path, const QString &dataDir)
{
    struct stat target = {};
    if (::stat(QFile::encodeName(path).constData(), &target) != 0) {
        // A new file (or a dangling link, which the write creates).
        if (errno == ENOENT)
            return {};
        return path + u" を確かめられません（"_s + qt_error_string(errno) + u"）。"_s;
    }
    if (!S_ISREG(target.st_mode))
        return path + u" は通常のファイルではないため、書き出しません。新しいファイル名を指定してください。"_s;
    for (const QString &name : OwnDataFileNames()) {
        struct stat own = {};
        if (::stat(QFile::encodeName(QDir(dataDir).filePath(name)).constData(), &own) == 0 &&
            own.st_dev == target.st_dev && own.st_ino == target.st_ino)
            return path + u" はこのプログラムのファイル（"_s + name +
                   u"）なので、上書きしません。別のファイル名を指定してください。"_s;
    }
    return {};
}

} // namespace vuzo
