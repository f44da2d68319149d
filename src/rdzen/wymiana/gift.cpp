#include "eksport.h"
#include "teksty.h"
#include "zbieracz.h"

#include <cmath>

// GIFT: questions separated by blank lines, "::name::", an optional [format], the text and one
// answer block in braces: {=right ~wrong}, {~%50%a ~%-50%b}, {=typed}, {T}. The characters
// ~ = # { } : and \ are written with a backslash before them, a line break as \n.
namespace wymiana::detail {

namespace {

const QString specjalne = QStringLiteral("~=#{}:\\");
// While the structure is read, escaped characters stand aside as U+E000.. (U+E007 a line
// break), so that only unescaped ones take part in it.
constexpr char16_t ukryty = 0xE000;
constexpr char16_t ukrytaLinia = ukryty + 7;

QString ukryj(const QString& raw)
{
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c.unicode() >= ukryty && c.unicode() <= ukrytaLinia) {
            out += QChar(QChar::ReplacementCharacter);
            continue;
        }
        if (c == QLatin1Char('\\') && i + 1 < raw.size()) {
            const qsizetype k = specjalne.indexOf(raw.at(i + 1));
            if (k >= 0 || raw.at(i + 1) == QLatin1Char('n')) {
                out += QChar(char16_t(k >= 0 ? ukryty + k : ukrytaLinia));
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QString odkryj(QString s)
{
    for (QChar& c : s) {
        if (c.unicode() == ukrytaLinia)
            c = QLatin1Char('\n');
        else if (c.unicode() >= ukryty && c.unicode() < ukrytaLinia)
            c = specjalne.at(c.unicode() - ukryty);
    }
    return s.trimmed();
}

QString escape(const QString& text)
{
    QString out;
    for (QChar c : text) {
        if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (specjalne.contains(c))
            out += QLatin1Char('\\') + c;
        else
            out += c;
    }
    return out;
}

bool maZnacznik(QString text)
{
    return !bezZnacznikaFormatu(text).isEmpty();
}

// The answer block of question `p`; false when it is not one GIFT knows.
bool odpowiedzi(QString b, PytanieObce& p, bool plain)
{
    using R = PytanieObce::Rodzaj;
    b = b.trimmed();
    if (const qsizetype general = b.indexOf(QLatin1String("####")); general >= 0)
        b = b.left(general).trimmed();
    if (b.isEmpty()) {
        p.opisRodzaju = QStringLiteral("esej");
        return true;
    }
    if (b.startsWith(QLatin1Char('#'))) {
        p.opisRodzaju = QStringLiteral("numeryczne");
        return true;
    }
    const QString head = b.section(QLatin1Char('#'), 0, 0).trimmed().toUpper();
    if (head == QLatin1String("T") || head == QLatin1String("TRUE") || head == QLatin1String("F") ||
        head == QLatin1String("FALSE")) {
        p.rodzaj = R::PrawdaFalsz;
        p.prawda = head.startsWith(QLatin1Char('T'));
        return true;
    }
    if (b.at(0) != QLatin1Char('=') && b.at(0) != QLatin1Char('~'))
        return false;
    bool tilde = false, matching = true;
    QList<std::pair<QChar, QString>> parts;
    for (qsizetype pos = 0; pos < b.size();) {
        qsizetype next = pos + 1;
        while (next < b.size() && b.at(next) != QLatin1Char('=') && b.at(next) != QLatin1Char('~'))
            ++next;
        const QStringView body = QStringView(b).mid(pos + 1, next - pos - 1);
        if (parts.size() < limitOdpowiedzi)
            parts.append({b.at(pos), body.toString()});
        else
            ++p.nadmiar;
        tilde = tilde || b.at(pos) == QLatin1Char('~');
        matching = matching && body.contains(QLatin1String("->"));
        pos = next;
    }
    if (!tilde && matching) {
        p.opisRodzaju = QStringLiteral("dopasowywanie");
        return true;
    }
    p.rodzaj = tilde ? R::Wybor : R::Krotka;
    // As Moodle reads GIFT: an answer marked = makes the question single choice.
    p.jednokrotny = false;
    for (auto [kind, body] : parts) {
        Odpowiedz o;
        o.ulamek = kind == QLatin1Char('=') ? 100 : 0;
        p.jednokrotny = p.jednokrotny || kind == QLatin1Char('=');
        body = body.trimmed();
        if (body.startsWith(QLatin1Char('%'))) {
            const qsizetype end = body.indexOf(QLatin1Char('%'), 1);
            bool ok = false;
            const double weight = end > 0 ? body.mid(1, end - 1).toDouble(&ok) : 0;
            if (ok && std::isfinite(weight)) {
                o.ulamek = weight;
                body = body.mid(end + 1);
            }
        }
        o.tekst = odkryj(body.section(QLatin1Char('#'), 0, 0));
        // An answer without a format of its own has the question's.
        const QString format = bezZnacznikaFormatu(o.tekst);
        if (p.rodzaj == R::Wybor) {
            o.tekst = (format.isEmpty() ? plain : format == QLatin1String("plain")) ? html(o.tekst)
                                                                                    : bezAkapitu(o.tekst);
            for (const QString& name : wyjmijRysunki(o.tekst))
                p.bezRysunku.append({name, QStringLiteral("GIFT nie przenosi rysunków")});
        }
        p.odpowiedzi.append(o);
    }
    return true;
}

// One question; an empty text when it was read, else what is wrong.
QString jedno(const QString& block, int wiersz, Zbieracz& zb)
{
    QString q = block.trimmed();
    if (q.startsWith(QLatin1String("$CATEGORY:")))
        return QString();
    int numer = 0;
    if (!zb.nastepny(numer))
        return QString();
    if (q.startsWith(QLatin1String("::"))) {
        const qsizetype end = q.indexOf(QLatin1String("::"), 2);
        if (end < 0)
            return QStringLiteral("nazwa pytania z wiersza %1 nie jest zamknięta znakami ::").arg(wiersz);
        q = q.mid(end + 2).trimmed();
    }
    const bool plain = bezZnacznikaFormatu(q) == QLatin1String("plain");
    PytanieObce p;
    const qsizetype open = q.indexOf(QLatin1Char('{'));
    if (open < 0) {
        if (q.contains(QLatin1Char('}')))
            return QStringLiteral("nawias } w pytaniu z wiersza %1 nie ma pary").arg(wiersz);
        p.opisRodzaju = QStringLiteral("opis (bez odpowiedzi)");
        zb.dodaj(numer, p);
        return QString();
    }
    const qsizetype close = q.indexOf(QLatin1Char('}'), open + 1);
    const qsizetype again = q.indexOf(QLatin1Char('{'), open + 1);
    if (close < 0 || (again >= 0 && again < close))
        return QStringLiteral("nawias { w pytaniu z wiersza %1 nie jest zamknięty").arg(wiersz);
    const QString after = q.mid(close + 1).trimmed();
    if (after.contains(QLatin1Char('{')) || after.contains(QLatin1Char('}')))
        return QStringLiteral("pytanie z wiersza %1 ma więcej niż jeden blok odpowiedzi").arg(wiersz);
    if (!odpowiedzi(q.mid(open + 1, close - open - 1), p, plain))
        return QStringLiteral("blok odpowiedzi w pytaniu z wiersza %1 nie jest w formacie GIFT").arg(wiersz);
    // A block inside the text is a missing word.
    const QString before = q.left(open).trimmed();
    p.tekst = odkryj(after.isEmpty() ? before : before + QStringLiteral(" _____ ") + after);
    if (plain)
        p.tekst = html(p.tekst);
    // Moodle writes its pictures into GIFT as references without the files.
    const QStringList names = wyjmijRysunki(p.tekst);
    for (const QString& name : names)
        p.bezRysunku.append({name, QStringLiteral("GIFT nie przenosi rysunków")});
    zb.dodaj(numer, p);
    return QString();
}

} // namespace

QString czytajGift(const QString& text, Zbieracz& zb)
{
    const QString hidden = ukryj(QString(text)
                                     .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                     .replace(QLatin1Char('\r'), QLatin1Char('\n')));
    QString block;
    int start = 0, wiersz = 0;
    for (qsizetype from = 0; from <= hidden.size() && !zb.pelny();) {
        qsizetype end = hidden.indexOf(QLatin1Char('\n'), from);
        if (end < 0)
            end = hidden.size();
        const QStringView line = QStringView(hidden).mid(from, end - from);
        from = end + 1;
        ++wiersz;
        const QStringView t = line.trimmed();
        if (t.startsWith(QLatin1String("//")))
            continue;
        if (!t.isEmpty()) {
            if (block.isEmpty())
                start = wiersz;
            else
                block += QLatin1Char('\n');
            block += line;
            if (end < hidden.size())
                continue;
        }
        if (!block.isEmpty()) {
            if (const QString error = jedno(block, start, zb); !error.isEmpty())
                return error;
            block.clear();
        }
    }
    return QString();
}

} // namespace wymiana::detail

namespace wymiana {

Eksport gift(const QList<rekord>& pytania)
{
    using namespace detail;
    Eksport w;
    QStringList uwagi;
    QString out;
    for (qsizetype i = 0; i < pytania.size(); ++i) {
        const int numer = int(i + 1);
        const auto q = doEksportu(numer, pytania.at(i), uwagi);
        if (!q)
            continue;
        // "->" makes Moodle read the block as matching, a leading %50% as a weight, [plain] as a format.
        const QString wzor = q->krotka ? q->odpowiedzi.first().tekst : QString();
        if (wzor.contains(QLatin1String("->")) || wzor.startsWith(QLatin1Char('%')) || maZnacznik(wzor)) {
            uwagi << QStringLiteral(
                         "Pytanie nr %1 pominięte: odpowiedzi wzorcowej „%2” GIFT nie zapisze wiernie.")
                         .arg(numer)
                         .arg(wzor);
            continue;
        }
        if (!q->rysunek.isEmpty())
            uwagi << QStringLiteral("Pytanie nr %1: rysunku „%2” nie zapisano, GIFT nie przenosi rysunków.")
                         .arg(numer)
                         .arg(q->rysunek);
        out += QStringLiteral("::%1::[html]%2").arg(escape(q->nazwa), escape(q->tekst));
        if (q->krotka) {
            // A star in a short answer stands for any text in Moodle unless escaped.
            out +=
                QStringLiteral(" {=%1}\n\n")
                    .arg(
                        escape(q->odpowiedzi.first().tekst).replace(QLatin1Char('*'), QStringLiteral("\\*")));
        } else {
            out += QStringLiteral(" {\n");
            for (const Odpowiedz& o : q->odpowiedzi) {
                // The answer is HTML: a leading % or [ as a reference cannot be taken for a weight or a
                // format.
                QString t = o.tekst;
                if (t.startsWith(QLatin1Char('%')))
                    t = QStringLiteral("&#37;") + t.mid(1);
                else if (maZnacznik(t))
                    t = QStringLiteral("&#91;") + t.trimmed().mid(1);
                t = escape(t);
                if (q->jednokrotny)
                    out += (o.ulamek > 0 ? QLatin1Char('=') : QLatin1Char('~')) + t;
                else
                    out += QStringLiteral("~%%1%%2").arg(ulamek(o.ulamek), t);
                out += QLatin1Char('\n');
            }
            out += QStringLiteral("}\n\n");
        }
        ++w.zapisane;
    }
    w.bajty = out.toUtf8();
    w.raport = QStringList{podsumowanieEksportu(w.zapisane, pytania.size())} + uwagi;
    return w;
}

} // namespace wymiana
