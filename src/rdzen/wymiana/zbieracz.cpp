#include "zbieracz.h"

#include "codepage.h"
#include "pytanie.h"
#include "teksty.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace wymiana {

Wynik<int> zapiszRysunki(WynikImportu& wynik)
{
    int zapisane = 0;
    QString error;
    const QDir dir(wynik.folderZestawu);
    for (const Rysunek& rys : std::as_const(wynik.rysunki)) {
        const QString path = dir.filePath(rys.nazwa);
        QFile file(path);
        // NewOnly: never over a file that appeared since the import looked.
        bool written = file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered);
        if (written && file.write(rys.dane) != rys.dane.size()) {
            written = false;
            file.close();
            QFile::remove(path);
        }
        if (written) {
            ++zapisane;
            continue;
        }
        const QString why = file.errorString();
        if (error.isEmpty())
            error = QStringLiteral("Nie udało się zapisać rysunku „%1”: %2.").arg(rys.nazwa, why);
        for (rekord& r : wynik.pytania)
            if (tekst(r.rysunek) == rys.nazwa)
                ustawTekst(r.rysunek, QString());
        wynik.raport
            << QStringLiteral("Rysunku „%1” nie zapisano (%2); pytania są bez niego.").arg(rys.nazwa, why);
    }
    wynik.rysunki.clear();
    if (!error.isEmpty())
        return Blad{Blad::Rodzaj::Zapis, error};
    return zapisane;
}

namespace detail {

bool Zbieracz::nastepny(int& numer)
{
    if (pelny())
        return false;
    numer = ++liczba_;
    return !pelny();
}

void Zbieracz::linia(const QString& text)
{
    if (lines_.size() < limitRaportu)
        lines_ << text;
    else
        ++dropped_;
}

void Zbieracz::pomin(int numer, const QString& powod)
{
    linia(QStringLiteral("Pytanie nr %1 pominięte: %2.").arg(numer).arg(powod));
}

void Zbieracz::uwaga(int numer, const QString& tekst)
{
    linia(QStringLiteral("Pytanie nr %1: %2.").arg(numer).arg(tekst));
}

QStringList Zbieracz::raport() const
{
    QStringList all{QStringLiteral("Przeniesiono pytań: %1 z %2.")
                        .arg(pytania.size())
                        .arg(std::min(liczba_, limitPytan))};
    all += lines_;
    if (dropped_ > 0)
        all << QStringLiteral("… oraz %1 dalszych uwag.").arg(dropped_);
    return all;
}

QString Zbieracz::pole(int numer, const QString& text, bool html, int width, const QString& co)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text.at(i).unicode();
        if (c == 0)
            continue;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        if (cp1250::zawiera(c)) {
            out += QChar(char16_t(c));
            continue;
        }
        // The page shows HTML, so there the character survives as a reference.
        const QString zamiast = html ? QStringLiteral("&#%1;").arg(uint(c)) : QStringLiteral("?");
        if (!reported_.contains(c)) {
            reported_.insert(c);
            const bool printable = !QChar::isSurrogate(c) && QChar::isPrint(c);
            uwaga(numer,
                  QStringLiteral("znaku %1U+%2 nie ma w Windows-1250, zapisano go jako „%3”")
                      .arg(printable ? QStringLiteral("„%1” (").arg(QString::fromUcs4(&c, 1)) : QString(),
                           QString::number(uint(c), 16).toUpper().rightJustified(4, QLatin1Char('0')) +
                               (printable ? QStringLiteral(")") : QString()),
                           zamiast));
        }
        out += zamiast;
    }
    if (out.size() > width) {
        uwaga(numer, QStringLiteral("%1 skrócona do %2 znaków (było %3)").arg(co).arg(width).arg(out.size()));
        out.truncate(width);
        out = out.trimmed();
    }
    return out;
}

QString Zbieracz::rysunek(int numer, QString nazwa, const QByteArray& dane)
{
    static const QStringList rozszerzenia = {
        QStringLiteral("png"), QStringLiteral("jpg"),  QStringLiteral("jpeg"), QStringLiteral("gif"),
        QStringLiteral("bmp"), QStringLiteral("webp"), QStringLiteral("svg")};
    QString powod;
    const QString zle = QStringLiteral("*?\"<>|:");
    bool zleZnaki = nazwa.isEmpty() || nazwa != nazwa.trimmed() || !wKodzie(nazwa);
    for (QChar c : nazwa)
        zleZnaki = zleZnaki || c.unicode() < 0x20 || zle.contains(c);
    if (nazwa.contains(QLatin1Char('/')) || nazwa.contains(QLatin1Char('\\')) ||
        nazwa == QLatin1String(".") || nazwa == QLatin1String("..") || QDir::isAbsolutePath(nazwa))
        powod = QStringLiteral("nazwa wskazuje poza folder zestawu");
    else if (zleZnaki)
        powod = QStringLiteral("nazwa nie nadaje się na nazwę pliku w zestawie");
    else if (!rozszerzenia.contains(QFileInfo(nazwa).suffix().toLower()))
        powod = QStringLiteral("to nie jest plik rysunku");
    if (powod.isEmpty() && nazwa.size() > 100) {
        const QString suffix = QLatin1Char('.') + QFileInfo(nazwa).suffix();
        nazwa = nazwa.left(100 - suffix.size()).trimmed() + suffix;
        uwaga(numer, QStringLiteral("nazwa rysunku skrócona do 100 znaków: %1").arg(cytat(nazwa)));
    }
    if (powod.isEmpty()) {
        if (const auto it = byName_.constFind(nazwa); it != byName_.constEnd()) {
            if (rysunki.at(*it).dane == dane)
                return nazwa;
            powod = QStringLiteral("inny rysunek o tej nazwie jest już w tym pliku");
        }
    }
    if (powod.isEmpty()) {
        const QFileInfo there(QDir(folder_).filePath(nazwa));
        if (there.exists() || there.isSymLink()) {
            QFile file(there.filePath());
            if (there.isFile() && there.size() == dane.size() && file.open(QIODevice::ReadOnly) &&
                file.readAll() == dane)
                return nazwa; // the same picture is there already, from an earlier import
            powod = QStringLiteral("w folderze zestawu jest już inny plik o tej nazwie");
        }
    }
    if (!powod.isEmpty()) {
        uwaga(numer, QStringLiteral("rysunku %1 nie przeniesiono: %2").arg(cytat(nazwa), powod));
        return QString();
    }
    byName_.insert(nazwa, rysunki.size());
    rysunki.append({nazwa, dane});
    return nazwa;
}

void Zbieracz::dodaj(int numer, PytanieObce p)
{
    using R = PytanieObce::Rodzaj;
    reported_.clear();
    if (p.rodzaj == R::Inny) {
        pomin(numer, QStringLiteral("zestaw nie ma pytań typu %1").arg(cytat(p.opisRodzaju)));
        return;
    }
    if (p.rodzaj == R::PrawdaFalsz) {
        p.odpowiedzi = {{QStringLiteral("Prawda"), p.prawda ? 100.0 : 0.0},
                        {QStringLiteral("Fałsz"), p.prawda ? 0.0 : 100.0}};
        p.rodzaj = R::Wybor;
        p.jednokrotny = true;
    }
    // A sound, a document or a link to an embedded file would be missing from the page, and the
    // question cannot be answered without it.
    QStringList pliki = odwolaniaDoPlikow(p.tekst);
    for (const Odpowiedz& o : std::as_const(p.odpowiedzi))
        pliki += odwolaniaDoPlikow(o.tekst);
    if (!pliki.isEmpty()) {
        pomin(numer,
              (pliki.size() == 1 ? QStringLiteral("odwołuje się do pliku, którego zestaw nie przenosi "
                                                  "(dźwięku, dokumentu lub odnośnika): %1")
                                 : QStringLiteral("odwołuje się do plików, których zestaw nie przenosi "
                                                  "(dźwięków, dokumentów lub odnośników): %1"))
                  .arg(wyliczenie(pliki)));
        return;
    }
    // Blank answers are dropped, as Moodle drops them.
    QList<Odpowiedz> odp;
    double best = 0;
    for (Odpowiedz& o : p.odpowiedzi) {
        o.tekst = zPliku(bezKoncowychBr(o.tekst));
        if (o.tekst.isEmpty())
            continue;
        odp.append(o);
        best = std::max(best, o.ulamek);
    }
    if (best <= 0) {
        pomin(numer, QStringLiteral("nie ma poprawnej odpowiedzi"));
        return;
    }
    if (p.rodzaj == R::Wybor && odp.size() < 2) {
        pomin(numer, QStringLiteral("ma mniej niż dwie niepuste odpowiedzi"));
        return;
    }
    qsizetype first = 0;
    while (odp.at(first).ulamek != best)
        ++first;
    rekord r;
    if (p.rodzaj == R::Krotka) {
        QString wzor = odp.at(first).tekst;
        // Moodle reads * as any text and \* as a star; the page compares the text as it is.
        if (wzor.remove(QStringLiteral("\\*")).contains(QLatin1Char('*'))) {
            pomin(numer, QStringLiteral("odpowiedź wzorcowa %1 ma znak * (dowolny tekst), którego strona "
                                        "testu nie zna")
                             .arg(cytat(odp.at(first).tekst)));
            return;
        }
        ustawTekst(r.pytanie, pole(numer, zPliku(p.tekst), true, 300, QStringLiteral("treść pytania")));
        wzor = odp.at(first).tekst;
        wzor.replace(QStringLiteral("\\*"), QStringLiteral("*"));
        // Cut to its field, an answer could end in a line break again.
        ustawTekst(r.odp1,
                   bezKoncowychBr(pole(numer, wzor, false, 150, QStringLiteral("odpowiedź wzorcowa"))));
        for (int k = 2; k <= 5; ++k)
            ustawTekst(r.odp(k), QString());
        r.poprawna1 = 1;
        r.typ = kodTypu(Pytanie::Typ::Tekst);
        QStringList inne;
        for (qsizetype i = 0; i < odp.size(); ++i)
            if (i != first && odp.at(i).ulamek > 0)
                inne << odp.at(i).tekst;
        if (!inne.isEmpty())
            uwaga(numer, QStringLiteral("pominięto inne przyjmowane odpowiedzi: %1").arg(wyliczenie(inne)));
    } else {
        ustawTekst(r.pytanie, pole(numer, zPliku(p.tekst), true, 300, QStringLiteral("treść pytania")));
        QList<bool> right;
        for (qsizetype i = 0; i < odp.size(); ++i)
            right << (p.jednokrotny ? i == first : odp.at(i).ulamek > 0);
        if (p.jednokrotny) {
            bool several = false, partial = false;
            for (qsizetype i = first + 1; i < odp.size(); ++i)
                several = several || odp.at(i).ulamek == best;
            for (const Odpowiedz& o : std::as_const(odp))
                partial = partial || (o.ulamek > 0 && o.ulamek < best);
            if (several)
                uwaga(numer, QStringLiteral("kilka odpowiedzi ma pełną punktację, za poprawną przyjęto "
                                            "odpowiedź %1")
                                 .arg(first + 1));
            if (partial)
                uwaga(numer, QStringLiteral("odpowiedzi z częściową punktacją liczą się jako błędne"));
        }
        // The page shows four answers: a right one further down takes the place of a wrong one.
        for (qsizetype i = 4; i < odp.size(); ++i) {
            if (!right.at(i))
                continue;
            qsizetype j = 3;
            while (j >= 0 && right.at(j))
                --j;
            if (j < 0)
                break;
            std::swap(odp[i], odp[j]);
            std::swap(right[i], right[j]);
            uwaga(numer, QStringLiteral("poprawną odpowiedź %1 przeniesiono na miejsce %2, bo strona testu "
                                        "pokazuje cztery odpowiedzi")
                             .arg(i + 1)
                             .arg(j + 1));
        }
        if (odp.size() > 5 || p.nadmiar > 0) {
            QStringList rest;
            for (qsizetype i = 5; i < odp.size(); ++i)
                rest << odp.at(i).tekst;
            uwaga(numer, QStringLiteral("pominięto odpowiedzi ponad pięć, których zestaw nie mieści: %1")
                             .arg(wyliczenie(rest, p.nadmiar)));
        }
        if (odp.size() >= 5)
            uwaga(numer,
                  QStringLiteral("piąta odpowiedź (%1) jest w zestawie, ale strona testu jej nie pokaże")
                      .arg(cytat(odp.at(4).tekst)));
        for (int k = 1; k <= 5; ++k) {
            const bool is = k <= odp.size();
            ustawTekst(r.odp(k), is ? bezKoncowychBr(pole(numer, odp.at(k - 1).tekst, true, 150,
                                                          QStringLiteral("odpowiedź %1").arg(k)))
                                    : QString());
            r.poprawna(k) = is && right.at(k - 1) ? (p.jednokrotny ? -1 : 1) : 0;
        }
        r.typ = kodTypu(p.jednokrotny ? Pytanie::Typ::Opcja : Pytanie::Typ::Wybor);
    }
    for (const auto& [nazwa, powod] : std::as_const(p.bezRysunku))
        uwaga(numer, QStringLiteral("rysunku %1 nie przeniesiono: %2").arg(cytat(nazwa), powod));
    ustawTekst(r.rysunek, p.rysunek.isEmpty() ? QString() : rysunek(numer, p.rysunek, p.daneRysunku));
    pytania.append(r);
}

} // namespace detail

} // namespace wymiana
