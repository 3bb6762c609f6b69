#include "platform/ProgramFiles.h"

#include <QDir>
#include <QFileInfo>

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

} // namespace vuzo
