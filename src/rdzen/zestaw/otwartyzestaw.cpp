#include "otwartyzestaw.h"

#include <QFileInfo>

#include <limits>

namespace {

constexpr qint64 najwiecej = std::numeric_limits<qint32>::max();

} // namespace

WynikDawny OtwartyZestaw::pierwszyRekord()
{
    const WynikDawny written = plik_.write(1, rekord::pusty());
    if (written.ok)
        iloscrekordow_ = 1;
    return written;
}

OtwartyZestaw::WynikOtwarcia OtwartyZestaw::otworz(const QString& nazwa)
{
    WynikOtwarcia w;
    nazwapliku_ = nazwa;
    iloscrekordow_ = 0;
    if (const WynikDawny open = plik_.open(nazwa); !open.ok) {
        w.error = open.error;
        return w;
    }
    const qint64 count = plik_.count();
    if (count > najwiecej)
        w.stan = Stan::ZaDuzy;
    else if (count == 0 && plik_.length() > 0) // must not be written over
        w.stan = Stan::NieZestaw;
    else if (count == 0) {
        const WynikDawny first = pierwszyRekord();
        w.stan = first.ok ? Stan::Gotowe : Stan::NieZapisano;
        w.error = first.error;
    } else {
        iloscrekordow_ = qint32(count);
        w.stan = Stan::Gotowe;
    }
    if (w.stan != Stan::Gotowe)
        plik_.close();
    w.ok = w.stan == Stan::Gotowe;
    return w;
}

bool OtwartyZestaw::nowePytanie()
{
    if (iloscrekordow_ == najwiecej)
        return false;
    ++iloscrekordow_;
    return true;
}

OtwartyZestaw::WynikMiejsca OtwartyZestaw::upewnijSie()
{
    WynikMiejsca w;
    if (plik_.isAtItsPath()) {
        w.ok = true;
        return w;
    }
    const QString path = plik_.fileName();
    w.poprzednia = path;
    w.miejsce = QFileInfo::exists(path) ? Miejsce::Kopia : Miejsce::Odtworzony;
    QString target = path;
    if (w.miejsce == Miejsce::Kopia) {
        target = path + QStringLiteral(".kopia");
        for (int i = 2; QFileInfo::exists(target); ++i)
            target = path + QStringLiteral(".kopia%1").arg(i);
    }
    if (const WynikDawny copy = zestaw::zapiszKopie(plik_.device(), target); !copy.ok) {
        w.error = copy.error;
        return w;
    }
    if (const WynikDawny open = plik_.open(target); !open.ok) {
        w.error = open.error;
        w.zamkniety = true;
        return w;
    }
    nazwapliku_ = target;
    w.ok = true;
    return w;
}

OtwartyZestaw::WynikUsuniecia OtwartyZestaw::usun(qint32 n)
{
    WynikUsuniecia w;
    const QString path = plik_.fileName();
    if (const WynikDawny rebuilt = zestaw::usunRekord(plik_.device(), path, n, iloscrekordow_); !rebuilt.ok) {
        w.error = rebuilt.error;
        return w;
    }
    if (const WynikDawny open = plik_.open(path); !open.ok) {
        w.stan = Stan::NieOtwarto;
        w.error = open.error;
        return w;
    }
    iloscrekordow_ = qint32(std::min(plik_.count(), najwiecej));
    if (iloscrekordow_ == 0) {
        if (const WynikDawny first = pierwszyRekord(); !first.ok) {
            w.stan = Stan::NieZapisano;
            w.error = first.error;
            plik_.close();
            return w;
        }
    }
    w.ok = true;
    return w;
}

zestaw::WynikDolaczania OtwartyZestaw::dolacz(const QString& inny)
{
    zestaw::WynikDolaczania w;
    SetFile other;
    if (const WynikDawny open = other.open(inny, SetFile::Mode::ReadOnlyFallback); !open.ok) {
        w.error = open.error;
        return w;
    }
    if (zestaw::pelneRekordy(other.length()) > najwiecej - iloscrekordow_) {
        w.error = QStringLiteral("zestaw byłby za duży");
        return w;
    }
    w = zestaw::dolaczZestaw(plik_.device(), iloscrekordow_, other.device());
    iloscrekordow_ += qint32(w.appended);
    return w;
}

WynikDawny OtwartyZestaw::czytajWszystkie(QList<rekord>& out)
{
    out = QList<rekord>(iloscrekordow_);
    for (qint32 n = 1; n <= iloscrekordow_; ++n)
        if (const WynikDawny read = plik_.read(n, out[n - 1]); !read.ok)
            return read;
    return WynikDawny::sukces();
}

QString OtwartyZestaw::folder() const
{
    return QFileInfo(plik_.fileName()).absolutePath();
}

WynikDawny OtwartyZestaw::dolaczRekordy(const QList<rekord>& rekordy)
{
    if (rekordy.size() > najwiecej - iloscrekordow_)
        return WynikDawny::blad(QStringLiteral("zestaw byłby za duży"));
    for (const rekord& r : rekordy) {
        if (const WynikDawny written = plik_.write(iloscrekordow_ + 1, r); !written.ok)
            return written;
        ++iloscrekordow_;
    }
    return WynikDawny::sukces();
}
