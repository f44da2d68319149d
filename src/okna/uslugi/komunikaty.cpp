#include "komunikaty.h"

namespace komunikaty {

namespace {

using Icon = Dialogs::Icon;

const QString tytulTestu = QStringLiteral("TEST"), tytulBledu = QStringLiteral("Błąd"),
              bladDanych = QStringLiteral("Błąd danych"), generowanie = QStringLiteral("Generowanie Testu");

QString wzor(Komunikat k)
{
    switch (k) {
    case Komunikat::NieJestBaza:
        return QStringLiteral("Wybrany plik nie jest bazą pytań\rnastąpi zakończenie programu");
    case Komunikat::ZlaNazwaRysunku:
        return QStringLiteral("Nniewłaściwa nazwa pliku graficznego");
    case Komunikat::ZlyWybranyRysunek:
        return QStringLiteral("Nniew łaściwa nazwa pliku graficznego");
    case Komunikat::NazwaRysunku:
    case Komunikat::BladWymiany:
        return QStringLiteral("%1");
    case Komunikat::ZestawZaDuzy:
        return QStringLiteral("Zestaw „%1” jest za duży.");
    case Komunikat::NieOtwartoZestawu:
        return QStringLiteral("Nie można otworzyć zestawu „%1”.\r%2");
    case Komunikat::NieZapisanoZestawu:
        return QStringLiteral("Nie można zapisać zestawu „%1”.\r%2");
    case Komunikat::NieOdczytanoPytania:
        return QStringLiteral(
            "Nie można odczytać pytania nr %1 z zestawu „%2”.\r%3\rEdytor zostanie zamknięty.");
    case Komunikat::NieZapisanoPytania:
        return QStringLiteral(
            "Nie udało się zapisać pytania nr %1 w zestawie „%2”.\r%3\rPytanie pozostaje na ekranie.");
    case Komunikat::NieOdtworzono:
        return QStringLiteral(
            "Plik zestawu „%1” został usunięty albo podmieniony przez inny program i nie udało "
            "się go odtworzyć.\r%2\rPytanie nie zostało zapisane.");
    case Komunikat::Odtworzono:
        return QStringLiteral(
            "Plik zestawu „%1” został usunięty przez inny program.\rOdtworzono go ze wszystkimi pytaniami.");
    case Komunikat::ZapisanoKopie:
        return QStringLiteral(
            "Plik „%1” został podmieniony przez inny program i pozostał nietknięty.\rZestaw "
            "zapisano jako „%2” i ten plik jest teraz edytowany.");
    case Komunikat::ZestawPelny:
        return QStringLiteral("Zestaw nie pomieści więcej pytań.");
    case Komunikat::KasowacRekord:
        return QStringLiteral("Kasować ten rekord?");
    case Komunikat::NieUsunieto:
        return QStringLiteral("Nie udało się usunąć pytania nr %1.\r%2\rZestaw pozostał bez zmian.");
    case Komunikat::NieOtwartoPoUsunieciu:
        return QStringLiteral("Pytanie usunięto, ale nie można ponownie otworzyć zestawu „%1”.\r%2");
    case Komunikat::NieDolaczono:
        return QStringLiteral("Nie udało się dołączyć zestawu „%1”.\r%3\rDołączone pytania: %2.");
    case Komunikat::Raport:
        return {};
    case Komunikat::NieZapisanoPliku:
    case Komunikat::NieZapisanoTestu:
        return QStringLiteral("Nie udało się zapisać pliku „%1”.\r%2");
    case Komunikat::ZlyFormatEksportu:
        return QStringLiteral(
            "Nie udało się zapisać pliku „%1”.\rZestaw można zapisać tylko w formacie Moodle "
            "XML (.xml) albo GIFT (.gift, .txt).");
    case Komunikat::NieSprawdzono:
        return QStringLiteral("Nie udało się sprawdzić zestawu „%1”.\r%2");
    case Komunikat::NieWybranoPliku:
        return QStringLiteral("Nie wybrałeś pliku z pytaniami");
    case Komunikat::NiewlasciwyPlik:
        return QStringLiteral("Wybrałeś niewłaściwy plik źródłowy");
    case Komunikat::ZlaIloscPytan:
        return QStringLiteral("Zła ilośc pytań ");
    case Komunikat::NiewlasciweDane:
        return QStringLiteral("Niewłaściwe dane");
    case Komunikat::KrotkiKod:
        return QStringLiteral("Kod uruchomieniowy musi mieć co najmniej %1 znaków, gdy odpowiedzi i kod są "
                              "ukryte.\rNajlepiej użyj liter i cyfr. Naciśnij „Generuj test” jeszcze raz.");
    case Komunikat::NieOdczytanoZestawu:
        return QStringLiteral("Nie udało się odczytać pytania nr %1 z zestawu.\r%2");
    case Komunikat::ZlaLiczbaKopii:
        return QStringLiteral("Liczba kopii musi być liczbą całkowitą od %1 do %2.\rNaciśnij „Generuj test” "
                              "jeszcze raz.");
    }
    return {};
}

Tresc ramka(Komunikat k)
{
    switch (k) {
    case Komunikat::NieJestBaza:
        return {{}, tytulTestu};
    case Komunikat::ZlaNazwaRysunku:
    case Komunikat::ZlyWybranyRysunek:
    case Komunikat::NazwaRysunku:
        return {{}, tytulBledu};
    case Komunikat::Odtworzono:
    case Komunikat::ZapisanoKopie:
    case Komunikat::ZestawPelny:
        return {{}, tytulEdytora, Icon::Exclamation};
    case Komunikat::KasowacRekord:
        return {{}, tytulEdytora, Icon::None, Dialogs::Buttons::YesNo};
    case Komunikat::Raport:
        return {{}, tytulEdytora, Icon::Information};
    case Komunikat::NieWybranoPliku:
        return {{}, tytulTestu, Icon::Information};
    case Komunikat::NiewlasciwyPlik:
    case Komunikat::NiewlasciweDane:
        return {{}, bladDanych};
    case Komunikat::ZlaIloscPytan:
        return {{}, QStringLiteral("TESTER"), Icon::Exclamation};
    case Komunikat::KrotkiKod:
    case Komunikat::ZlaLiczbaKopii:
        return {{}, generowanie, Icon::Exclamation};
    case Komunikat::NieZapisanoTestu:
    case Komunikat::NieOdczytanoZestawu:
        return {{}, generowanie};
    default:
        return {{}, tytulEdytora};
    }
}

} // namespace

QString powod(const Blad& blad)
{
    switch (blad.rodzaj) {
    case Blad::Rodzaj::PustaNazwa:
        return QStringLiteral("pusta nazwa pliku");
    case Blad::Rodzaj::Folder:
        return QStringLiteral("%1 jest folderem, nie plikiem").arg(blad.szczegol);
    case Blad::Rodzaj::PozaZakresem:
        return QStringLiteral("numer rekordu %1 poza zakresem").arg(blad.szczegol);
    case Blad::Rodzaj::ZaDuzy:
        return QStringLiteral("zestaw byłby za duży");
    case Blad::Rodzaj::Skrocony:
        return QStringLiteral("plik zestawu skrócił się podczas kopiowania");
    case Blad::Rodzaj::ZlaDlugosc:
        return QStringLiteral("nowa wersja zestawu ma złą długość");
    case Blad::Rodzaj::Dokument:
        return QStringLiteral("Nie można utworzyć dokumentu PDF.");
    default:
        // The system's message, or the exchange's own words.
        return blad.szczegol;
    }
}

Tresc tresc(const Zdarzenie& z)
{
    Tresc t = ramka(z.rodzaj);
    QStringList d = z.szczegoly;
    if (z.rodzaj == Komunikat::Raport) {
        if (z.powod)
            d.prepend(powod(*z.powod));
        t.tekst = d.join(QLatin1Char('\r'));
        return t;
    }
    if (z.powod)
        d << powod(*z.powod);
    // All at once, so that a detail holding "%1" is not read as a place for the next one.
    const QString w = wzor(z.rodzaj);
    t.tekst = d.size() == 1   ? w.arg(d[0])
              : d.size() == 2 ? w.arg(d[0], d[1])
              : d.size() >= 3 ? w.arg(d[0], d[1], d[2])
                              : w;
    return t;
}

Dialogs::Answer pokaz(Dialogs& dialogs, QWidget* parent, const Zdarzenie& zdarzenie)
{
    const Tresc t = tresc(zdarzenie);
    return dialogs.message(parent, t.tekst, t.przyciski, t.ikona, t.tytul);
}

bool pokaz(Dialogs& dialogs, QWidget* parent, const Zdarzenia& zdarzenia)
{
    for (const Zdarzenie& z : zdarzenia)
        pokaz(dialogs, parent, z);
    return zdarzenia.isEmpty();
}

Zapytanie zapytanie(Pole pole)
{
    switch (pole) {
    case Pole::NazwaZestawu:
        return {QStringLiteral("Podaj nazwę zestawu"), QStringLiteral("Nazwa bazy pytań")};
    case Pole::CzasTestu:
        return {QStringLiteral("Podaj czas trwania testu w pełnych minutach"), QStringLiteral("Czas")};
    case Pole::KodTestu:
        return {QStringLiteral("Podaj kod uruchommieniowy testu"), QStringLiteral("Hasło")};
    case Pole::LiczbaKopii:
        return {QStringLiteral("Podaj liczbę kopii (od 1 do 60)"), QStringLiteral("Liczba kopii")};
    }
    return {};
}

QString zapytaj(Dialogs& dialogs, QWidget* parent, Pole pole)
{
    const Zapytanie z = zapytanie(pole);
    return dialogs.input(parent, z.pytanie, z.tytul);
}

QString zapytajKod(Dialogs& dialogs, QWidget* parent, const QString& wydany)
{
    const Zapytanie z = zapytanie(Pole::KodTestu);
    return dialogs.inputCode(parent, z.pytanie, z.tytul, wydany);
}

QString uwagaBledne(int ile)
{
    return QStringLiteral("Uwaga: w zestawie są pytania, których nie da się zaliczyć (%1). Sprawdź je w "
                          "edytorze: „sprawdź zestaw”.")
        .arg(ile);
}

namespace wklasie {

Dialogs::Answer pokaz(Dialogs& dialogs, QWidget* parent, const QString& tekst, Dialogs::Icon ikona)
{
    return dialogs.message(parent, tekst, Dialogs::Buttons::Ok, ikona, tytul);
}

bool pytaj(Dialogs& dialogs, QWidget* parent, const QString& tekst)
{
    return dialogs.message(parent, tekst, Dialogs::Buttons::YesNo, Icon::Exclamation, tytul) ==
           Dialogs::Answer::Yes;
}

QString wznowic(const QString& zestaw, const QString& pin, const QString& koniec, int uczniow)
{
    return QStringLiteral("Test w klasie z zestawu „%1” nie został zakończony (PIN %2, koniec o %3, "
                          "uczniów: %4).\rKontynuować go z tym samym PIN-em, czasem i odpowiedziami?\r"
                          "„Nie” rozpocznie nowy test; wyniki tamtego można najpierw zapisać do pliku CSV.")
        .arg(zestaw, pin, koniec)
        .arg(uczniow);
}

QString niezapisaneStare(const QString& plik)
{
    return QStringLiteral("Wyniki niedokończonego testu nie zostały zapisane do pliku CSV.\rRozpocząć "
                          "nowy test mimo to? Tamten test zostanie zakończony, a odpowiedzi jego "
                          "uczniów pozostaną tylko w pliku „%1”.")
        .arg(plik);
}

QString nieOdczytanoStarego(const QString& plik, const QString& powod)
{
    return QStringLiteral("Nie można odczytać wyników niedokończonego testu z pliku „%1” (czy zestaw "
                          "zmieniono od tamtej pory?).\r%2")
        .arg(plik, powod);
}

QString nieOtwartoMagazynu(const QString& plik, const QString& powod)
{
    return QStringLiteral("Nie można otworzyć pliku wyników „%1”.\r%2\rTest nie został rozpoczęty. "
                          "Sprawdź, czy folder zestawu nie jest tylko do odczytu i czy ten sam test nie "
                          "jest już otwarty w innym oknie programu.")
        .arg(plik, powod);
}

QString nieNasluchuje(const QString& powod)
{
    return QStringLiteral("Nie można uruchomić serwera testu (port %1 i kolejne są zajęte).\rTest nie "
                          "został rozpoczęty.")
        .arg(powod);
}

QString bladZapisu(const QString& plik, const QString& powod)
{
    return QStringLiteral("Nie udało się zapisać odpowiedzi ucznia w pliku „%1”.\r%2\rUczeń dostał "
                          "prośbę, by spróbować jeszcze raz; nic, co zostało mu potwierdzone, nie "
                          "zginęło. Sprawdź, czy na dysku jest wolne miejsce i czy folder zestawu nie "
                          "jest tylko do odczytu.")
        .arg(plik, powod);
}

QString zakonczyc(int pisze)
{
    return QStringLiteral("Zakończyć test dla wszystkich?\rUczniowie, którzy jeszcze piszą (%1), zostaną "
                          "ocenieni na podstawie zapisanych odpowiedzi.")
        .arg(pisze);
}

QString zamknac(int pisze)
{
    return QStringLiteral("Uczniowie jeszcze piszą (%1). Zamknąć okno?\rSerwer zostanie zatrzymany. "
                          "Test można potem kontynuować: „Test w klasie” na tym samym zestawie.")
        .arg(pisze);
}

QString zaznaczUcznia()
{
    return QStringLiteral("Zaznacz w tabeli ucznia, którego nazwisko chcesz zwolnić.");
}

QString zwolniono(const QString& uczen)
{
    return QStringLiteral("Uczeń „%1” może teraz dołączyć ponownie z innej przeglądarki pod tym samym "
                          "imieniem i nazwiskiem. Jego zapisane odpowiedzi zostają.")
        .arg(uczen);
}

QString nieZwolniono(const QString& uczen)
{
    return QStringLiteral("Nie można zwolnić nazwiska „%1”: uczeń już oddał test albo test jest "
                          "zakończony.")
        .arg(uczen);
}

QString nieZapisanoPliku(const QString& plik, const QString& powod)
{
    return QStringLiteral("Nie udało się zapisać pliku „%1”.\r%2").arg(plik, powod);
}

} // namespace wklasie

} // namespace komunikaty
