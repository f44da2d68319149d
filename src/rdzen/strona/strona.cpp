#include "strona.h"

#include "codepage.h"
#include "reguly.h"
#include "zapis.h"

#include <cmath>
#include <cstring>

namespace strona {

namespace {

QString hex(uint value, int width)
{
    return QStringLiteral("%1").arg(value, width, 16, QLatin1Char('0')).toUpper();
}

// Appends the pieces; the block texts are built by appending, many small pieces a question.
// Appends the pieces, and `end` when it is not null, growing the text once for all of them: a
// page is thousands of short pieces, and appending them one by one dominated building it.
void dopisz(QString& s, std::initializer_list<QStringView> pieces, QChar end = QChar())
{
    qsizetype add = end.isNull() ? 0 : 1;
    for (const QStringView piece : pieces)
        add += piece.size();
    const qsizetype at = s.size();
    if (s.capacity() < at + add)
        s.reserve(std::max<qsizetype>(2 * s.capacity(), at + add + 256));
    s.resize(at + add);
    QChar* out = s.data() + at;
    for (const QStringView piece : pieces) {
        std::memcpy(static_cast<void*>(out), piece.data(), size_t(piece.size()) * sizeof(QChar));
        out += piece.size();
    }
    if (!end.isNull())
        *out = end;
}

// Appends one script line, ended by a lone CR.
void linia(QString& s, std::initializer_list<QStringView> pieces)
{
    dopisz(s, pieces, QLatin1Char('\r'));
}

// Answer positions and letters as views, so that no number is formatted per line.
constexpr QStringView cyfra[] = {u"0", u"1", u"2", u"3", u"4"};
constexpr QStringView litera[] = {u"a", u"b", u"c", u"d"};

void naglowekBloku(QString& s, const Pytanie& p, const QString& n)
{
    dopisz(s, {u"<TR VALIGN=\"top\" CLASS=\"start\"><TD><B>", n, u".</B><TD><FORM NAME=\"form", n, u"\">",
               p.tresc, u"<BR><BR>"});
    if (reguly::jestRysunkiem(p.rysunek))
        dopisz(s, {u"<IMG SRC=\"", atrybut(p.rysunek), u"\"><BR><BR>"});
}

constexpr QStringView stopkaBloku = u"</FORM></TR>";

// The result line of a question (zad: its number, with the letter of the answer for multiple choice).
void wynikDobrze(QString& s, QStringView zad)
{
    linia(s, {u"    msg.document.write(\"<BR>Zad.", zad, u" Udzieliłeś poprawnej odpowiedzi.\");"});
}

void wynikZle(QString& s, QStringView zad)
{
    linia(s, {u"    msg.document.write(\"<BR>Zad.", zad, u" Wykonałeś błędnie.\");"});
}

// The closing lines that single-choice and typed-answer questions share: the result line for a
// right answer, else the one for a wrong answer.
void wynikPytania(QString& s, QStringView n)
{
    wynikDobrze(s, n);
    linia(s, {u"}"});
    linia(s, {u"else"});
    linia(s, {u"{"});
    wynikZle(s, n);
    linia(s, {u"}"});
}

QString znakLiczby(qint16 value)
{
    return value < 0 ? QString::number(value) : QLatin1Char(' ') + QString::number(value);
}

} // namespace

std::optional<double> sekundyZMinut(const QString& minuty, const QLocale& locale)
{
    bool ok = false;
    const double value = locale.toDouble(minuty, &ok);
    if (!ok || !std::isfinite(value) || !std::isfinite(value * 60))
        return std::nullopt;
    return value * 60;
}

QString sekundy(double seconds)
{
    if (seconds == 0)
        seconds = 0; // no "-0" from a negative zero
    // Plain digits also for huge limits: a browser reads an exponent's mantissa as the seconds.
    const double magnitude = std::fabs(seconds);
    const QString digits =
        magnitude >= 1e15 ? QString::number(magnitude, 'f', 0) : QString::number(magnitude, 'g', 15);
    return (seconds < 0 ? QLatin1Char('-') : QLatin1Char(' ')) + digits;
}

QString napisSkryptu(const QString& text)
{
    QString s;
    s.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            s += QStringLiteral("\\\\");
            break;
        case '"':
            s += QStringLiteral("\\\"");
            break;
        case '\r':
            s += QStringLiteral("\\r");
            break;
        case '\n':
            s += QStringLiteral("\\n");
            break;
        // Every "<" escaped: neither "</script" nor "<!--" can then change how the script is parsed.
        case '<':
            s += QStringLiteral("\\x3C");
            break;
        default:
            if (c.unicode() < 0x20)
                s += QStringLiteral("\\x") + hex(c.unicode(), 2);
            else if (!cp1250::zawiera(c.unicode()))
                s += QStringLiteral("\\u") + hex(c.unicode(), 4); // kept exact despite the code page
            else
                s += c;
        }
    }
    return s;
}

QString atrybut(const QString& text)
{
    QString s = text;
    s.replace(QLatin1Char('&'), QStringLiteral("&amp;"));
    s.replace(QLatin1Char('"'), QStringLiteral("&quot;"));
    s.replace(QLatin1Char('<'), QStringLiteral("&lt;"));
    s.replace(QLatin1Char('>'), QStringLiteral("&gt;"));
    return s;
}

QString glowa(const QString& seconds, const QString& code)
{
    return QStringLiteral(
               "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Frameset//EN\"><HTML><HEAD>"
               "<META HTTP-EQUIV=\"Content-type\" CONTENT=\"text/html; charset=windows-1250\">"
               "<META HTTP-EQUIV=\"Creation-date\" CONTENT=\"2002-03-28T20:19:54Z\">"
               "<META HTTP-EQUIV=\"Content-Language\" CONTENT=\"pl\"><META HTTP-EQUIV=\"Pragma\" "
               "CONTENT=\"no-cache\">\r"
               "<META NAME=\"Author\" CONTENT=\"Zespolak\"><META NAME=\"Robots\" CONTENT=\"INDEX\">"
               "<META HTTP-EQUIV=\"Refresh\"CONTENT=\"") +
           seconds +
           QStringLiteral(
               "; URL=koniec.html\">  <LINK REL=\"stylesheet\" HREF=\"../css/style.css\" TYPE=\"text/css\">"
               "<TITLE>Metodyka nauczania dorosłych</TITLE></HEAD><SCRIPT LANGUAGE=\"JavaScript\">\r"
               "function wynik() {\r"
               "var punkty;\r"
               "var maks;\r"
               "punkty = 0;\r"
               "maks=0;\r"
               "var dobrze=\"") +
           napisSkryptu(code) +
           QStringLiteral(
               "\";\r"
               "var odpowiedz=0;\r"
               "var punkty=0;\r"
               "while(odpowiedz!=dobrze) {\r"
               "odpowiedz=prompt(\"Poproś prowadzącego o wprowadzenie kodu\",\"\");\r"
               "}\r"
               "msg=open(\"\",\"DisplayWindow\",\"resizable scrollbars menubar=no width=330 height=540 "
               "left=458 top=0\");\r"
               // A browser refuses the window some seconds after the click; the result then goes
               // into the page itself.
               "if (!msg) msg=wynikwstronie();\r"
               "msg.document.write(\"<HEAD><LINK rel='stylesheet' href='../css/style2.css'>"
               "<TITLE>Wynik testu</TITLE></HEAD>\");\r"
               "msg.document.write(\"<H1>Wynik Testu</H1>\");\r");
}

QString ogon()
{
    return QStringLiteral(
        "msg.document.write(\"<BODY><HR>W sumie uzyskałeś</BODY><B> \",punkty,\"</B> punktów<BR>na <B>\","
        "maks,\"</B> możliwe.<BR><BR>\");\r"
        "msg.document.write(\"<BODY><HR>Procent poprawnych odpowiedzi </BODY><B> \","
        "Math.max(Math.round(1000*punkty/maks)/10,0),\"</B> % <B>\");\r"
        "{\r"
        "    msg.document.write(\"<CENTER><FORM><INPUT TYPE='button' VALUE='Zamknij' "
        "onClick='javascript:window.close()'></FORM></CENTER>\");\r"
        "}\r"
        "}\r"
        // The result window inside the page: a frame over its top right corner that receives
        // the same writes, and whose "Zamknij" hides it.
        "function wynikwstronie() {\r"
        "var ramka=document.getElementById(\"wynikwstronie\");\r"
        "if (!ramka) {\r"
        "ramka=document.createElement(\"IFRAME\");\r"
        "ramka.id=\"wynikwstronie\";\r"
        "ramka.style.cssText=\"position:fixed;top:0;right:0;width:330px;height:540px;"
        "border:2px solid #345;background:#fff;z-index:10\";\r"
        "document.body.appendChild(ramka);\r"
        "}\r"
        "ramka.style.display=\"block\";\r"
        "var okno=ramka.contentWindow;\r"
        "return {document:{write:function() {\r"
        "okno.document.write.apply(okno.document,arguments);\r"
        "okno.close=function() {ramka.style.display=\"none\";};\r"
        "}}};\r"
        "}\r"
        "</SCRIPT><TABLE ALIGN=\"left\" WIDTH=\"90%\" BORDER=\"0\" CELLSPACING=\"0\" CELLPADDING=\"0\">"
        "<TR><TD ALIGN=\"right\"><BR><BR><BR></TD></TR><TR><TD><H1>Test</H1><HR>"
        "<!-- tabela zawieraj±ca test -->"
        "<TABLE WIDTH=\"100%\" CELLSPACING=\"2\" CELLPADDING=\"12\" BORDER=\"0\">"
        "<TR VALIGN=\"top\" CLASS=\"start\">");
}

QString stopka()
{
    return QStringLiteral(
        "</FORM></TABLE><HR ONCLICK=\"JavaScript:wynik()\"><H4>Jeżeli dotarłeś do tego miejsca to możesz "
        "jeszcze wrócić<BR>i coś poprawić !<BR></H4><CENTER><INPUT TYPE=\"Button\" Id=\"button\" "
        "NAME=\"question\" VALUE=\"K O N I E C\" ALIGN=\"center\" "
        "ONCLICK=\"parent.location.href='koniec.html'\">"
        "<CENTER><BR><BR></FORM><!--koniec tabeli zawieraj±cej test--></TD></TR></TABLE></BODY></HTML>");
}

Blok opcja(const Pytanie& p, int nr)
{
    const auto& odp = p.odpowiedzi;
    const QString n = QString::number(nr);
    constexpr QStringView radio = u"<INPUT TYPE=\"Radio\" NAME=\"odp\" ALIGN=\"left\">";
    Blok b;
    naglowekBloku(b.blokpytania, p, n);
    dopisz(b.blokpytania, {radio, odp[0], u"<BR>", radio, odp[1], u"<BR>", radio, odp[2], u"<BR>", radio,
                           u" ", odp[3], stopkaBloku});

    const std::optional<int> index = reguly::opcjaNaStronie(p);
    QString& s = b.skryptpytania;
    linia(s, {u"maks=maks+1;"});
    // With no mark, or a mark on the fifth answer, which has no button in the page, no choice
    // can be right; the question still counts in the maximum.
    if (index)
        linia(s, {u"if (document.form", n, u".odp[", cyfra[*index], u"].checked)"});
    else
        linia(s, {u"if (false)"});
    linia(s, {u"{punkty = punkty + 1"});
    wynikPytania(s, n);
    return b;
}

Blok wybor(const Pytanie& p, int nr)
{
    const auto& odp = p.odpowiedzi;
    const QString n = QString::number(nr);
    constexpr QStringView box = u"<INPUT TYPE=\"checkbox\" NAME=\"odp\" ALIGN=\"left\">";
    Blok b;
    naglowekBloku(b.blokpytania, p, n);
    dopisz(b.blokpytania,
           {box, odp[0], u"<BR>", box, odp[1], u"<BR>", box, odp[2], u"<BR>", box, odp[3], stopkaBloku});

    QString& s = b.skryptpytania;
    s.reserve(2800);
    for (int k = 1; k <= 5; ++k)
        linia(s, {u"popr", cyfra[k - 1], u"=", znakLiczby(p.znaczniki[k - 1])});
    linia(s, {u"maks=maks+4;"});
    for (int k = 0; k < 4; ++k) {
        const QStringView i = cyfra[k];
        linia(s, {u"if (document.form", n, u".odp[", i, u"].checked)"});
        linia(s, {u"w", i, u"=1;"});
        linia(s, {u"else"});
        linia(s, {u"w", i, u"=0"});
    }
    for (int k = 0; k < 4; ++k) {
        const QStringView i = cyfra[k];
        linia(s, {u"if (popr", i, u"==w", i, u")"});
        linia(s, {u"{punkty = punkty + 1;"});
        linia(s,
              {u"    msg.document.write(\"<BR>Zad.", n, litera[k], u" Udzieliłeś poprawnej odpowiedzi.\");"});
        linia(s, {u"}"});
        linia(s, {u"else"});
        linia(s, {u"{punkty = punkty - 1;"});
        linia(s, {u"    msg.document.write(\"<BR>Zad.", n, litera[k], u" Wykonałeś błędnie.\");"});
        linia(s, {u"}"});
    }
    return b;
}

Blok text(const Pytanie& p, int nr)
{
    const QString n = QString::number(nr);
    Blok b;
    naglowekBloku(b.blokpytania, p, n);
    dopisz(b.blokpytania,
           {u"<INPUT TYPE=\"Text\" NAME=\"question\" ALIGN=\"left\" SIZE=\"20\" MAXLENGTH=\"20\"> "
            u"(<I>tu wpisz odpowiedź</I>)",
            stopkaBloku});
    QString& s = b.skryptpytania;
    linia(s, {u"maks=maks+2;"});
    linia(s, {u"if (document.form", n, u".question.value==\"", napisSkryptu(p.wzor()), u"\")"});
    linia(s, {u"{punkty = punkty + 2"});
    wynikPytania(s, n);
    return b;
}

Blok blok(const Pytanie& p, int nr)
{
    switch (reguly::typNaStronie(p)) {
    case Pytanie::Typ::Opcja:
        return opcja(p, nr);
    case Pytanie::Typ::Tekst:
        return text(p, nr);
    default:
        return wybor(p, nr);
    }
}

Blok opcja(const rekord& r, int nr)
{
    return opcja(Pytanie::zRekordu(r), nr);
}

Blok wybor(const rekord& r, int nr)
{
    return wybor(Pytanie::zRekordu(r), nr);
}

Blok text(const rekord& r, int nr)
{
    return text(Pytanie::zRekordu(r), nr);
}

Blok blok(const rekord& r, int nr)
{
    return blok(Pytanie::zRekordu(r), nr);
}

QString strona(const QList<rekord>& pytania, const QString& seconds, const QString& code)
{
    QString skrypt, bloki;
    for (qsizetype i = 0; i < pytania.size(); ++i) {
        const Blok b = blok(pytania[i], int(i + 1));
        skrypt += b.skryptpytania;
        bloki += b.blokpytania;
    }
    QString head = glowa(seconds, code), tail = ogon(), foot = stopka();
    // Appended into one reserved text: a chain of + would copy the whole page several times.
    QString page;
    page.reserve(head.size() + skrypt.size() + tail.size() + bloki.size() + foot.size());
    for (const QString* part : {&head, &skrypt, &tail, &bloki, &foot})
        page += *part;
    return page;
}

QByteArray bajty(const QString& page)
{
    QByteArray bytes = cp1250::encode(page);
    bytes += "\r\n";
    return bytes;
}

Wynik<void> zapisz(QIODevice& device, const QString& page)
{
    return io::zapiszCalosc(device, bajty(page));
}

Wynik<void> zapisz(const QString& fileName, const QString& page)
{
    return io::zapiszBezpiecznie(fileName, bajty(page));
}

} // namespace strona
