#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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
