#include "generowanie.h"

#include "druk.h"
#include "setfile.h"
#include "sprawdzenie.h"
#include "strona.h"
#include "zapieczetowana.h"

#include <QBuffer>
#include <QFile>
#include <QLocale>

#include <cmath>

Generowanie::Generowanie(BiezacyFolder& folder, losowanie::Zrodlo losowe)
    : folder_(folder), losowe_(std::move(losowe))
{
}

Generowanie::~Generowanie() = default;

Generowanie::Skutek Generowanie::otworz(const QString& sciezka, const QString& nazwa)
{
    nazwa_ = nazwa;
    const QFileInfo info(folder_.plik(sciezka));
    folderZestawu_ = info.absolutePath();
    sciezkaZestawu_ = info.absoluteFilePath();
    if (!info.exists() && info.dir().exists()) {
        plik_ = std::make_unique<QBuffer>();
    } else {
        plik_ = std::make_unique<QFile>(info.absoluteFilePath());
    }
    const qint64 count = plik_->open(QIODevice::ReadOnly) ? zestaw::liczbaRekordow(plik_->size()) : -1;
    if (count < 0 || count > 32767) {
        zamknij();
        return Skutek{false, {{Komunikat::NiewlasciwyPlik, {}}}};
    }
    iloscrekordow_ = qint16(qMax<qint64>(count, 1));
    // A warning only: the teacher may still give the test.
    const Wynik<QList<sprawdzenie::Uwaga>> check = sprawdzenie::sprawdzZestaw(*plik_, count, folderZestawu_);
    bledne_ = check ? sprawdzenie::pytaniaZBledami(*check) : 0;
    return {};
}

void Generowanie::zamknij()
{
    if (plik_)
        plik_->close();
}

Generowanie::Skutek Generowanie::losuj(const QString& ilosc, const std::function<void(qint16)>& wylosowany)
{
    const double v = losowanie::liczbaNaPoczatku(ilosc);
    if (v < 1 || v > iloscrekordow_)
        return Skutek{false, {{Komunikat::ZlaIloscPytan, {}}}};
    n_ = int(losowanie::zaokraglij(v));
    if (!losowanie::losuj(iloscrekordow_, n_, losowe_, wylosowane_, wylosowany))
        return Skutek{false, {{Komunikat::NiewlasciweDane, {}}}};
    return {};
}

Generowanie::Skutek Generowanie::doKlasy(const QString& ilosc, DoKlasy& klasa) const
{
    const double v = losowanie::liczbaNaPoczatku(ilosc);
    if (v < 1 || v > iloscrekordow_)
        return Skutek{false, {{Komunikat::ZlaIloscPytan, {}}}};
    klasa = {{}, sciezkaZestawu_, folderZestawu_, nazwa_, int(losowanie::zaokraglij(v))};
    if (klasa.liczba > losowanie::sloty)
        return Skutek{false, {{Komunikat::NiewlasciweDane, {}}}};
    for (qint16 k = 1; k <= iloscrekordow_; ++k) {
        const Wynik<rekord> read = zestaw::czytaj(*plik_, k);
        if (!read)
            return Skutek{false,
                          {{Komunikat::NiewlasciweDane, {}},
                           {Komunikat::NieOdczytanoZestawu, {QString::number(k)}, read.error()}}};
        klasa.zestaw.append(Pytanie::zRekordu(*read));
    }
    return {};
}

std::optional<int> Generowanie::minutyKlasy(const QString& minuty)
{
    const std::optional<double> sekundy = strona::sekundyZMinut(minuty, QLocale());
    if (!sekundy || *sekundy < 60 || *sekundy > 60.0 * 24 * 60 * 7)
        return std::nullopt;
    return int(std::lround(*sekundy / 60));
}

Generowanie::Skutek Generowanie::czas(const QString& minuty)
{
    minuty_ = minuty;
    const std::optional<double> seconds = strona::sekundyZMinut(minuty, QLocale());
    if (!seconds)
        return Skutek{false, {{Komunikat::NiewlasciweDane, {}}}};
    sekundy_ = strona::sekundy(*seconds);
    return {};
}

Generowanie::Skutek Generowanie::zapisz(const QString& kod, Opcje opcje)
{
    kod_ = kod;
    opcje_ = opcje;
    if (opcje.ukryj && kod.size() < strona::najkrotszyKod)
        return Skutek{false, {{Komunikat::KrotkiKod, {QString::number(strona::najkrotszyKod)}}}, true};
    pytania_.clear();
    for (int nr = 1; nr <= n_; ++nr) {
        const Wynik<rekord> read = zestaw::czytaj(*plik_, wylosowane_[size_t(nr)]);
        if (!read)
            return Skutek{
                false,
                {{Komunikat::NiewlasciweDane, {}},
                 {Komunikat::NieOdczytanoZestawu, {QString::number(wylosowane_[size_t(nr)])}, read.error()}}};
        pytania_.append(*read);
    }
    // Deriving the sealed page's key takes a good part of a second, on purpose.
    const QString page =
        opcje.ukryj ? strona::zapieczetowana(pytania_, sekundy_, kod, strona::Pieczec::nowa(opcje.losowo))
                    : strona::strona(pytania_, sekundy_, kod);
    if (const Wynik<void> written = strona::zapisz(sciezkaStrony(), page); !written)
        return Skutek{false,
                      {{Komunikat::NiewlasciweDane, {}},
                       {Komunikat::NieZapisanoTestu, {sciezkaStrony()}, written.error()}}};
    return {};
}

Generowanie::Skutek Generowanie::drukuj(bool klucz, const QString& sciezka, const QDate& data) const
{
    // A shuffled page numbers its questions anew at every opening: the key goes by the texts.
    const druk::Opis opis{nazwa_, minuty_, kod_, data, opcje_.ukryj && opcje_.losowo};
    const Wynik<void> written = klucz ? druk::klucz(pytania_, opis, folderZestawu_, sciezka)
                                      : druk::test(pytania_, opis, folderZestawu_, sciezka);
    if (!written)
        return Skutek{false, {{Komunikat::NieZapisanoTestu, {sciezka}, written.error()}}};
    return {};
}
