#include "przebudowa.h"

#include "platforma.h"
#include "setfile.h"
#include "zapis.h"

namespace zestaw {

namespace {

// Large copies go in chunks of whole records.
constexpr qint64 chunk = qint64(dlugoscrekordu) * 800;

// Copies [from, to) of source into out, reading zeros where the source has no bytes.
Wynik<void> copyRange(QFile& source, qint64 from, qint64 to, QIODevice& out)
{
    const qint64 available = std::min(to, std::max<qint64>(from, source.size()));
    if (from < available && !source.seek(from))
        return Blad{Blad::Rodzaj::Odczyt, source.errorString()};
    QByteArray buffer;
    for (qint64 pos = from; pos < to;) {
        const qint64 step = std::min(chunk, to - pos);
        if (pos < available) {
            const qint64 want = std::min(step, available - pos);
            buffer.resize(want);
            const qint64 got = source.read(buffer.data(), want);
            if (got != want)
                return got < 0 ? Blad{Blad::Rodzaj::Odczyt, source.errorString()}
                               : Blad{Blad::Rodzaj::Skrocony, {}};
        } else {
            buffer.fill('\0', step);
        }
        if (out.write(buffer) != buffer.size())
            return Blad{Blad::Rodzaj::Zapis, out.errorString()};
        pos += buffer.size();
    }
    return {};
}

// Puts a new version of `path` in place, or leaves the old one when any write falls short.
template <class Fill>
Wynik<void> zastap(const QString& path, qint64 expected, Fill fill)
{
    return io::zapiszBezpiecznie(path, [&](QIODevice& out) -> Wynik<void> {
        if (Wynik<void> filled = fill(out); !filled)
            return filled;
        if (out.size() != expected)
            return Blad{Blad::Rodzaj::ZlaDlugosc, {}};
        return {};
    });
}

} // namespace

Wynik<void> usunRekord(QFile& source, const QString& path, qint64 n, qint64 count)
{
    const qint64 len = dlugoscrekordu;
    const qint64 expected = (count - (n >= 1 && n <= count ? 1 : 0)) * len;
    return zastap(path, expected, [&](QIODevice& out) -> Wynik<void> {
        if (Wynik<void> before = copyRange(source, 0, (std::min(n, count + 1) - 1) * len, out); !before)
            return before;
        return copyRange(source, std::min(n, count) * len, count * len, out);
    });
}

Wynik<void> zapiszKopie(QFile& source, const QString& path)
{
    const qint64 size = source.size();
    return zastap(path, size, [&](QIODevice& out) { return copyRange(source, 0, size, out); });
}

WynikDolaczania dolaczZestaw(QFile& set, qint64 count, QFile& other)
{
    WynikDolaczania result;
    const qint64 len = dlugoscrekordu;
    const qint64 records = pelneRekordy(other.size());
    // The set appended to itself after fewer records than it holds: the copy would overwrite
    // records it has yet to read, so it goes from the last piece to the first, as memmove does.
    const bool backwards =
        count < records && platforma::tozsamosc(set.handle()) == platforma::tozsamosc(other.handle());
    const qint64 perChunk = chunk / len;
    const qint64 pieces = (records + perChunk - 1) / perChunk;
    QByteArray buffer;
    for (qint64 piece = 0; piece < pieces; ++piece) {
        const qint64 first = (backwards ? pieces - 1 - piece : piece) * perChunk;
        const qint64 take = std::min(perChunk, records - first);
        buffer.resize(take * len);
        if (!other.seek(first * len) || other.read(buffer.data(), buffer.size()) != buffer.size()) {
            result.wynik = Blad{Blad::Rodzaj::Odczyt, other.errorString()};
            return result;
        }
        if (!set.seek((count + first) * len)) {
            result.wynik = Blad{Blad::Rodzaj::Zapis, set.errorString()};
            return result;
        }
        const qint64 written = set.write(buffer);
        set.flush();
        if (written != buffer.size()) {
            // Whatever whole records did reach the file in order belong to the set from now on.
            if (!backwards) {
                const qint64 reached = std::max<qint64>(0, set.size() - (count + first) * len) / len;
                result.appended = first + std::min(reached, take);
            }
            result.wynik = Blad{Blad::Rodzaj::Zapis, set.errorString()};
            return result;
        }
        if (!backwards)
            result.appended = first + take;
    }
    result.appended = records;
    return result;
}

} // namespace zestaw
