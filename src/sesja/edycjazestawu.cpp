#include "edycjazestawu.h"

#include "druk.h"
#include "reguly.h"
#include "wymiana.h"

#include <algorithm>

namespace {

// Text boxes hold lines joined by "\n"; a set stores them as the desktop's CR LF.
QString doZapisu(QString text)
{
    return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

QString zZapisu(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

QString liczba(qint64 n)
{
    return QString::number(n);
}

} // namespace

EdycjaZestawu::EdycjaZestawu(BiezacyFolder& folder, std::function<bool(const QString&)> wczytaj)
    : folder_(folder), wczytaj_(std::move(wczytaj)), folderStartowy_(folder.sciezka())
{
}

EdycjaZestawu::Skutek EdycjaZestawu::otworz(const QString& nazwa, const QString& nazwaZestawu)
{
    Skutek s;
    if (nazwa.isEmpty()) {
        s.zrobione = false;
        s.koniec = Koniec::ZakonczProgram;
        return s;
    }
    nazwaZestawu_ = nazwaZestawu;
    if (const Wynik<void> opened = zestaw_.otworz(folder_.plik(nazwa)); !opened) {
        s.zrobione = false;
        switch (opened.error().rodzaj) {
        case Blad::Rodzaj::NieZestaw:
            nieBaza(s);
            break;
        case Blad::Rodzaj::ZaDuzy:
            s.komunikaty << Zdarzenie{Komunikat::ZestawZaDuzy, {nazwa}};
            break;
        case Blad::Rodzaj::Zapis: // the empty set's first record
            s.komunikaty << Zdarzenie{Komunikat::NieZapisanoZestawu, {nazwa}, opened.error()};
            break;
        default:
            s.komunikaty << Zdarzenie{Komunikat::NieOtwartoZestawu, {nazwa}, opened.error()};
        }
        return s;
    }
    nrrekordu_ = 1;
    dopisz(s, pokaz());
    return s;
}

void EdycjaZestawu::dopisz(Skutek& skutek, Skutek&& dalszy) const
{
    skutek.zrobione = skutek.zrobione && dalszy.zrobione;
    skutek.komunikaty += dalszy.komunikaty;
    if (dalszy.widok)
        skutek.widok = std::move(dalszy.widok);
    if (dalszy.koniec != Koniec::Nie)
        skutek.koniec = dalszy.koniec;
}

void EdycjaZestawu::porzuc(Skutek& skutek, Zdarzenie zdarzenie)
{
    zestaw_.zamknij();
    skutek.zrobione = false;
    skutek.komunikaty << std::move(zdarzenie);
    skutek.koniec = Koniec::ZamknijEdytor;
}

void EdycjaZestawu::nieBaza(Skutek& skutek)
{
    // The file is left as it is and the program ends, as with the main menu's "Koniec".
    zestaw_.zamknij();
    skutek.zrobione = false;
    skutek.komunikaty << Zdarzenie{Komunikat::NieJestBaza, {}};
    skutek.koniec = Koniec::ZakonczProgram;
}

EdycjaZestawu::Skutek EdycjaZestawu::pokaz()
{
    Skutek s;
    const Wynik<rekord> read = zestaw_.czytaj(nrrekordu_);
    if (!read) {
        // Going on would let the next save write another question over this record.
        porzuc(s, {Komunikat::NieOdczytanoPytania, {liczba(nrrekordu_), nazwapliku()}, read.error()});
        return s;
    }
    bufor = Pytanie::zRekordu(*read);
    Widok w;
    w.pytanie = zZapisu(bufor.tresc);
    nazwarysunku_ = bufor.rysunek;
    if (!wczytaj_(sciezkaRysunku())) {
        s.komunikaty << Zdarzenie{Komunikat::ZlaNazwaRysunku, {}};
        nazwarysunku_.clear();
    }
    naEkranie_ = sciezkaRysunku();
    // A type the editor does not know is shown as multiple choice, as the page shows it.
    w.typ = reguly::typNaStronie(bufor);
    if (w.typ == Typ::Tekst) {
        w.wzor = bufor.wzor();
    } else {
        for (int k = 0; k < 5; ++k)
            w.odpowiedzi[size_t(k)] = zZapisu(bufor.odpowiedzi[size_t(k)]);
        if (w.typ == Typ::Opcja)
            w.opcja = reguly::opcjaEdytora(bufor).value_or(-1);
        for (int k = 0; k < 5 && w.typ == Typ::Wybor; ++k) {
            const qint16 mark = bufor.znaczniki[size_t(k)];
            if (!reguly::znacznikPolaWyboru(mark)) {
                nieBaza(s);
                return s;
            }
            w.znaki[size_t(k)] = Znak(mark);
        }
    }
    s.widok = std::move(w);
    return s;
}

bool EdycjaZestawu::naMiejscu(Skutek& s)
{
    const QString poprzednia = zestaw_.sciezka();
    const Wynik<OtwartyZestaw::Miejsce> w = zestaw_.upewnijSie();
    if (w && *w == OtwartyZestaw::Miejsce::NaMiejscu)
        return true;
    if (!w) {
        // The copy was written but could not be opened: the set is closed.
        if (!zestaw_.otwarty())
            porzuc(s, {Komunikat::NieOtwartoZestawu, {nazwapliku()}, w.error()});
        else
            s.komunikaty << Zdarzenie{Komunikat::NieOdtworzono, {poprzednia}, w.error()};
        s.zrobione = false;
        return false;
    }
    nazwaZestawu_ = QFileInfo(nazwapliku()).fileName();
    s.komunikaty << (*w == OtwartyZestaw::Miejsce::Kopia
                         ? Zdarzenie{Komunikat::ZapisanoKopie, {poprzednia, nazwapliku()}}
                         : Zdarzenie{Komunikat::Odtworzono, {poprzednia}});
    return true;
}

EdycjaZestawu::Skutek EdycjaZestawu::zachowaj(const Ekran& e)
{
    Skutek s;
    if (!naMiejscu(s))
        return s;
    bufor.tresc = doZapisu(e.pytanie);
    for (int k = 0; k < 5; ++k)
        bufor.odpowiedzi[size_t(k)] = doZapisu(e.odpowiedzi[size_t(k)]);
    bufor.typ = e.typ;
    for (int k = 0; k < 5; ++k) {
        switch (e.typ) {
        case Typ::Tekst:
            bufor.znaczniki[size_t(k)] = k == 0 ? 1 : 0;
            break;
        case Typ::Opcja:
            bufor.znaczniki[size_t(k)] = e.opcje[size_t(k)] ? -1 : 0;
            break;
        default:
            bufor.znaczniki[size_t(k)] = qint16(e.znaki[size_t(k)]);
        }
    }
    if (e.typ == Typ::Tekst)
        bufor.wzor() = e.wzor;
    bufor.rysunek = nazwarysunku_;
    if (const Wynik<void> written = zestaw_.zapisz(nrrekordu_, bufor.doRekordu(Pytanie::Pola::Wszystkie));
        !written) {
        s.zrobione = false;
        s.komunikaty << Zdarzenie{
            Komunikat::NieZapisanoPytania, {liczba(nrrekordu_), nazwapliku()}, written.error()};
    }
    return s;
}

EdycjaZestawu::Skutek EdycjaZestawu::dalej(const Ekran& e)
{
    Skutek s = zachowaj(e);
    if (!s.zrobione)
        return s;
    if (nrrekordu_ != iloscrekordow())
        ++nrrekordu_;
    dopisz(s, pokaz());
    return s;
}

EdycjaZestawu::Skutek EdycjaZestawu::wstecz(const Ekran& e)
{
    Skutek s = zachowaj(e);
    if (!s.zrobione)
        return s;
    nrrekordu_ = std::max(nrrekordu_ - 1, 1);
    dopisz(s, pokaz());
    return s;
}

EdycjaZestawu::Skutek EdycjaZestawu::zakoncz(const Ekran& e)
{
    Skutek s = zachowaj(e);
    if (s.zrobione) {
        zestaw_.zamknij();
        s.koniec = Koniec::ZamknijEdytor;
    }
    return s;
}

EdycjaZestawu::Skutek EdycjaZestawu::nowePytanie(const Ekran& e)
{
    Skutek s = zachowaj(e);
    if (!s.zrobione)
        return s;
    if (!zestaw_.nowePytanie()) {
        s.zrobione = false;
        s.komunikaty << Zdarzenie{Komunikat::ZestawPelny, {}};
        return s;
    }
    nrrekordu_ = iloscrekordow();
    nazwarysunku_.clear();
    naEkranie_.clear();
    return s;
}

EdycjaZestawu::Skutek EdycjaZestawu::usun()
{
    Skutek s;
    if (!naMiejscu(s))
        return s;
    const qint32 remembered = nrrekordu_;
    const QString path = zestaw_.sciezka();
    if (const Wynik<void> result = zestaw_.usun(remembered); !result) {
        if (zestaw_.otwarty()) {
            // The set on disk is untouched and its file stays open: the editor goes on with it.
            s.zrobione = false;
            s.komunikaty << Zdarzenie{Komunikat::NieUsunieto, {liczba(remembered)}, result.error()};
        } else if (result.error().rodzaj == Blad::Rodzaj::Zapis) { // the first record of an emptied set
            porzuc(s, {Komunikat::NieZapisanoZestawu, {path}, result.error()});
        } else {
            porzuc(s, {Komunikat::NieOtwartoPoUsunieciu, {path}, result.error()});
        }
        return s;
    }
    nrrekordu_ = std::min(remembered, iloscrekordow());
    dopisz(s, pokaz());
    return s;
}

EdycjaZestawu::Skutek EdycjaZestawu::dolacz(const QString& wybrany)
{
    Skutek s;
    if (wybrany.isEmpty() || !naMiejscu(s)) {
        s.zrobione = false;
        return s;
    }
    // A set is appended record by record; another program's questions are converted first, and
    // anything else is refused before the set is touched. A typed name of no file is created
    // empty and appends nothing, as a set of no records.
    wymiana::WynikImportu w;
    if (QFileInfo::exists(wybrany)) {
        w = wymiana::wczytajPytania(wybrany, zestaw_.folder());
        if (!w.wynik) {
            s.zrobione = false;
            s.komunikaty << Zdarzenie{Komunikat::Raport, w.raport, w.wynik.error()};
            return s;
        }
    }
    const qint32 before = iloscrekordow();
    Wynik<void> appendedAll;
    if (w.pytania.isEmpty()) {
        appendedAll = zestaw_.dolacz(wybrany);
    } else {
        if (const Wynik<int> pictures = wymiana::zapiszRysunki(w); !pictures)
            w.raport << pictures.error().szczegol;
        appendedAll = zestaw_.dolaczRekordy(w.pytania);
    }
    const qint32 appended = iloscrekordow() - before;
    if (appended > 0)
        nrrekordu_ = iloscrekordow();
    if (!appendedAll)
        s.komunikaty << Zdarzenie{Komunikat::NieDolaczono, {wybrany, liczba(appended)}, appendedAll.error()};
    else if (!w.pytania.isEmpty())
        s.komunikaty << Zdarzenie{Komunikat::Raport, w.raport};
    dopisz(s, pokaz());
    return s;
}

EdycjaZestawu::Skutek EdycjaZestawu::rysunek(Kontrolka kontrolka, const Ekran& e,
                                             const std::function<QString(const QString&)>& wybierz)
{
    Skutek s;
    const bool obraz = kontrolka == Kontrolka::Obraz;
    naEkranie_.clear();
    if (maRysunek()) {
        nazwarysunku_.clear();
        if (!obraz) {
            bufor.rysunek = nazwarysunku_;
            return s;
        }
    } else {
        const QString wybrany = wybierz(obraz ? QString() : folderStartowy_);
        nazwarysunku_ = obraz ? trimSpaces(wybrany) : wybrany;
        if (!wczytaj_(sciezkaRysunku())) {
            s.komunikaty << Zdarzenie{Komunikat::ZlyWybranyRysunek, {}};
            if (!obraz) {
                // The rejected name stays and reaches the record at the next save.
                s.zrobione = false;
                return s;
            }
            s.komunikaty << Zdarzenie{Komunikat::NazwaRysunku, {nazwarysunku_}};
            nazwarysunku_.clear();
        } else {
            naEkranie_ = sciezkaRysunku();
            if (!obraz) {
                bufor.rysunek = nazwarysunku_;
                return s;
            }
        }
    }
    dopisz(s, zachowaj(e));
    return s;
}

EdycjaZestawu::Skutek EdycjaZestawu::sprawdz(const Ekran& e, QList<sprawdzenie::Uwaga>& uwagi)
{
    Skutek s = zachowaj(e);
    if (!s.zrobione)
        return s;
    const Wynik<QList<sprawdzenie::Uwaga>> check = zestaw_.sprawdz();
    if (!check) {
        s.zrobione = false;
        s.komunikaty << Zdarzenie{Komunikat::NieSprawdzono, {nazwapliku()}, check.error()};
        uwagi.clear();
    } else {
        uwagi = *check;
    }
    return s;
}

EdycjaZestawu::Skutek EdycjaZestawu::idzDo(int nr, const Ekran& e)
{
    if (nr > iloscrekordow())
        return Skutek{false, {}, {}, Koniec::Nie};
    Skutek s = zachowaj(e);
    if (!s.zrobione)
        return s;
    nrrekordu_ = nr;
    dopisz(s, pokaz());
    return s;
}

std::optional<QList<rekord>> EdycjaZestawu::czytajWszystkie(Skutek& s, const QString& sciezka)
{
    Wynik<QList<rekord>> read = zestaw_.czytajWszystkie();
    if (!read) {
        s.zrobione = false;
        s.komunikaty << Zdarzenie{Komunikat::NieZapisanoPliku, {sciezka}, read.error()};
        return std::nullopt;
    }
    return std::move(read).value();
}

EdycjaZestawu::Skutek EdycjaZestawu::eksportuj(const QString& sciezka)
{
    Skutek s;
    const std::optional<QList<rekord>> rekordy = czytajWszystkie(s, sciezka);
    if (!rekordy)
        return s;
    const std::optional<wymiana::Format> format = wymiana::formatEksportu(sciezka);
    if (!format) {
        s.zrobione = false;
        s.komunikaty << Zdarzenie{Komunikat::ZlyFormatEksportu, {sciezka}};
        return s;
    }
    const Wynik<wymiana::Eksport> written = wymiana::eksportuj(*rekordy, *format, zestaw_.folder(), sciezka);
    s.zrobione = written.has_value();
    // The exchange words its own failure: the file's name and the reason.
    s.komunikaty << (written ? Zdarzenie{Komunikat::Raport, written->raport}
                             : Zdarzenie{Komunikat::BladWymiany, {}, written.error()});
    return s;
}

EdycjaZestawu::Skutek EdycjaZestawu::drukuj(const QString& sciezka)
{
    Skutek s;
    const std::optional<QList<rekord>> rekordy = czytajWszystkie(s, sciezka);
    if (!rekordy)
        return s;
    if (const Wynik<void> written = druk::zestaw(*rekordy, nazwaZestawu_, zestaw_.folder(), sciezka);
        !written) {
        s.zrobione = false;
        s.komunikaty << Zdarzenie{Komunikat::NieZapisanoPliku, {sciezka}, written.error()};
    }
    return s;
}
