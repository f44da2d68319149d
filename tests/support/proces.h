#pragma once

#include <QProcess>
#include <QStringList>

// What a tool prints on its standard output; empty when it did not finish or did not succeed.
inline QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    const bool ok = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return ok ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}
