#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace Qt::StringLiterals; // u"…"_s in tests

inline QString u(const char* s)
{
    return QString::fromUtf8(s);
}

// A fresh folder made the current folder for one test; the previous one comes back after.
class TempCwd
{
public:
    TempCwd() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
    ~TempCwd() { QDir::setCurrent(previous_); }
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    QString previous_;
};

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Compares with a file under tests/data byte for byte. TESTOWNIK_UPDATE_GOLDEN=1 writes the
// file instead, for a change of output that was checked by eye.
inline bool matchesGolden(const QByteArray& actual, const QString& name)
{
    const QString path = QStringLiteral(TESTOWNIK_DATA "/") + name;
    if (qEnvironmentVariableIsSet("TESTOWNIK_UPDATE_GOLDEN"))
        return QDir().mkpath(QFileInfo(path).path()) && writeAll(path, actual);
    return readAll(path) == actual;
}
