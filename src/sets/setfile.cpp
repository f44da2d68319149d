#include "setfile.h"

#include <QFileInfo>

#include <sys/stat.h>

namespace zestaw {

qint64 liczbaRekordow(qint64 length)
{
    if (length <= 0)
        return 0;
    const qint64 whole = length / dlugoscrekordu;
    const qint64 twice = 2 * (length % dlugoscrekordu);
    if (twice > dlugoscrekordu || (twice == dlugoscrekordu && whole % 2 == 1))
        return whole + 1;
    return whole;
}

qint64 pelneRekordy(qint64 length)
{
    return length <= 0 ? 0 : length / dlugoscrekordu;
}

static bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

bool czytaj(QIODevice& device, qint64 n, rekord& out, QString* error)
{
    if (n < 1)
        return fail(error, QStringLiteral("numer rekordu %1 poza zakresem").arg(n));
    const qint64 pos = (n - 1) * dlugoscrekordu;
    QByteArray bytes;
    // A file seeks past its end and reads nothing there; some devices refuse such a seek.
    if (device.seek(pos)) {
        bytes = device.read(dlugoscrekordu);
        if (bytes.isEmpty() && device.size() > pos)
            return fail(error, device.errorString());
    } else if (pos < device.size()) {
        return fail(error, device.errorString());
    }
    out = rekord::decode(bytes);
    return true;
}

bool zapisz(QIODevice& device, qint64 n, const rekord& in, QString* error)
{
    if (n < 1)
        return fail(error, QStringLiteral("numer rekordu %1 poza zakresem").arg(n));
    const QByteArray bytes = in.encode();
    if (!device.seek((n - 1) * dlugoscrekordu))
        return fail(error, device.errorString());
    if (device.write(bytes) != bytes.size())
        return fail(error, device.errorString());
    if (auto* file = qobject_cast<QFileDevice*>(&device); file && !file->flush())
        return fail(error, file->errorString());
    return true;
}

} // namespace zestaw

bool SetFile::open(const QString& name, Mode mode)
{
    close();
    error_.clear();
    if (name.isEmpty()) {
        error_ = QStringLiteral("pusta nazwa pliku");
        return false;
    }
    if (QFileInfo(name).isDir()) {
        error_ = QStringLiteral("%1 jest folderem, nie plikiem").arg(name);
        return false;
    }
    // Kept absolute: the current folder moves whenever a file is chosen in a dialog.
    file_.setFileName(QFileInfo(name).absoluteFilePath());
    if (file_.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return true;
    error_ = file_.errorString();
    if (mode == Mode::ReadOnlyFallback && QFileInfo::exists(name) &&
        file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        error_.clear();
        return true;
    }
    return false;
}

void SetFile::close()
{
    if (file_.isOpen())
        file_.close();
}

bool SetFile::isAtItsPath() const
{
    struct stat held
    {
    }, named{};
    if (!file_.isOpen() || ::fstat(file_.handle(), &held) != 0)
        return false;
    if (::stat(QFile::encodeName(file_.fileName()).constData(), &named) != 0)
        return false;
    return held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

qint64 SetFile::length() const
{
    return file_.isOpen() ? file_.size() : 0;
}

bool SetFile::read(qint64 n, rekord& out)
{
    return zestaw::czytaj(file_, n, out, &error_);
}

bool SetFile::write(qint64 n, const rekord& in)
{
    return zestaw::zapisz(file_, n, in, &error_);
}
