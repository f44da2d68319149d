// Any bytes as a file chosen for "dołącz zestaw": refused with a message, or taken as a set or
// as questions the editor shows. Taken questions written to Moodle XML and GIFT read back as
// many, and a Moodle XML file read, written and read again gives the same records.

#include "wymiana.h"

#include <QBuffer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cassert>

static const QString& katalog()
{
    static QTemporaryDir dir;
    static const QString path = dir.path();
    return path;
}

static wymiana::WynikImportu wczytaj(QByteArray bytes)
{
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    return wymiana::wczytajPytania(device, QStringLiteral("plik"), katalog());
}

// The fields the exchange formats carry.
static rekord niesione(rekord r)
{
    ustawTekst(r.odp5, QString());
    ustawTekst(r.rysunek, QString());
    r.poprawna5 = 0;
    for (int k = 2; r.typ == 2 && k <= 4; ++k)
        ustawTekst(r.odp(k), QString());
    return r;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto w = wczytaj(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    assert(w.ok ? !w.raport.isEmpty() : !w.error.isEmpty() && w.pytania.isEmpty() && w.rysunki.isEmpty());
    assert(!w.ok || (w.format == wymiana::Format::Zestaw
                         ? w.rekordy == qint64(size) / rekord::size && w.pytania.isEmpty()
                         : !w.pytania.isEmpty()));
    for (const rekord& r : w.pytania) {
        int right = 0, zero = 0;
        for (int k = 1; k <= 5; ++k) {
            right += r.poprawna(k) == (r.typ == 1 ? -1 : 1);
            zero += r.poprawna(k) == 0;
        }
        assert(r.typ >= 0 && r.typ <= 2 && wymiana::edytorPokaze(r) && right + zero == 5);
        assert(r.typ == 0 ? right >= 1 : right == 1 && (r.typ == 1 || r.poprawna1 == 1));
        assert(r.poprawna6 == 0 && r.odp6 == rekord::pole<150>{});
    }
    for (const wymiana::Rysunek& p : w.rysunki) // a bare file name, in the set's folder
        assert(!p.nazwa.isEmpty() && p.nazwa != QLatin1String("..") &&
               QFileInfo(p.nazwa).fileName() == p.nazwa && !p.nazwa.contains(QLatin1Char('\\')));
    for (const bool xml : {true, false}) {
        const auto e = xml ? wymiana::moodleXml(w.pytania, katalog()) : wymiana::gift(w.pytania);
        if (e.zapisane == 0)
            continue;
        const auto back = wczytaj(e.bajty);
        assert(back.ok && back.pytania.size() == e.zapisane);
        const bool whole = xml && w.format == wymiana::Format::MoodleXml && e.zapisane == w.pytania.size();
        for (qsizetype i = 0; whole && i < e.zapisane; ++i)
            assert(niesione(back.pytania.at(i)) == niesione(w.pytania.at(i)));
    }
    return 0;
}
