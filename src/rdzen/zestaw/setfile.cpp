#include "setfile.h"

#include "platforma.h"

#include <QFileInfo>

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

static WynikDawny outOfRange(qint64 n)
{
    return WynikDawny::blad(QStringLiteral("numer rekordu %1 poza zakresem").arg(n));
}

WynikDawny czytaj(QIODevice& device, qint64 n, rekord& out)
{
    if (n < 1)
        return outOfRange(n);
    const qint64 pos = (n - 1) * dlugoscrekordu;
    QByteArray bytes;
    // A file seeks past its end and reads nothing there; some devices refuse such a seek.
    if (device.seek(pos)) {
        bytes = device.read(dlugoscrekordu);
        if (bytes.isEmpty() && device.size() > pos)
            return WynikDawny::blad(device.errorString());
    } else if (pos < device.size()) {
        return WynikDawny::blad(device.errorString());
    }
    out = rekord::decode(bytes);
    return WynikDawny::sukces();
}

WynikDawny zapisz(QIODevice& device, qint64 n, const rekord& in)
{
    if (n < 1)
        return outOfRange(n);
    const QByteArray bytes = in.encode();
    if (!device.seek((n - 1) * dlugoscrekordu) || device.write(bytes) != bytes.size())
        return WynikDawny::blad(device.errorString());
    if (auto* file = qobject_cast<QFileDevice*>(&device); file && !file->flush())
        return WynikDawny::blad(file->errorString());
    return WynikDawny::sukces();
}

} // namespace zestaw

WynikDawny SetFile::open(const QString& name, Mode mode)
{
    close();
    if (name.isEmpty())
        return WynikDawny::blad(QStringLiteral("pusta nazwa pliku"));
    if (QFileInfo(name).isDir())
        return WynikDawny::blad(QStringLiteral("%1 jest folderem, nie plikiem").arg(name));
    // Kept absolute: the current folder moves whenever a file is chosen in a dialog.
    file_.setFileName(QFileInfo(name).absoluteFilePath());
    if (file_.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return WynikDawny::sukces();
    const QString error = file_.errorString();
    if (mode == Mode::ReadOnlyFallback && QFileInfo::exists(name) &&
        file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return WynikDawny::sukces();
    return WynikDawny::blad(error);
}

void SetFile::close()
{
    if (file_.isOpen())
        file_.close();
}

bool SetFile::isAtItsPath() const
{
    return file_.isOpen() && platforma::tozsamosc(file_.handle()) == platforma::tozsamosc(file_.fileName());
}
