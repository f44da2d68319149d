#include "eksport.h"
#include "reguly.h"
#include "teksty.h"
#include "wymiana.h"
#include "zapis.h"

#include <QFileInfo>

namespace wymiana {

using namespace detail;

Wynik<Eksport> eksportuj(const QList<rekord>& pytania, Format format, const QString& folderZestawu,
                         const QString& path)
{
    Eksport w;
    if (format == Format::MoodleXml)
        w = moodleXml(pytania, folderZestawu);
    else if (format == Format::Gift)
        w = gift(pytania);
    else
        return Blad{Blad::Rodzaj::Format,
                    QStringLiteral("Zestaw można zapisać tylko w formacie Moodle XML albo GIFT.")};
    const QString nazwa = QFileInfo(path).fileName();
    if (w.zapisane == 0)
        return Blad{Blad::Rodzaj::ZleDane,
                    QStringLiteral("Żadnego pytania zestawu nie da się zapisać w tym formacie; plik „%1” "
                                   "nie powstał.")
                        .arg(nazwa)};
    if (const Wynik<void> saved = io::zapiszBezpiecznie(path, w.bajty); !saved)
        return Blad{
            saved.error().rodzaj,
            QStringLiteral("Nie udało się zapisać pliku „%1”: %2.").arg(nazwa, saved.error().szczegol)};
    return w;
}

std::optional<Format> formatEksportu(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("xml"))
        return Format::MoodleXml;
    if (suffix == QLatin1String("gift") || suffix == QLatin1String("txt"))
        return Format::Gift;
    return std::nullopt;
}

namespace detail {

namespace {

QString doPliku(QString stored)
{
    stored.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // XML holds no control characters but the tab and the line break; neither format needs them.
    stored.removeIf(
        [](QChar c) { return c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n'); });
    return stored;
}

// "3. Ile to 2+2?": the number and the start of the text without markup.
QString nazwaPytania(int numer, const QString& tekstHtml)
{
    QString plain;
    bool inTag = false;
    for (QChar c : tekstHtml) {
        if (c == QLatin1Char('<'))
            inTag = true;
        else if (c == QLatin1Char('>'))
            inTag = false;
        else if (!inTag)
            plain += c;
    }
    plain.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "))
        .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return QStringLiteral("%1. %2").arg(numer).arg(plain.simplified()).left(40).trimmed();
}

} // namespace

std::optional<PytanieEksportu> doEksportu(int numer, const rekord& r, QStringList& raport)
{
    auto pomin = [&](const QString& powod) {
        raport << QStringLiteral("Pytanie nr %1 pominięte: %2.").arg(numer).arg(powod);
        return std::nullopt;
    };
    const Pytanie p = Pytanie::zRekordu(r);
    PytanieEksportu q;
    q.tekst = doPliku(p.tresc);
    q.nazwa = nazwaPytania(numer, q.tekst);
    q.rysunek = p.rysunek;
    if (p.typ == Pytanie::Typ::Tekst) {
        const QString wzor = doPliku(p.wzor());
        if (wzor.isEmpty())
            return pomin(QStringLiteral("odpowiedź wzorcowa jest pusta"));
        q.krotka = true;
        q.punkty = 2;
        q.odpowiedzi = {{wzor, 100}};
        return q;
    }
    if (p.typ == Pytanie::Typ::Nieznany)
        return pomin(QStringLiteral("ma nieznany typ %1, strona testu go nie pyta").arg(p.kodTypu()));
    q.jednokrotny = p.typ == Pytanie::Typ::Opcja;
    q.punkty = q.jednokrotny ? 1 : 4;
    const std::array<bool, 5> prawidlowe = reguly::prawidlowe(p);
    QList<bool> right;
    for (int k = 0; k < reguly::odpowiedziNaStronie; ++k) {
        const QString t = doPliku(p.odpowiedzi[size_t(k)]);
        if (t.isEmpty())
            continue;
        const qint16 mark = p.znaczniki[size_t(k)];
        if (!q.jednokrotny && !reguly::zgodnyStan(mark, true) && !reguly::zgodnyStan(mark, false))
            raport << QStringLiteral("Pytanie nr %1: odpowiedź %2 ma oznaczenie %3, zapisano ją jako błędną.")
                          .arg(numer)
                          .arg(k + 1)
                          .arg(mark);
        q.odpowiedzi.append({t, 0});
        right << prawidlowe[size_t(k)];
    }
    if (const QString piata = p.odpowiedzi[4]; !piata.isEmpty())
        raport << QStringLiteral("Pytanie nr %1: piątej odpowiedzi („%2”) nie zapisano, strona testu jej nie "
                                 "pokazuje.")
                      .arg(numer)
                      .arg(piata);
    if (q.odpowiedzi.size() < 2)
        return pomin(QStringLiteral("ma mniej niż dwie niepuste odpowiedzi"));
    const auto n = right.count(true);
    if (n == 0)
        return pomin(QStringLiteral("nie ma poprawnej odpowiedzi wśród odpowiedzi 1–4"));
    // Moodle wants the right answers to sum to 100 %; the wrong ones take as much away.
    const auto wrong = q.odpowiedzi.size() - n;
    for (qsizetype i = 0; i < q.odpowiedzi.size(); ++i)
        q.odpowiedzi[i].ulamek =
            right.at(i) ? 100.0 / double(n) : (q.jednokrotny ? 0 : -100.0 / double(wrong));
    return q;
}

QString podsumowanieEksportu(int zapisane, qsizetype wszystkie)
{
    return QStringLiteral("Zapisano pytań: %1 z %2.").arg(zapisane).arg(wszystkie);
}

} // namespace detail

} // namespace wymiana
