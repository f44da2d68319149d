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

static Blad outOfRange(qint64 n)
{
    return {Blad::Rodzaj::PozaZakresem, QString::number(n)};
}

Wynik<rekord> czytaj(QIODevice& device, qint64 n)
{
    if (n < 1)
        return outOfRange(n);
    const qint64 pos = (n - 1) * dlugoscrekordu;
    QByteArray bytes;
    // A file seeks past its end and reads nothing there; some devices refuse such a seek.
    if (device.seek(pos)) {
        bytes = device.read(dlugoscrekordu);
        if (bytes.isEmpty() && device.size() > pos)
            return Blad{Blad::Rodzaj::Odczyt, device.errorString()};
    } else if (pos < device.size()) {
        return Blad{Blad::Rodzaj::Odczyt, device.errorString()};
    }
    return rekord::decode(bytes);
}

Wynik<void> zapisz(QIODevice& device, qint64 n, const rekord& in)
{
    if (n < 1)
        return outOfRange(n);
    const QByteArray bytes = in.encode();
    if (!device.seek((n - 1) * dlugoscrekordu) || device.write(bytes) != bytes.size())
        return Blad{Blad::Rodzaj::Zapis, device.errorString()};
    if (auto* file = qobject_cast<QFileDevice*>(&device); file && !file->flush())
        return Blad{Blad::Rodzaj::Zapis, file->errorString()};
    return {};
}

} // namespace zestaw

Wynik<void> SetFile::open(const QString& name, Mode mode)
{
    close();
    if (name.isEmpty())
        return Blad{Blad::Rodzaj::PustaNazwa, {}};
    if (QFileInfo(name).isDir())
        return Blad{Blad::Rodzaj::Folder, name};
    // Kept absolute: the current folder moves whenever a file is chosen in a dialog.
    file_.setFileName(QFileInfo(name).absoluteFilePath());
    if (file_.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return {};
    const QString error = file_.errorString();
    if (mode == Mode::ReadOnlyFallback && QFileInfo::exists(name) &&
        file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    return Blad{Blad::Rodzaj::Otwarcie, error};
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
