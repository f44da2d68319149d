// Any bytes as a file chosen for "dołącz zestaw": refused with a message, or taken as a set or as questions
// the editor shows, which read back from Moodle XML and GIFT as many and from Moodle XML as the same.

#include "pytanie.h"
#include "wymiana.h"

#include <QBuffer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cassert>

static const QTemporaryDir katalog; // the set's folder: pictures are looked up there, never written

static wymiana::WynikImportu wczytaj(QByteArray bytes)
{
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    return wymiana::wczytajPytania(device, QStringLiteral("plik"), katalog.path());
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto w = wczytaj(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    const bool ok = w.wynik.has_value(), set = ok && w.format == wymiana::Format::Zestaw;
    assert(ok ? !w.raport.isEmpty()
              : !w.wynik.error().szczegol.isEmpty() && w.pytania.isEmpty() && w.rysunki.isEmpty());
    assert(w.rekordy == (set ? qint64(size) / rekord::size : 0) && (!ok || set == w.pytania.isEmpty()));
    for (const rekord& r : w.pytania) {
        const std::array<qint16, 5> marks{r.poprawna1, r.poprawna2, r.poprawna3, r.poprawna4, r.poprawna5};
        const Pytanie::Typ typ = typZKodu(r.typ);
        const auto right = std::ranges::count(marks, typ == Pytanie::Typ::Opcja ? -1 : 1);
        const auto zero = std::ranges::count(marks, 0);
        assert(typ != Pytanie::Typ::Nieznany && wymiana::edytorPokaze(r) && right + zero == 5 &&
               r.poprawna6 == 0);
        assert(typ == Pytanie::Typ::Wybor ? right >= 1
                                          : right == 1 && (typ == Pytanie::Typ::Opcja || r.poprawna1 == 1));
        assert(r.odp6 == rekord::pole<150>{});
    }
    for (const wymiana::Rysunek& p : w.rysunki) // a bare file name, in the set's folder
        assert(!p.nazwa.isEmpty() && p.nazwa != QLatin1String("..") &&
               QFileInfo(p.nazwa).fileName() == p.nazwa && !p.nazwa.contains(QLatin1Char('\\')));
    const auto niesione = [](rekord r) { // the fields both formats carry; a typed one has no others
        r.odp5 = {};
        r.rysunek = {};
        r.poprawna5 = 0;
        return r;
    };
    for (const bool xml : {true, false}) {
        const auto e = xml ? wymiana::moodleXml(w.pytania, katalog.path()) : wymiana::gift(w.pytania);
        const auto back = wczytaj(e.bajty);
        assert(e.zapisane == 0 || (back.wynik && back.pytania.size() == e.zapisane));
        const bool whole = xml && w.format == wymiana::Format::MoodleXml && e.zapisane == w.pytania.size();
        for (qsizetype i = 0; whole && i < e.zapisane; ++i)
            assert(niesione(back.pytania.at(i)) == niesione(w.pytania.at(i)));
    }
    return 0;
}
