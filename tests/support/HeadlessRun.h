#pragma once
// Runs the program as a command-line tool: in a folder, without a display
// of any kind, and gives its exit code (-1 when it crashed or did not end in
// a minute), what it wrote on standard error and on standard output.

#include <QProcess>
#include <QString>
#include <QStringList>

namespace headless {

struct Run
{
    int exitCode = -1;
    QString errors;
    QString output;
};

inline Run RunProgram(const QString &program, const QString &dir, const QStringList &arguments)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    p.setProcessEnvironment(env);
    p.start(program, arguments);
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError()),
            QString::fromUtf8(p.readAllStandardOutput())};
}

} // namespace headless
