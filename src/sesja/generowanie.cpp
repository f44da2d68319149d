#include "generowanie.h"

#include "druk.h"
#include "setfile.h"
#include "sprawdzenie.h"
#include "strona.h"
#include "zapieczetowana.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QLocale>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

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
    kod_ = opcje.ukryj ? pieczec::kodKlucza(kod) : kod; // the key prints the code as the seal takes it
    opcje_ = opcje;
    if (opcje.ukryj && pieczec::znakiKodu(kod) < strona::najkrotszyKod)
        return Skutek{false, {{Komunikat::KrotkiKod, {QString::number(strona::najkrotszyKod)}}}, true};
    if (Skutek read = czytaj(); !read.zrobione)
        return read;
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

Generowanie::Skutek Generowanie::czytaj()
{
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
    return {};
}

Generowanie::Skutek Generowanie::zapiszKopie(const QString& ile, Opcje opcje, const QDate& data)
{
    if (ile.isEmpty())
        return Skutek{false, {}, true};
    bool number = false;
    const int count = ile.trimmed().toInt(&number);
    if (!number || count < 1 || count > najwiecejKopii)
        return Skutek{false,
                      {{Komunikat::ZlaLiczbaKopii, {QStringLiteral("1"), QString::number(najwiecejKopii)}}},
                      true};
    opcje_ = opcje;
    kod_.clear();
    kody_.clear();
    QList<QList<rekord>> tests;
    QList<strona::Pieczec> seals;
    for (int k = 1; k <= count; ++k) {
        if (k > 1 && !losowanie::losuj(iloscrekordow_, n_, losowe_, wylosowane_, [](qint16) {}))
            return Skutek{false, {{Komunikat::NiewlasciweDane, {}}}};
        if (Skutek read = czytaj(); !read.zrobione)
            return read;
        tests << pytania_;
        seals << strona::Pieczec::nowa(opcje.losowo);
        seals.last().kopia = k;
        kody_ << pieczec::wydajKod();
    }
    const QString folder = QDir(folderZestawu_).absolutePath();
    // The codes first: should they not be written, no copy is replaced by one nobody can open.
    const QString codesPath = folder + QStringLiteral("/kody.pdf");
    druk::Tabela codes{{{QStringLiteral("Zestaw:"), nazwa_}},
                       {QStringLiteral("Kopia"), QStringLiteral("Plik"), QStringLiteral("Kod")},
                       {}};
    if (!data.isNull())
        codes.opis.append({QStringLiteral("Data:"), data.toString(QStringLiteral("dd.MM.yyyy"))});
    codes.opis.append({QStringLiteral("Liczba kopii:"), QString::number(count)});
    for (int k = 1; k <= count; ++k)
        codes.wiersze.append(
            {strona::numerKopii(k), QStringLiteral("test-%1.html").arg(strona::numerKopii(k)), kody_[k - 1]});
    if (const Wynik<void> written = druk::wyniki(QStringLiteral("Kody kopii"), codes, codesPath); !written)
        return Skutek{false, {{Komunikat::NieZapisanoTestu, {codesPath}, written.error()}}};
    // The keys take a good part of a second each, on purpose: they are derived on every core.
    QList<QByteArray> keys(count);
    QByteArray* key = keys.data(); // no thread touches the lists but through this and at()
    std::atomic<int> next = 0;
    std::vector<std::thread> workers(std::clamp(std::thread::hardware_concurrency(), 1U, unsigned(count)));
    for (std::thread& worker : workers)
        worker = std::thread([&] {
            for (int k; (k = next++) < count;)
                key[k] = pieczec::klucz(kody_.at(k), seals.at(k).sol, seals.at(k).iteracje);
        });
    for (std::thread& worker : workers)
        worker.join();
    for (int k = 1; k <= count; ++k) {
        const QString path =
            folder + QStringLiteral("/test-") + strona::numerKopii(k) + QStringLiteral(".html");
        const QString page = strona::zapieczetowanaKluczem(tests[k - 1], sekundy_, keys[k - 1], seals[k - 1]);
        if (const Wynik<void> written = strona::zapisz(path, page); !written)
            return Skutek{
                false,
                {{Komunikat::NiewlasciweDane, {}}, {Komunikat::NieZapisanoTestu, {path}, written.error()}}};
    }
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
