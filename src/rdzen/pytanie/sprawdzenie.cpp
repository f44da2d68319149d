#include "sprawdzenie.h"

#include "reguly.h"
#include "setfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <functional>

namespace sprawdzenie {

namespace {

using StanRysunku = std::function<std::optional<Problem>(const QString&)>;

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isHexDigit(QChar c)
{
    return isAsciiDigit(c) || (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// The browsers' formats by their first bytes; the editor's picture loader reads them all too.
bool jestRysunkiem(const QByteArray& head)
{
    return head.startsWith("\x89PNG\r\n\x1a\n") || head.startsWith("\xff\xd8\xff") ||
           head.startsWith("GIF87a") || head.startsWith("GIF89a") || head.startsWith("BM") ||
           (head.startsWith("RIFF") && head.mid(8, 4) == "WEBP");
}

std::optional<Problem> obejrzyjRysunek(const QString& folder, const QString& name)
{
    const QFileInfo info(QDir(folder), name);
    if (!info.exists())
        return Problem::BrakRysunku;
    QFile file(info.filePath());
    if (info.isDir() || !file.open(QIODevice::ReadOnly) || !jestRysunkiem(file.read(12)))
        return Problem::NieRysunek;
    return std::nullopt;
}

class Zbior
{
public:
    Zbior(QList<Uwaga>& out, int nr) : out_(out), nr_(nr) {}
    void operator()(Problem p, const QString& tekst) { out_.append(Uwaga{p, rodzaj(p), nr_, tekst}); }

private:
    QList<Uwaga>& out_;
    int nr_;
};

QString gdzie(int k)
{
    return k == 0 ? QStringLiteral("W treści pytania") : QStringLiteral("W odpowiedzi %1").arg(k);
}

// A "<" or "&" the page would hand to the browser as the start of markup it does not hold.
void sprawdzZnaki(Zbior& dodaj, const QString& text, int k)
{
    bool lt = false, amp = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!lt && text.at(i) == QLatin1Char('<') && !zaczynaZnacznik(text, i))
            lt = true;
        if (!amp && text.at(i) == QLatin1Char('&') && !zaczynaEncje(text, i))
            amp = true;
    }
    if (lt)
        dodaj(Problem::ZnakMniejszosci, gdzie(k) + QStringLiteral(" znak „<” nie zaczyna znacznika HTML; "
                                                                  "przeglądarka może wziąć go za początek "
                                                                  "znacznika i ukryć dalszy tekst. Wpisz "
                                                                  "zamiast niego &lt;."));
    if (amp)
        dodaj(Problem::ZnakEt, gdzie(k) + QStringLiteral(" znak „&” nie zaczyna encji HTML; przeglądarka "
                                                         "może wziąć go za początek encji i pokazać inny "
                                                         "znak. Wpisz zamiast niego &amp;."));
}

void jednokrotny(Zbior& dodaj, const Pytanie& p)
{
    QStringList minus;
    const int last = reguly::opcjaStrony(p).value_or(-1) + 1;
    for (int k = 1; k <= 5; ++k) {
        const qint16 m = p.znaczniki[k - 1];
        if (reguly::wybranaNaStronie(m)) {
            minus << QString::number(k);
        } else if (m != 0) {
            dodaj(Problem::OznaczenieOpcji,
                  QStringLiteral("Odpowiedź %1 ma oznaczenie %2 zamiast -1: edytor "
                                 "pokaże ją jako zaznaczoną, ale test jej nie uzna.")
                      .arg(k)
                      .arg(m));
        }
    }
    if (last == 0)
        dodaj(Problem::BrakPoprawnej, QStringLiteral("Nie zaznaczono poprawnej odpowiedzi (jednokrotny "
                                                     "wybór), więc pytania nie da się zaliczyć."));
    else if (last == 5)
        dodaj(Problem::PoprawnaPiata, QStringLiteral("Jako poprawna liczy się odpowiedź 5, której test nie "
                                                     "pokazuje, więc pytania nie da się zaliczyć."));
    if (minus.size() > 1)
        dodaj(Problem::KilkaPoprawnych, QStringLiteral("Zaznaczono kilka poprawnych odpowiedzi (%1); test "
                                                       "uzna tylko ostatnią z nich (%2).")
                                            .arg(minus.join(QStringLiteral(", ")))
                                            .arg(last));
    if (reguly::opcjaNaStronie(p) && p.odpowiedzi[last - 1].isEmpty())
        dodaj(Problem::PustaPoprawna,
              QStringLiteral("Odpowiedź %1 jest zaznaczona jako poprawna, ale nie ma treści.").arg(last));
    if (last != 5 && (!p.odpowiedzi[4].isEmpty() || p.znaczniki[4] != 0))
        dodaj(Problem::PiataOdpowiedz, QStringLiteral("Odpowiedź 5 nie pojawi się w teście, który pokazuje "
                                                      "tylko cztery odpowiedzi."));
}

void wielokrotny(Zbior& dodaj, const Pytanie& p)
{
    bool marked = false;
    QList<int> empty;
    const std::array<bool, 5> right = reguly::prawidlowe(p);
    for (int k = 1; k <= 5; ++k) {
        const qint16 m = p.znaczniki[k - 1];
        if (!reguly::znacznikPolaWyboru(m)) {
            dodaj(
                Problem::ZleOznaczenie,
                QStringLiteral("Odpowiedź %1 ma oznaczenie %2, a w pytaniu wielokrotnego wyboru dozwolone są "
                               "tylko 0, 1 i 2; edytor nie otworzy takiego pytania.")
                    .arg(k)
                    .arg(m));
        } else if (k <= reguly::odpowiedziNaStronie && !reguly::zgodnyStan(m, true) &&
                   !reguly::zgodnyStan(m, false)) {
            dodaj(Problem::SzaraOdpowiedz,
                  QStringLiteral("Odpowiedź %1 jest zaznaczona na szaro (oznaczenie 2): "
                                 "test nie uzna jej ani zaznaczonej, ani pustej i "
                                 "zawsze odejmie za nią punkt.")
                      .arg(k));
        } else if (k <= reguly::odpowiedziNaStronie && right[k - 1]) {
            marked = true;
            if (p.odpowiedzi[k - 1].isEmpty())
                empty << k;
        }
    }
    if (!marked)
        dodaj(Problem::NicNieZaznaczono,
              QStringLiteral("Nie zaznaczono żadnej poprawnej odpowiedzi (wielokrotny wybór): za "
                             "pozostawienie pytania bez odpowiedzi test da 4 punkty."));
    for (const int k : empty)
        dodaj(Problem::PustaPoprawna,
              QStringLiteral("Odpowiedź %1 jest zaznaczona jako poprawna, ale nie ma treści.").arg(k));
    if (!p.odpowiedzi[4].isEmpty() || p.znaczniki[4] != 0)
        dodaj(Problem::PiataOdpowiedz, QStringLiteral("Odpowiedź 5 nie pojawi się w teście, który pokazuje "
                                                      "tylko cztery odpowiedzi."));
}

void wpisywany(Zbior& dodaj, const Pytanie& p)
{
    const QString& wzor = p.wzor();
    if (wzor.isEmpty()) {
        dodaj(Problem::PustyWzor,
              QStringLiteral("Wzór odpowiedzi jest pusty: test uzna tylko pole pozostawione "
                             "bez odpowiedzi."));
        return;
    }
    if (wzor.size() > reguly::poleOdpowiedzi)
        dodaj(Problem::DlugiWzor,
              QStringLiteral("Wzór odpowiedzi jest dłuższy niż %1 znaków (długość: %2), a "
                             "pole odpowiedzi w teście mieści najwyżej %1, więc nie da się "
                             "go wpisać.")
                  .arg(reguly::poleOdpowiedzi)
                  .arg(wzor.size()));
    if (wzor.contains(QLatin1Char('\r')) || wzor.contains(QLatin1Char('\n')) ||
        wzor.contains(QLatin1Char('\t')))
        dodaj(Problem::WzorNieDoWpisania,
              QStringLiteral("Wzór odpowiedzi zawiera koniec wiersza lub tabulator, "
                             "których nie da się wpisać w pole odpowiedzi."));
    if (std::any_of(wzor.begin(), wzor.end(), [](QChar c) { return c.isUpper(); }))
        dodaj(Problem::WielkieLitery,
              QStringLiteral("Wzór odpowiedzi zawiera wielkie litery, a edytor podpowiada "
                             "„tylko małe litery”: kto wpisze odpowiedź małymi literami, "
                             "nie zaliczy pytania."));
}

void sprawdzRekord(const rekord& r, int nr, QList<Uwaga>& out, const StanRysunku& stanRysunku)
{
    Zbior dodaj(out, nr);
    const Pytanie p = Pytanie::zRekordu(r);
    const bool typed = reguly::typNaStronie(p) == Pytanie::Typ::Tekst;
    if (p.typ == Pytanie::Typ::Nieznany)
        dodaj(Problem::NieznanyTyp, QStringLiteral("Nieznany rodzaj odpowiedzi (typ %1): edytor i test "
                                                   "potraktują pytanie jako wielokrotny wybór.")
                                        .arg(p.kodTypu()));
    if (reguly::typNaStronie(p) == Pytanie::Typ::Opcja)
        jednokrotny(dodaj, p);
    else if (typed)
        wpisywany(dodaj, p);
    else
        wielokrotny(dodaj, p);

    const QString& pytanie = p.tresc;
    if (pytanie.isEmpty())
        dodaj(Problem::PustePytanie, QStringLiteral("Treść pytania jest pusta."));

    const QString& picture = p.rysunek;
    if (reguly::jestRysunkiem(picture)) {
        if (const auto problem = stanRysunku(picture)) {
            if (*problem == Problem::BrakRysunku)
                dodaj(*problem,
                      QStringLiteral("Nie znaleziono rysunku „%1” w folderze zestawu.").arg(picture));
            else
                dodaj(*problem,
                      QStringLiteral("Plik „%1” nie jest rysunkiem, który pokaże przeglądarka (PNG, "
                                     "JPEG, GIF, BMP lub WebP).")
                          .arg(picture));
        }
    }

    sprawdzZnaki(dodaj, pytanie, 0);
    if (!typed) {
        for (int k = 1; k <= reguly::odpowiedziNaStronie; ++k)
            sprawdzZnaki(dodaj, p.odpowiedzi[k - 1], k);
    }
}

} // namespace

Rodzaj rodzaj(Problem problem)
{
    switch (problem) {
    case Problem::BrakPoprawnej:
    case Problem::PoprawnaPiata:
    case Problem::ZleOznaczenie:
    case Problem::SzaraOdpowiedz:
    case Problem::PustyWzor:
    case Problem::DlugiWzor:
    case Problem::WzorNieDoWpisania:
    case Problem::BrakRysunku:
    case Problem::NieRysunek:
    case Problem::NieznanyTyp:
        return Rodzaj::Blad;
    default:
        return Rodzaj::Ostrzezenie;
    }
}

QString Uwaga::wiersz() const
{
    return QStringLiteral("Pytanie %1: %2").arg(nr).arg(tekst);
}

QList<Uwaga> sprawdz(const rekord& r, int nr, const QString& folder)
{
    QList<Uwaga> out;
    sprawdzRekord(r, nr, out, [&](const QString& name) { return obejrzyjRysunek(folder, name); });
    return out;
}

void uporzadkuj(QList<Uwaga>& uwagi)
{
    std::stable_sort(uwagi.begin(), uwagi.end(), [](const Uwaga& a, const Uwaga& b) {
        const bool ea = a.rodzaj == Rodzaj::Blad, eb = b.rodzaj == Rodzaj::Blad;
        return ea != eb ? ea : a.nr < b.nr;
    });
}

int pytaniaZBledami(const QList<Uwaga>& uwagi)
{
    QSet<int> numbers;
    for (const Uwaga& u : uwagi) {
        if (u.rodzaj == Rodzaj::Blad)
            numbers.insert(u.nr);
    }
    return int(numbers.size());
}

Sprawdzenie::Sprawdzenie(const QString& folder) : folder_(folder) {}

void Sprawdzenie::dodaj(const rekord& r, int nr)
{
    sprawdzRekord(r, nr, uwagi_, [this](const QString& name) {
        auto it = rysunki_.constFind(name);
        if (it == rysunki_.constEnd())
            it = rysunki_.insert(name, obejrzyjRysunek(folder_, name));
        return *it;
    });

    const QString key = tekst(r.pytanie).trimmed().toCaseFolded();
    if (key.isEmpty())
        return;
    const auto first = teksty_.constFind(key);
    if (first == teksty_.constEnd()) {
        teksty_.insert(key, nr);
        return;
    }
    uwagi_.append(Uwaga{Problem::PowtorzonePytanie, Rodzaj::Ostrzezenie, nr,
                        QStringLiteral("Ta sama treść co w pytaniu %1.").arg(*first)});
}

QList<Uwaga> Sprawdzenie::uwagi() const
{
    QList<Uwaga> sorted = uwagi_;
    uporzadkuj(sorted);
    return sorted;
}

Wynik<QList<Uwaga>> sprawdzZestaw(QIODevice& set, qint64 count, const QString& folder)
{
    Sprawdzenie check(folder);
    for (qint64 n = 1; n <= count; ++n) {
        const Wynik<rekord> read = zestaw::czytaj(set, n);
        if (!read)
            return read.error();
        check.dodaj(*read, int(n));
    }
    return check.uwagi();
}

Wynik<QList<Uwaga>> sprawdzZestaw(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Blad{Blad::Rodzaj::Otwarcie, file.errorString()};
    return sprawdzZestaw(file, zestaw::liczbaRekordow(file.size()), QFileInfo(path).absolutePath());
}

bool zaczynaZnacznik(QStringView text, qsizetype at)
{
    const qsizetype n = text.size();
    auto at_ = [&](qsizetype i) { return i < n ? text.at(i) : QChar(); };
    if (at_(at) != QLatin1Char('<'))
        return false;
    if (text.mid(at).startsWith(u"<!--"))
        return text.indexOf(u"-->", at + 4) >= 0;
    const QChar next = at_(at + 1);
    const bool tag = isAsciiLetter(next) || next == QLatin1Char('!') || next == QLatin1Char('?') ||
                     (next == QLatin1Char('/') && isAsciiLetter(at_(at + 2)));
    if (!tag)
        return false;
    // A tag that never closes swallows the rest of the text; count it as lone too.
    for (qsizetype i = at + 1; i < n; ++i) {
        if (text.at(i) == QLatin1Char('>'))
            return true;
        if (text.at(i) == QLatin1Char('<'))
            return false;
    }
    return false;
}

bool zaczynaEncje(QStringView text, qsizetype at)
{
    const qsizetype n = text.size();
    if (at >= n || text.at(at) != QLatin1Char('&'))
        return false;
    qsizetype i = at + 1;
    if (i < n && text.at(i) == QLatin1Char('#')) {
        ++i;
        const bool hex = i < n && (text.at(i) == QLatin1Char('x') || text.at(i) == QLatin1Char('X'));
        if (hex)
            ++i;
        const qsizetype digits = i;
        while (i < n && (hex ? isHexDigit(text.at(i)) : isAsciiDigit(text.at(i))))
            ++i;
        return i > digits && i < n && text.at(i) == QLatin1Char(';');
    }
    if (i >= n || !isAsciiLetter(text.at(i)))
        return false;
    while (i < n && (isAsciiLetter(text.at(i)) || isAsciiDigit(text.at(i))))
        ++i;
    return i < n && text.at(i) == QLatin1Char(';');
}

} // namespace sprawdzenie
