// Any record, question number, time limit and release code through every builder of the test
// page. The fixed parts of each block and fragment must stand as the templates give them, the
// code and the model answer must come out of their script strings exactly as typed without
// ending the string or the script, and the page must convert to Windows-1250 without loss.

#include "common.h"

#include "codepage.h"
#include "losowanie.h"
#include "rekord.h"
#include "strona.h"

#include <QLocale>

#include <cmath>
#include <optional>
#include <set>

namespace {

const QString CR = QStringLiteral("\r");

// A double-quoted script string read as a script engine reads it, from just after the opening
// quote. Gives the text it stands for and moves `pos` past the closing quote; empty when the
// string never closes or a line ends inside it.
std::optional<QString> napisJs(const QString& s, qsizetype& pos)
{
    QString out;
    auto hex = [&](qsizetype at, int digits) -> int {
        if (at + digits > s.size())
            return -1;
        bool ok = false;
        const int v = s.mid(at, digits).toInt(&ok, 16);
        for (int i = 0; i < digits; ++i) {
            if (!isxdigit(s.at(at + i).unicode() < 128 ? s.at(at + i).unicode() : 'x'))
                return -1;
        }
        return ok ? v : -1;
    };
    while (pos < s.size()) {
        const char16_t c = s.at(pos).unicode();
        if (c == '"') {
            ++pos;
            return out;
        }
        if (c == '\r' || c == '\n' || c == 0x2028 || c == 0x2029)
            return std::nullopt;
        if (c != '\\') {
            out += QChar(c);
            ++pos;
            continue;
        }
        if (++pos >= s.size())
            return std::nullopt;
        const char16_t e = s.at(pos).unicode();
        ++pos;
        switch (e) {
        case 'b': out += QChar(0x08); break;
        case 'f': out += QChar(0x0C); break;
        case 'n': out += QChar(0x0A); break;
        case 'r': out += QChar(0x0D); break;
        case 't': out += QChar(0x09); break;
        case 'v': out += QChar(0x0B); break;
        case 'x': {
            const int v = hex(pos, 2);
            if (v < 0)
                return std::nullopt;
            out += QChar(char16_t(v));
            pos += 2;
            break;
        }
        case 'u': {
            const int v = hex(pos, 4);
            if (v < 0)
                return std::nullopt;
            out += QChar(char16_t(v));
            pos += 4;
            break;
        }
        case '\r':
        case '\n':
            return std::nullopt; // a line continuation: legal, but no builder means it
        default:
            if (e >= '0' && e <= '9')
                return std::nullopt; // octal escapes are errors in strict code
            out += QChar(e);
        }
    }
    return std::nullopt;
}

// A value of a double-quoted attribute with its references resolved.
QString atrybutOdczytany(QString v)
{
    v.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    v.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    v.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    v.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return v;
}

bool wKodowaniu(const QString& s)
{
    return cp1250::decode(cp1250::encode(s)) == s;
}

// Nothing inside a script may end the script element or open a comment in it.
void bezKoncaSkryptu(const QString& script)
{
    FUZZ_CHECK(!script.contains(QStringLiteral("</script"), Qt::CaseInsensitive));
    FUZZ_CHECK(!script.contains(QStringLiteral("<!--")));
}

QStringList linie(const QString& fragment)
{
    FUZZ_CHECK(fragment.endsWith(CR));
    QStringList lines = fragment.split(CR);
    lines.removeLast();
    return lines;
}

QString glowaBloku(const rekord& r, const QString& n)
{
    return QStringLiteral("<TR VALIGN=\"top\" CLASS=\"start\"><TD><B>") + n + QStringLiteral(".</B><TD><FORM NAME=\"form") +
           n + QStringLiteral("\">") + tekst(r.pytanie) + QStringLiteral("<BR><BR>");
}

// The block head, the picture and the rest up to the fixed tail; gives what follows the picture.
QString sprawdzBlok(const rekord& r, const QString& n, const QString& block)
{
    const QString head = glowaBloku(r, n);
    FUZZ_CHECK(block.startsWith(head));
    FUZZ_CHECK(block.endsWith(QStringLiteral("</FORM></TR>")));
    QString rest = block.mid(head.size());
    const QString picture = tekst(r.rysunek);
    const QString img = QStringLiteral("<IMG SRC=\"");
    if (picture.size() >= 2) {
        FUZZ_CHECK(rest.startsWith(img));
        const qsizetype end = rest.indexOf(QLatin1Char('"'), img.size());
        FUZZ_CHECK(end > 0);
        const QString value = rest.mid(img.size(), end - img.size());
        FUZZ_CHECK(!value.contains(QLatin1Char('<')) && !value.contains(QLatin1Char('>')));
        FUZZ_CHECK(atrybutOdczytany(value) == picture);
        FUZZ_CHECK(rest.mid(end).startsWith(QStringLiteral("\"><BR><BR>")));
        rest = rest.mid(end + 10);
    } else {
        // No picture part; the text after the head is the first answer control.
        FUZZ_CHECK(rest.startsWith(QStringLiteral("<INPUT TYPE=")));
    }
    rest.chop(12);
    return rest;
}

void sprawdzOpcja(const rekord& r, int nr)
{
    const QString n = QString::number(nr);
    const strona::Blok b = strona::opcja(r, nr);
    const QString radio = QStringLiteral("<INPUT TYPE=\"Radio\" NAME=\"odp\" ALIGN=\"left\">");
    FUZZ_CHECK(sprawdzBlok(r, n, b.blokpytania) ==
               radio + tekst(r.odp1) + QStringLiteral("<BR>") + radio + tekst(r.odp2) + QStringLiteral("<BR>") +
                   radio + tekst(r.odp3) + QStringLiteral("<BR>") + radio + QLatin1Char(' ') + tekst(r.odp4));

    const QStringList lines = linie(b.skryptpytania);
    FUZZ_CHECK(lines.size() == 9);
    int index = -1;
    for (int k = 1; k <= 5; ++k) {
        if (r.poprawna(k) == -1)
            index = k - 1;
    }
    if (index >= 0 && index <= 3)
        FUZZ_CHECK(lines[1] == QStringLiteral("if (document.form%1.odp[%2].checked)").arg(n).arg(index));
    else // no button of the page can be the right one: never a broken index such as "odp[]"
        FUZZ_CHECK(!lines[1].contains(QStringLiteral("odp[")));
    FUZZ_CHECK(lines[0] == QStringLiteral("maks=maks+1;"));
    FUZZ_CHECK(lines[3] == QStringLiteral("    msg.document.write(\"<BR>Zad.%1 Udzieliłeś poprawnej odpowiedzi.\");").arg(n));
    FUZZ_CHECK(lines[7] == QStringLiteral("    msg.document.write(\"<BR>Zad.%1 Wykonałeś błędnie.\");").arg(n));
    bezKoncaSkryptu(b.skryptpytania);
}

void sprawdzWybor(const rekord& r, int nr)
{
    const QString n = QString::number(nr);
    const strona::Blok b = strona::wybor(r, nr);
    const QString box = QStringLiteral("<INPUT TYPE=\"checkbox\" NAME=\"odp\" ALIGN=\"left\">");
    FUZZ_CHECK(sprawdzBlok(r, n, b.blokpytania) ==
               box + tekst(r.odp1) + QStringLiteral("<BR>") + box + tekst(r.odp2) + QStringLiteral("<BR>") + box +
                   tekst(r.odp3) + QStringLiteral("<BR>") + box + tekst(r.odp4));

    const QStringList lines = linie(b.skryptpytania);
    FUZZ_CHECK(lines.size() == 54);
    for (int k = 1; k <= 5; ++k) {
        const QString line = lines[k - 1];
        const QString prefix = QStringLiteral("popr%1=").arg(k - 1);
        FUZZ_CHECK(line.startsWith(prefix));
        const QString value = line.mid(prefix.size());
        FUZZ_CHECK(value.startsWith(r.poprawna(k) < 0 ? QLatin1Char('-') : QLatin1Char(' ')));
        bool ok = false;
        FUZZ_CHECK(value.trimmed().toInt(&ok) == r.poprawna(k) && ok);
    }
    FUZZ_CHECK(lines[5] == QStringLiteral("maks=maks+4;"));
    for (int k = 0; k < 4; ++k)
        FUZZ_CHECK(lines[6 + 4 * k] == QStringLiteral("if (document.form%1.odp[%2].checked)").arg(n).arg(k));
    bezKoncaSkryptu(b.skryptpytania);
}

void sprawdzText(const rekord& r, int nr)
{
    const QString n = QString::number(nr);
    const strona::Blok b = strona::text(r, nr);
    FUZZ_CHECK(sprawdzBlok(r, n, b.blokpytania) ==
               QStringLiteral("<INPUT TYPE=\"Text\" NAME=\"question\" ALIGN=\"left\" SIZE=\"20\" MAXLENGTH=\"20\"> "
                              "(<I>tu wpisz odpowiedź</I>)"));

    const QStringList lines = linie(b.skryptpytania);
    FUZZ_CHECK(lines.size() == 9);
    const QString open = QStringLiteral("if (document.form%1.question.value==\"").arg(n);
    FUZZ_CHECK(lines[1].startsWith(open));
    qsizetype pos = open.size();
    const std::optional<QString> answer = napisJs(lines[1], pos);
    FUZZ_CHECK_MSG(answer && *answer == tekst(r.odp1), lines[1]);
    FUZZ_CHECK(lines[1].mid(pos) == QStringLiteral(")"));
    FUZZ_CHECK(lines[2] == QStringLiteral("{punkty = punkty + 2"));
    bezKoncaSkryptu(b.skryptpytania);
}

QString sprawdzGlowa(const QString& seconds, const QString& code)
{
    const QString head = strona::glowa(seconds, code);
    FUZZ_CHECK(head.startsWith(QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Frameset//EN\">")));
    FUZZ_CHECK(head.contains(QStringLiteral("<META HTTP-EQUIV=\"Refresh\"CONTENT=\"") + seconds +
                             QStringLiteral("; URL=koniec.html\">")));
    const QString open = QStringLiteral("\rvar dobrze=\"");
    const qsizetype at = head.indexOf(open);
    FUZZ_CHECK(at > 0);
    qsizetype pos = at + open.size();
    const std::optional<QString> read = napisJs(head, pos);
    FUZZ_CHECK_MSG(read && *read == code, head.mid(at, 80));
    FUZZ_CHECK(head.mid(pos).startsWith(QStringLiteral(";\rvar odpowiedz=0;\r")));
    const QString literal = head.mid(at + open.size(), pos - at - open.size());
    FUZZ_CHECK(wKodowaniu(literal));
    const qsizetype script = head.indexOf(QStringLiteral("<SCRIPT LANGUAGE=\"JavaScript\">"));
    FUZZ_CHECK(script > 0 && script < at);
    bezKoncaSkryptu(head.mid(script));
    return head;
}

void sprawdzSekundy(double seconds)
{
    const QString s = strona::sekundy(seconds);
    FUZZ_CHECK(s.startsWith(seconds < 0 ? QLatin1Char('-') : QLatin1Char(' ')));
    // Fifteen significant digits: the number read back is the one written, except next to the
    // largest double, where the rounded digits no longer fit one.
    bool ok = false;
    const double back = s.mid(1).toDouble(&ok);
    FUZZ_CHECK_MSG(ok || std::fabs(seconds) > 1.797693134862315e308, s);
    if (ok)
        FUZZ_CHECK_MSG(std::fabs(back - std::fabs(seconds)) <= 1e-14 * std::fabs(seconds), s);
    for (const QChar c : s)
        FUZZ_CHECK(c.isDigit() || c == QLatin1Char('.') || c == QLatin1Char(' ') || c == QLatin1Char('-') ||
                   c == QLatin1Char('e') || c == QLatin1Char('+'));
}

// Distinct numbers in range, in draw order, from any stream of numbers in [0, 1).
void sprawdzLosowanie(Wejscie& in)
{
    const qint16 count = qint16(1 + in.slowo() % 32767);
    const int n = 1 + in.bajt() % std::min<int>(count, 120);
    std::vector<double> values;
    for (int i = in.bajt() % 32; i > 0; --i)
        values.push_back(double(in.liczba64() >> 11) * 0x1.0p-53);
    const losowanie::Zrodlo backup = losowanie::zrodlo(in.liczba64());
    std::size_t next = 0;
    const losowanie::Zrodlo random = [&] { return next < values.size() ? values[next++] : backup(); };
    losowanie::Wylosowane drawn{};
    std::vector<qint16> reported;
    const bool ok = losowanie::losuj(count, n, random, drawn, [&](qint16 k) { reported.push_back(k); });
    FUZZ_CHECK(ok == (n <= losowanie::sloty));
    const int filled = std::min(n, losowanie::sloty);
    FUZZ_CHECK(int(reported.size()) == filled);
    std::set<qint16> seen;
    for (int i = 1; i <= filled; ++i) {
        FUZZ_CHECK(drawn[i] >= 1 && drawn[i] <= count);
        FUZZ_CHECK(drawn[i] == reported[i - 1]);
        FUZZ_CHECK(seen.insert(drawn[i]).second);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Wejscie in(data, size);
    const uint8_t flags = in.bajt();
    const int nr = 1 + in.slowo() % 32767;

    // The release code as typed: any characters, also ones outside the code page and lone halves
    // of surrogate pairs.
    const QByteArray codeBytes = in.bajty(in.bajt());
    QString code;
    switch (flags & 3) {
    case 0: code = cp1250::decode(codeBytes); break;
    case 1: code = QString::fromUtf8(codeBytes); break;
    default: code = QString(reinterpret_cast<const QChar*>(codeBytes.constData()), codeBytes.size() / 2); break;
    }

    // The time limit as typed, in a Polish or a C number format, or any number of seconds.
    QString seconds = QStringLiteral(" 600");
    if (flags & 4) {
        const quint64 bits = in.liczba64();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value)) {
            sprawdzSekundy(value);
            seconds = strona::sekundy(value);
        }
    } else {
        const QString typed = cp1250::decode(in.bajty(in.bajt() % 24));
        const QLocale locale = flags & 8 ? QLocale(QLocale::Polish, QLocale::Poland) : QLocale::c();
        if (const std::optional<double> value = strona::sekundyZMinut(typed, locale)) {
            FUZZ_CHECK(std::isfinite(*value));
            sprawdzSekundy(*value);
            seconds = strona::sekundy(*value);
        }
        FUZZ_CHECK(!std::isnan(losowanie::liczbaNaPoczatku(typed)));
    }
    if (flags & 16)
        sprawdzLosowanie(in);

    const rekord r = rekord::decode(in.reszta());

    sprawdzOpcja(r, nr);
    sprawdzWybor(r, nr);
    sprawdzText(r, nr);
    const strona::Blok chosen = strona::blok(r, nr);
    const strona::Blok expected = r.typ == 1 ? strona::opcja(r, nr) : r.typ == 2 ? strona::text(r, nr) : strona::wybor(r, nr);
    FUZZ_CHECK(chosen.blokpytania == expected.blokpytania && chosen.skryptpytania == expected.skryptpytania);

    // The whole page, as the generator assembles it from three questions.
    const QString head = sprawdzGlowa(seconds, code);
    const strona::Blok b1 = strona::opcja(r, nr), b2 = strona::wybor(r, nr), b3 = strona::text(r, nr);
    const QString scripts = b1.skryptpytania + b2.skryptpytania + b3.skryptpytania;
    const QString tail = strona::ogon();
    const QString page = head + scripts + tail + b1.blokpytania + b2.blokpytania + b3.blokpytania + strona::stopka();

    // The script element ends at the tail's own closing tag and nowhere earlier.
    const qsizetype scriptEnd = head.size() + scripts.size() + tail.indexOf(QStringLiteral("</SCRIPT>"));
    FUZZ_CHECK(tail.indexOf(QStringLiteral("</SCRIPT>")) >= 0);
    FUZZ_CHECK(page.indexOf(QStringLiteral("</script"), 0, Qt::CaseInsensitive) == scriptEnd);
    const qsizetype scriptStart = page.indexOf(QStringLiteral("<SCRIPT"));
    FUZZ_CHECK(!page.mid(scriptStart, scriptEnd - scriptStart).contains(QStringLiteral("<!--")));

    // Every character of the page has its byte in the code page.
    const QByteArray bytes = strona::bajty(page);
    FUZZ_CHECK(bytes.endsWith("\r\n"));
    FUZZ_CHECK(bytes.size() == page.size() + 2);
    FUZZ_CHECK(cp1250::decode(bytes) == page + QStringLiteral("\r\n"));
    return 0;
}
