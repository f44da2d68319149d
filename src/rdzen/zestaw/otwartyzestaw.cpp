#include "otwartyzestaw.h"

#include <QFileInfo>

#include <limits>

namespace {

constexpr qint64 najwiecej = std::numeric_limits<qint32>::max();

} // namespace

Wynik<void> OtwartyZestaw::pierwszyRekord()
{
    Wynik<void> written = plik_.write(1, rekord::pusty());
    if (written)
        iloscrekordow_ = 1;
    return written;
}

Wynik<void> OtwartyZestaw::otworz(const QString& nazwa)
{
    nazwapliku_ = nazwa;
    iloscrekordow_ = 0;
    if (Wynik<void> open = plik_.open(nazwa); !open)
        return open;
    const qint64 count = plik_.count();
    Wynik<void> w;
    if (count > najwiecej)
        w = Blad{Blad::Rodzaj::ZaDuzy, {}};
    else if (count == 0 && plik_.length() > 0) // must not be written over
        w = Blad{Blad::Rodzaj::NieZestaw, {}};
    else if (count == 0)
        w = pierwszyRekord();
    else
        iloscrekordow_ = qint32(count);
    if (!w)
        plik_.close();
    return w;
}

bool OtwartyZestaw::nowePytanie()
{
    if (iloscrekordow_ == najwiecej)
        return false;
    ++iloscrekordow_;
    return true;
}

Wynik<OtwartyZestaw::Miejsce> OtwartyZestaw::upewnijSie()
{
    if (plik_.isAtItsPath())
        return Miejsce::NaMiejscu;
    const QString path = plik_.fileName();
    const Miejsce miejsce = QFileInfo::exists(path) ? Miejsce::Kopia : Miejsce::Odtworzony;
    QString target = path;
    if (miejsce == Miejsce::Kopia) {
        target = path + QStringLiteral(".kopia");
        for (int i = 2; QFileInfo::exists(target); ++i)
            target = path + QStringLiteral(".kopia%1").arg(i);
    }
    if (Wynik<void> copy = zestaw::zapiszKopie(plik_.device(), target); !copy)
        return copy.error();
    if (Wynik<void> open = plik_.open(target); !open)
        return open.error();
    nazwapliku_ = target;
    return miejsce;
}

Wynik<void> OtwartyZestaw::usun(qint32 n)
{
    const QString path = plik_.fileName();
    if (Wynik<void> rebuilt = zestaw::usunRekord(plik_.device(), path, n, iloscrekordow_); !rebuilt)
        return rebuilt;
    if (Wynik<void> open = plik_.open(path); !open)
        return open;
    iloscrekordow_ = qint32(std::min(plik_.count(), najwiecej));
    if (iloscrekordow_ == 0) {
        if (Wynik<void> first = pierwszyRekord(); !first) {
            plik_.close();
            return first;
        }
    }
    return {};
}

Wynik<void> OtwartyZestaw::dolacz(const QString& inny)
{
    SetFile other;
    if (Wynik<void> open = other.open(inny, SetFile::Mode::ReadOnlyFallback); !open)
        return open;
    if (zestaw::pelneRekordy(other.length()) > najwiecej - iloscrekordow_)
        return Blad{Blad::Rodzaj::ZaDuzy, {}};
    const zestaw::WynikDolaczania w = zestaw::dolaczZestaw(plik_.device(), iloscrekordow_, other.device());
    iloscrekordow_ += qint32(w.appended);
    return w.wynik;
}

Wynik<QList<rekord>> OtwartyZestaw::czytajWszystkie()
{
    QList<rekord> out;
    out.reserve(iloscrekordow_);
    for (qint32 n = 1; n <= iloscrekordow_; ++n) {
        Wynik<rekord> read = plik_.read(n);
        if (!read)
            return read.error();
        out.append(*read);
    }
    return out;
}

QString OtwartyZestaw::folder() const
{
    return QFileInfo(plik_.fileName()).absolutePath();
}

Wynik<void> OtwartyZestaw::dolaczRekordy(const QList<rekord>& rekordy)
{
    if (rekordy.size() > najwiecej - iloscrekordow_)
        return Blad{Blad::Rodzaj::ZaDuzy, {}};
    for (const rekord& r : rekordy) {
        if (Wynik<void> written = plik_.write(iloscrekordow_ + 1, r); !written)
            return written;
        ++iloscrekordow_;
    }
    return {};
}
