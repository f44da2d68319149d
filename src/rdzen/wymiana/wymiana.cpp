#include "wymiana.h"

#include "codepage.h"
#include "pytanieobce.h"
#include "setfile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QUrl>

#include <array>
#include <cmath>

namespace wymiana {

using namespace detail;

namespace {

// A zero byte would end the text in its field: it counts as outside.
bool wKodzie(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() == 0 || !cp1250::zawiera(c.unicode()))
            return false;
    return true;
}

// A text quoted in a report line, its start only when long.
QString cytat(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    return QStringLiteral("„%1”").arg(text.size() > 60 ? text.left(60) + QStringLiteral("…") : text);
}

// Quoted texts, the first few of them; `more` counts further ones not in the list.
QString wyliczenie(const QStringList& texts, qsizetype more = 0)
{
    QStringList quoted;
    for (qsizetype i = 0; i < std::min<qsizetype>(texts.size(), 5); ++i)
        quoted << cytat(texts.at(i));
    QString all = quoted.join(QStringLiteral(", "));
    more += texts.size() - quoted.size();
    if (more > 0)
        all += QStringLiteral(" i %1 innych").arg(more);
    return all;
}

QString niePrzeniesiono(const QString& nazwa)
{
    return QStringLiteral("Plik „%1” nie jest zestawem pytań ani plikiem pytań w formacie Moodle XML, "
                          "GIFT lub Aiken.")
        .arg(nazwa);
}

QString zlyZestaw(const QString& nazwa, qint64 n)
{
    return QStringLiteral("Plik „%1” nie jest zestawem pytań, który edytor umie pokazać: pytanie nr %2 "
                          "ma niewłaściwe oznaczenia odpowiedzi.")
        .arg(nazwa)
        .arg(n);
}

// The first record (from 1) that the editor would refuse, 0 when there is none, -1 when the
// device cannot be read. Whole records only, read in pieces: a set may be larger than memory.
qint64 pierwszyZly(QIODevice& device, qint64 records, QString& error)
{
    constexpr qint64 perPiece = 800;
    if (!device.seek(0)) {
        error = device.errorString();
        return -1;
    }
    for (qint64 n = 0; n < records;) {
        const qint64 take = std::min(perPiece, records - n);
        const QByteArray piece = device.read(take * rekord::size);
        if (piece.size() != take * rekord::size) {
            error = device.errorString();
            return -1;
        }
        for (qint64 i = 0; i < take; ++i)
            if (!edytorPokaze(rekord::decode(
                    QByteArray::fromRawData(piece.constData() + i * rekord::size, rekord::size))))
                return n + i + 1;
        n += take;
    }
    return 0;
}

QString tekstPliku(const QByteArray& bytes)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(view);
    if (utf8.hasError())
        text = cp1250::decode(view.toByteArray());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

WynikImportu odmowa(const QString& error, const QStringList& raport = {})
{
    WynikImportu w;
    w.error = error;
    w.raport = raport;
    return w;
}

WynikImportu wczytajTekst(const QString& text, const QString& nazwa, const QString& folder)
{
    Zbieracz zb(folder);
    Format format;
    QString blad;
    const QString poczatek = text.trimmed().left(1);
    if (poczatek == QLatin1String("<")) {
        format = Format::MoodleXml;
        blad = czytajMoodle(text, zb);
        if (blad == nieQuiz)
            return odmowa(niePrzeniesiono(nazwa));
        if (!blad.isEmpty())
            return odmowa(
                QStringLiteral("Plik „%1” nie jest poprawnym plikiem Moodle XML: %2.").arg(nazwa, blad));
    } else {
        bool aiken = false;
        if (wygladaNaAiken(text)) {
            czytajAiken(text, zb);
            aiken = !zb.pytania.isEmpty() || !text.contains(QLatin1Char('{'));
        }
        if (aiken) {
            format = Format::Aiken;
        } else if (text.contains(QLatin1Char('{'))) {
            format = Format::Gift;
            zb = Zbieracz(folder);
            blad = czytajGift(text, zb);
            if (!blad.isEmpty())
                return odmowa(
                    QStringLiteral("Plik „%1” nie jest poprawnym plikiem GIFT: %2.").arg(nazwa, blad));
        } else {
            return odmowa(niePrzeniesiono(nazwa));
        }
    }
    if (zb.pelny())
        return odmowa(QStringLiteral("Plik „%1” ma więcej niż %2 pytań; podziel go na mniejsze pliki.")
                          .arg(nazwa)
                          .arg(limitPytan));
    if (zb.pytania.isEmpty())
        return odmowa(QStringLiteral("W pliku „%1” nie ma pytań, które zestaw może przyjąć.").arg(nazwa),
                      zb.raport());
    WynikImportu w;
    w.ok = true;
    w.format = format;
    w.raport = zb.raport();
    w.pytania = std::move(zb.pytania);
    w.rysunki = std::move(zb.rysunki);
    w.folderZestawu = folder;
    return w;
}

WynikImportu wczytajZUrzadzenia(QIODevice& device, const QString& nazwa, const QString& folder)
{
    const qint64 size = device.size();
    if (size == 0) {
        WynikImportu w;
        w.ok = true;
        w.raport = {QStringLiteral("Przeniesiono pytań: 0 z 0.")};
        w.folderZestawu = folder;
        return w;
    }
    const qint64 records = zestaw::pelneRekordy(size);
    QString error;
    const qint64 bad = pierwszyZly(device, records, error);
    if (bad < 0)
        return odmowa(QStringLiteral("Nie można odczytać pliku „%1”: %2.").arg(nazwa, error));
    if (records > 0 && bad == 0) {
        WynikImportu w;
        w.ok = true;
        w.rekordy = records;
        w.raport = {QStringLiteral("Przeniesiono pytań: %1 z %1.").arg(records)};
        w.folderZestawu = folder;
        return w;
    }
    if (size > limitTekstu)
        return odmowa(bad > 1
                          ? zlyZestaw(nazwa, bad)
                          : QStringLiteral("Plik „%1” nie jest zestawem pytań, a na plik pytań w formacie "
                                           "Moodle XML, GIFT lub Aiken jest za duży (ponad %2 MB).")
                                .arg(nazwa)
                                .arg(limitTekstu / (1024 * 1024)));
    if (!device.seek(0))
        return odmowa(QStringLiteral("Nie można odczytać pliku „%1”: %2.").arg(nazwa, device.errorString()));
    const QByteArray bytes = device.read(size);
    if (bytes.size() != size)
        return odmowa(QStringLiteral("Nie można odczytać pliku „%1”: %2.").arg(nazwa, device.errorString()));
    // Text never holds a zero byte, and every record the editor shows holds one in its marks.
    if (bytes.contains('\0'))
        return odmowa(bad > 1 ? zlyZestaw(nazwa, bad) : niePrzeniesiono(nazwa));
    return wczytajTekst(tekstPliku(bytes), nazwa, folder);
}

} // namespace

bool edytorPokaze(const rekord& r)
{
    if (r.typ == 1 || r.typ == 2)
        return true;
    for (int k = 1; k <= 5; ++k)
        if (r.poprawna(k) < 0 || r.poprawna(k) > 2)
            return false;
    return true;
}

WynikImportu wczytajPytania(QIODevice& device, const QString& nazwa, const QString& folderZestawu)
{
    if (!device.isSequential())
        return wczytajZUrzadzenia(device, nazwa, folderZestawu);
    // A stream cannot be read twice: what fits the text limit is taken into memory.
    QByteArray bytes;
    while (bytes.size() <= limitTekstu) {
        const QByteArray piece = device.read(limitTekstu + 1 - bytes.size());
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return wczytajZUrzadzenia(buffer, nazwa, folderZestawu);
}

WynikImportu wczytajPytania(const QString& path, const QString& folderZestawu)
{
    QFile file(path);
    const QString nazwa = QFileInfo(path).fileName();
    if (!file.open(QIODevice::ReadOnly))
        return odmowa(QStringLiteral("Nie można otworzyć pliku „%1”: %2.").arg(nazwa, file.errorString()));
    return wczytajPytania(file, nazwa, folderZestawu);
}

WynikRysunkow zapiszRysunki(WynikImportu& wynik)
{
    WynikRysunkow result;
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
            ++result.zapisane;
            continue;
        }
        const QString why = file.errorString();
        if (result.error.isEmpty())
            result.error = QStringLiteral("Nie udało się zapisać rysunku „%1”: %2.").arg(rys.nazwa, why);
        for (rekord& r : wynik.pytania)
            if (tekst(r.rysunek) == rys.nazwa)
                ustawTekst(r.rysunek, QString());
        wynik.raport
            << QStringLiteral("Rysunku „%1” nie zapisano (%2); pytania są bez niego.").arg(rys.nazwa, why);
    }
    wynik.rysunki.clear();
    result.ok = result.error.isEmpty();
    return result;
}

WynikEksportu eksportuj(const QList<rekord>& pytania, Format format, const QString& folderZestawu,
                        const QString& path)
{
    WynikEksportu w;
    if (format == Format::MoodleXml)
        w = moodleXml(pytania, folderZestawu);
    else if (format == Format::Gift)
        w = gift(pytania);
    else {
        w.error = QStringLiteral("Zestaw można zapisać tylko w formacie Moodle XML albo GIFT.");
        return w;
    }
    w.ok = false;
    const QString nazwa = QFileInfo(path).fileName();
    if (w.zapisane == 0) {
        w.error = QStringLiteral("Żadnego pytania zestawu nie da się zapisać w tym formacie; plik „%1” "
                                 "nie powstał.")
                      .arg(nazwa);
        return w;
    }
    QSaveFile file(path);
    // Unbuffered: a short write (disk full, a size limit) shows in write's result, while a
    // buffered flush inside commit() could pass it over and report success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(w.bajty) != w.bajty.size() ||
        !file.commit()) {
        w.error = QStringLiteral("Nie udało się zapisać pliku „%1”: %2.").arg(nazwa, file.errorString());
        return w;
    }
    w.ok = true;
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
    // Blank answers are dropped, as Moodle drops them.
    QList<Odpowiedz> odp;
    double best = 0;
    for (Odpowiedz& o : p.odpowiedzi) {
        o.tekst = zPliku(o.tekst);
        if (o.tekst.isEmpty())
            continue;
        odp.append(o);
        best = std::max(best, o.ulamek);
    }
    if (best <= 0) {
        pomin(numer, QStringLiteral("nie ma poprawnej odpowiedzi"));
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
        ustawTekst(r.odp1, pole(numer, wzor, false, 150, QStringLiteral("odpowiedź wzorcowa")));
        for (int k = 2; k <= 5; ++k)
            ustawTekst(r.odp(k), QString());
        r.poprawna1 = 1;
        r.typ = 2;
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
            ustawTekst(r.odp(k),
                       is ? pole(numer, odp.at(k - 1).tekst, true, 150, QStringLiteral("odpowiedź %1").arg(k))
                          : QString());
            r.poprawna(k) = is && right.at(k - 1) ? (p.jednokrotny ? -1 : 1) : 0;
        }
        r.typ = p.jednokrotny ? 1 : 0;
    }
    for (const auto& [nazwa, powod] : std::as_const(p.bezRysunku))
        uwaga(numer, QStringLiteral("rysunku %1 nie przeniesiono: %2").arg(cytat(nazwa), powod));
    ustawTekst(r.rysunek, p.rysunek.isEmpty() ? QString() : rysunek(numer, p.rysunek, p.daneRysunku));
    pytania.append(r);
}

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
    PytanieEksportu q;
    q.tekst = doPliku(tekst(r.pytanie));
    q.nazwa = nazwaPytania(numer, q.tekst);
    q.rysunek = tekst(r.rysunek);
    if (r.typ == 2) {
        const QString wzor = doPliku(tekst(r.odp1));
        if (wzor.isEmpty())
            return pomin(QStringLiteral("odpowiedź wzorcowa jest pusta"));
        q.krotka = true;
        q.punkty = 2;
        q.odpowiedzi = {{wzor, 100}};
        return q;
    }
    if (r.typ != 0 && r.typ != 1)
        return pomin(QStringLiteral("ma nieznany typ %1, strona testu go nie pyta").arg(r.typ));
    q.jednokrotny = r.typ == 1;
    q.punkty = q.jednokrotny ? 1 : 4;
    // As the page scores: the last answer marked -1 is the right one.
    int selected = 0;
    for (int k = 1; k <= 5; ++k)
        if (r.poprawna(k) == -1)
            selected = k;
    QList<bool> right;
    for (int k = 1; k <= 4; ++k) {
        const QString t = doPliku(tekst(r.odp(k)));
        if (t.isEmpty())
            continue;
        if (!q.jednokrotny && r.poprawna(k) != 0 && r.poprawna(k) != 1)
            raport << QStringLiteral("Pytanie nr %1: odpowiedź %2 ma oznaczenie %3, zapisano ją jako błędną.")
                          .arg(numer)
                          .arg(k)
                          .arg(r.poprawna(k));
        q.odpowiedzi.append({t, 0});
        right << (q.jednokrotny ? k == selected : r.poprawna(k) == 1);
    }
    if (const QString piata = tekst(r.odp5); !piata.isEmpty())
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

QString html(QString plain)
{
    return plain.replace(QLatin1Char('&'), QStringLiteral("&amp;"))
        .replace(QLatin1Char('<'), QStringLiteral("&lt;"))
        .replace(QLatin1Char('>'), QStringLiteral("&gt;"));
}

QString ulamek(double value)
{
    if (std::abs(value - std::round(value)) < 1e-9)
        return QString::number(qint64(std::round(value)));
    QString s = QString::number(value, 'f', 5);
    while (s.endsWith(QLatin1Char('0')))
        s.chop(1);
    return s;
}

QString zPliku(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.trimmed().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

QString bezAkapitu(const QString& text)
{
    const QString t = text.trimmed();
    if (!(t.startsWith(QLatin1String("<p>"), Qt::CaseInsensitive) ||
          t.startsWith(QLatin1String("<p "), Qt::CaseInsensitive)) ||
        !t.endsWith(QLatin1String("</p>"), Qt::CaseInsensitive))
        return text;
    const qsizetype open = t.indexOf(QLatin1Char('>')) + 1;
    const QString inner = t.mid(open, t.size() - open - 4);
    if (open > t.size() - 4 || inner.contains(QLatin1String("<p"), Qt::CaseInsensitive) ||
        inner.contains(QLatin1String("</p"), Qt::CaseInsensitive))
        return text;
    return inner;
}

QStringList wyjmijRysunki(QString& text)
{
    static const QString plugin = QStringLiteral("@@PLUGINFILE@@/");
    if (!text.contains(plugin))
        return {};
    // Built anew rather than cut in place, so that many pictures cost no more than one.
    QStringList names;
    QString out;
    qsizetype from = 0;
    for (qsizetype i; (i = text.indexOf(QLatin1String("<img"), from, Qt::CaseInsensitive)) >= 0;) {
        const qsizetype end = text.indexOf(QLatin1Char('>'), i);
        if (end < 0)
            break;
        const QStringView tag = QStringView(text).mid(i, end + 1 - i);
        const qsizetype at = tag.indexOf(plugin);
        out += QStringView(text).mid(from, i - from);
        from = end + 1;
        if (at < 0) {
            out += tag;
            continue;
        }
        qsizetype stop = at + plugin.size();
        while (stop < tag.size() && !QStringLiteral("\"' >?#").contains(tag.at(stop)))
            ++stop;
        names << QUrl::fromPercentEncoding(tag.mid(at + plugin.size(), stop - at - plugin.size()).toUtf8());
        // A line break written just before the picture goes with it.
        qsizetype keep = out.size();
        while (keep > 0 && out.at(keep - 1).isSpace())
            --keep;
        for (const auto& br : {QLatin1String("<br>"), QLatin1String("<br/>"), QLatin1String("<br />")}) {
            if (keep >= br.size() &&
                QStringView(out).mid(keep - br.size()).compare(br, Qt::CaseInsensitive) == 0) {
                out.truncate(keep - br.size());
                break;
            }
        }
    }
    out += QStringView(text).mid(from);
    text = out;
    if (!names.isEmpty())
        text.remove(QStringLiteral("<p></p>"));
    return names;
}

} // namespace detail

} // namespace wymiana
