#include "strona.h"
#include "tempdir.h"

#include <QBuffer>
#include <QTest>

// Golden page fragments: every character as the teacher's browser will get it.
class TstStrona : public QObject
{
    Q_OBJECT
private slots:
    void opcjaExample();
    void opcjaCorrectIndex_data();
    void opcjaCorrectIndex();
    void opcjaEmptyAnswerKeepsItsButton();
    void questionNumberNamesForm_data();
    void questionNumberNamesForm();
    void blockHead_data();
    void blockHead();
    void wyborExample();
    void wyborMarkLines_data();
    void wyborMarkLines();
    void textExample();
    void modelAnswerEscaped_data();
    void modelAnswerEscaped();
    void blockByType_data();
    void blockByType();
    void head();
    void releaseCodeEscaped_data();
    void releaseCodeEscaped();
    void seconds_data();
    void seconds();
    void tailAndFoot();
    void fileBytes();
    void writeReplacesWholeOrFails();
};

static QString u(const char* s)
{
    return QString::fromUtf8(s);
}

// Script lines as the page has them: each ended by a lone CR.
static QString lines(std::initializer_list<const char*> list)
{
    QString s;
    for (const char* line : list)
        s += u(line) + QLatin1Char('\r');
    return s;
}

static rekord record(qint16 typ, const QString& question, const QStringList& answers = {},
                     std::array<qint16, 5> marks = {}, const QString& picture = {})
{
    rekord r = rekord::pusty();
    r.typ = typ;
    ustawTekst(r.pytanie, question);
    for (int k = 0; k < answers.size(); ++k)
        ustawTekst(r.odp(k + 1), answers.at(k));
    for (int k = 0; k < 5; ++k)
        r.poprawna(k + 1) = marks[k];
    ustawTekst(r.rysunek, picture);
    return r;
}

void TstStrona::opcjaExample()
{
    const rekord r =
        record(1, QStringLiteral("Ile to 2+2?"), {u("3"), u("4"), u("5"), u("6")}, {0, -1, 0, 0, 0});
    const strona::Blok b = strona::opcja(r, 2);
    QCOMPARE(b.blokpytania,
             u("<TR VALIGN=\"top\" CLASS=\"start\"><TD><B>2.</B><TD><FORM NAME=\"form2\">Ile to 2+2?<BR><BR>"
               "<INPUT TYPE=\"Radio\" NAME=\"odp\" ALIGN=\"left\">3<BR>"
               "<INPUT TYPE=\"Radio\" NAME=\"odp\" ALIGN=\"left\">4<BR>"
               "<INPUT TYPE=\"Radio\" NAME=\"odp\" ALIGN=\"left\">5<BR>"
               "<INPUT TYPE=\"Radio\" NAME=\"odp\" ALIGN=\"left\"> 6</FORM></TR>"));
    QCOMPARE(b.skryptpytania, lines({
                                  "maks=maks+1;",
                                  "if (document.form2.odp[1].checked)",
                                  "{punkty = punkty + 1",
                                  "    msg.document.write(\"<BR>Zad.2 Udzieliłeś poprawnej odpowiedzi.\");",
                                  "}",
                                  "else",
                                  "{",
                                  "    msg.document.write(\"<BR>Zad.2 Wykonałeś błędnie.\");",
                                  "}",
                              }));
}

void TstStrona::opcjaCorrectIndex_data()
{
    QTest::addColumn<QList<qint16>>("marks");
    QTest::addColumn<QString>("condition");
    const QString never = QStringLiteral("if (false)");
    QTest::newRow("second") << QList<qint16>{0, -1, 0, 0, 0} << u("if (document.form3.odp[1].checked)");
    QTest::newRow("first") << QList<qint16>{-1, 0, 0, 0, 0} << u("if (document.form3.odp[0].checked)");
    QTest::newRow("fourth") << QList<qint16>{0, 0, 0, -1, 0} << u("if (document.form3.odp[3].checked)");
    QTest::newRow("several: the last counts")
        << QList<qint16>{0, -1, 0, -1, 0} << u("if (document.form3.odp[3].checked)");
    QTest::newRow("a ticked 1 is no choice") << QList<qint16>{0, 1, 0, 0, 0} << never;
    QTest::newRow("none") << QList<qint16>{0, 0, 0, 0, 0} << never;
    QTest::newRow("fifth has no button") << QList<qint16>{0, 0, 0, 0, -1} << never;
    QTest::newRow("fifth after second") << QList<qint16>{0, -1, 0, 0, -1} << never;
}

void TstStrona::opcjaCorrectIndex()
{
    QFETCH(QList<qint16>, marks);
    QFETCH(QString, condition);
    const rekord r = record(1, u("p"), {u("a"), u("b"), u("c"), u("d")},
                            {marks[0], marks[1], marks[2], marks[3], marks[4]});
    const QStringList script = strona::opcja(r, 3).skryptpytania.split(QLatin1Char('\r'));
    QCOMPARE(script.size(), 10); // nine lines, the last one ended too
    QCOMPARE(script.at(0), u("maks=maks+1;"));
    QCOMPARE(script.at(1), condition);
    QCOMPARE(script.at(3), u("    msg.document.write(\"<BR>Zad.3 Udzieliłeś poprawnej odpowiedzi.\");"));
}

void TstStrona::opcjaEmptyAnswerKeepsItsButton()
{
    const rekord r = record(1, u("p"), {u("a"), u("b"), QString(), QString()}, {-1, 0, 0, 0, 0});
    QVERIFY(strona::opcja(r, 1).blokpytania.endsWith(
        u("<INPUT TYPE=\"Radio\" NAME=\"odp\" ALIGN=\"left\"><BR>"
          "<INPUT TYPE=\"Radio\" NAME=\"odp\" ALIGN=\"left\"> </FORM></TR>")));
}

void TstStrona::questionNumberNamesForm_data()
{
    QTest::addColumn<qint16>("typ");
    QTest::addColumn<QString>("result");
    QTest::newRow("single choice") << qint16(1) << u("<BR>Zad.12 Wykonałeś");
    QTest::newRow("multiple choice") << qint16(0) << u("<BR>Zad.12d Wykonałeś");
    QTest::newRow("typed answer") << qint16(2) << u("<BR>Zad.12 Wykonałeś");
}

void TstStrona::questionNumberNamesForm()
{
    QFETCH(qint16, typ);
    QFETCH(QString, result);
    const strona::Blok b = strona::blok(record(typ, u("p"), {}, {-1, 0, 0, 0, 0}), 12);
    QVERIFY(b.blokpytania.startsWith(
        u("<TR VALIGN=\"top\" CLASS=\"start\"><TD><B>12.</B><TD><FORM NAME=\"form12\">p<BR><BR><INPUT")));
    QVERIFY(b.skryptpytania.contains(u("if (document.form12.")));
    QVERIFY(b.skryptpytania.contains(result));
    QVERIFY(!b.skryptpytania.contains(u("form1.")));
}

void TstStrona::blockHead_data()
{
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("head");
    const char* start = "<TR VALIGN=\"top\" CLASS=\"start\"><TD><B>1.</B><TD><FORM NAME=\"form1\">";
    QTest::newRow("no picture") << u("Pytanie") << QString() << u(start) + u("Pytanie<BR><BR><INPUT");
    QTest::newRow("one-character picture") << u("Pytanie") << u("x") << u(start) + u("Pytanie<BR><BR><INPUT");
    QTest::newRow("two-character picture")
        << u("Pytanie") << u("ab") << u(start) + u("Pytanie<BR><BR><IMG SRC=\"ab\"><BR><BR><INPUT");
    QTest::newRow("picture name escaped") << u("P") << u("a\"b&c<d>.png")
                                          << u(start) + u("P<BR><BR><IMG SRC=\"a&quot;b&amp;c&lt;d&gt;.png\">"
                                                          "<BR><BR><INPUT");
    QTest::newRow("spaces trimmed, inner kept")
        << u("  Ile   to?  ") << u("  rys.png ")
        << u(start) + u("Ile   to?<BR><BR><IMG SRC=\"rys.png\"><BR><BR><INPUT");
    QTest::newRow("tags stay markup")
        << u("Co to <B>jest</B> & co?") << QString() << u(start) + u("Co to <B>jest</B> & co?<BR><BR><INPUT");
    QTest::newRow("line breaks copied")
        << u("a\r\nb\tc") << QString() << u(start) + u("a\r\nb\tc<BR><BR><INPUT");
}

void TstStrona::blockHead()
{
    QFETCH(QString, question);
    QFETCH(QString, picture);
    QFETCH(QString, head);
    for (qint16 typ : {0, 1, 2}) {
        const strona::Blok b = strona::blok(record(typ, question, {}, {}, picture), 1);
        QVERIFY2(b.blokpytania.startsWith(head), qPrintable(b.blokpytania));
        QVERIFY(b.blokpytania.endsWith(u("</FORM></TR>")));
    }
}

void TstStrona::wyborExample()
{
    const rekord r = record(0, u(" Które są ssakami? "),
                            {u("kot"), u("wróbel"), u("pies"), u("karp"), u("żaba")}, {1, 0, -1, 0, 2});
    const strona::Blok b = strona::wybor(r, 5);
    QCOMPARE(
        b.blokpytania,
        u("<TR VALIGN=\"top\" CLASS=\"start\"><TD><B>5.</B><TD><FORM NAME=\"form5\">Które są ssakami?<BR><BR>"
          "<INPUT TYPE=\"checkbox\" NAME=\"odp\" ALIGN=\"left\">kot<BR>"
          "<INPUT TYPE=\"checkbox\" NAME=\"odp\" ALIGN=\"left\">wróbel<BR>"
          "<INPUT TYPE=\"checkbox\" NAME=\"odp\" ALIGN=\"left\">pies<BR>"
          "<INPUT TYPE=\"checkbox\" NAME=\"odp\" ALIGN=\"left\">karp</FORM></TR>"));
    QCOMPARE(b.skryptpytania, lines({
                                  "popr0= 1",
                                  "popr1= 0",
                                  "popr2=-1",
                                  "popr3= 0",
                                  "popr4= 2",
                                  "maks=maks+4;",
                                  "if (document.form5.odp[0].checked)",
                                  "w0=1;",
                                  "else",
                                  "w0=0",
                                  "if (document.form5.odp[1].checked)",
                                  "w1=1;",
                                  "else",
                                  "w1=0",
                                  "if (document.form5.odp[2].checked)",
                                  "w2=1;",
                                  "else",
                                  "w2=0",
                                  "if (document.form5.odp[3].checked)",
                                  "w3=1;",
                                  "else",
                                  "w3=0",
                                  "if (popr0==w0)",
                                  "{punkty = punkty + 1;",
                                  "    msg.document.write(\"<BR>Zad.5a Udzieliłeś poprawnej odpowiedzi.\");",
                                  "}",
                                  "else",
                                  "{punkty = punkty - 1;",
                                  "    msg.document.write(\"<BR>Zad.5a Wykonałeś błędnie.\");",
                                  "}",
                                  "if (popr1==w1)",
                                  "{punkty = punkty + 1;",
                                  "    msg.document.write(\"<BR>Zad.5b Udzieliłeś poprawnej odpowiedzi.\");",
                                  "}",
                                  "else",
                                  "{punkty = punkty - 1;",
                                  "    msg.document.write(\"<BR>Zad.5b Wykonałeś błędnie.\");",
                                  "}",
                                  "if (popr2==w2)",
                                  "{punkty = punkty + 1;",
                                  "    msg.document.write(\"<BR>Zad.5c Udzieliłeś poprawnej odpowiedzi.\");",
                                  "}",
                                  "else",
                                  "{punkty = punkty - 1;",
                                  "    msg.document.write(\"<BR>Zad.5c Wykonałeś błędnie.\");",
                                  "}",
                                  "if (popr3==w3)",
                                  "{punkty = punkty + 1;",
                                  "    msg.document.write(\"<BR>Zad.5d Udzieliłeś poprawnej odpowiedzi.\");",
                                  "}",
                                  "else",
                                  "{punkty = punkty - 1;",
                                  "    msg.document.write(\"<BR>Zad.5d Wykonałeś błędnie.\");",
                                  "}",
                              }));
    QCOMPARE(b.skryptpytania.count(QLatin1Char('\r')), 54);
}

void TstStrona::wyborMarkLines_data()
{
    QTest::addColumn<qint16>("mark");
    QTest::addColumn<QString>("line");
    QTest::newRow("1") << qint16(1) << u("popr0= 1");
    QTest::newRow("0") << qint16(0) << u("popr0= 0");
    QTest::newRow("-1") << qint16(-1) << u("popr0=-1");
    QTest::newRow("largest") << qint16(32767) << u("popr0= 32767");
    QTest::newRow("smallest") << qint16(-32768) << u("popr0=-32768");
}

void TstStrona::wyborMarkLines()
{
    QFETCH(qint16, mark);
    QFETCH(QString, line);
    const rekord r = record(0, u("p"), {}, {mark, 0, 0, 0, 0});
    QCOMPARE(strona::wybor(r, 1).skryptpytania.section(QLatin1Char('\r'), 0, 0), line);
}

void TstStrona::textExample()
{
    const rekord r =
        record(2, u("Ile to 1+1?"), {u("dwa   "), u("zostaje"), u("w rekordzie")}, {1, 0, 0, 0, 0});
    const strona::Blok b = strona::text(r, 4);
    QCOMPARE(b.blokpytania,
             u("<TR VALIGN=\"top\" CLASS=\"start\"><TD><B>4.</B><TD><FORM NAME=\"form4\">Ile to 1+1?<BR><BR>"
               "<INPUT TYPE=\"Text\" NAME=\"question\" ALIGN=\"left\" SIZE=\"20\" MAXLENGTH=\"20\"> "
               "(<I>tu wpisz odpowiedź</I>)</FORM></TR>"));
    QCOMPARE(b.skryptpytania, lines({
                                  "maks=maks+2;",
                                  "if (document.form4.question.value==\"dwa\")",
                                  "{punkty = punkty + 2",
                                  "    msg.document.write(\"<BR>Zad.4 Udzieliłeś poprawnej odpowiedzi.\");",
                                  "}",
                                  "else",
                                  "{",
                                  "    msg.document.write(\"<BR>Zad.4 Wykonałeś błędnie.\");",
                                  "}",
                              }));
}

void TstStrona::modelAnswerEscaped_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("literal");
    QTest::newRow("polish letters as they are") << u("żółć") << u("żółć");
    QTest::newRow("blank") << QString() << QString();
    QTest::newRow("double quote") << u("\"cytat\"") << u("\\\"cytat\\\"");
    QTest::newRow("backslash") << u("c:\\n") << u("c:\\\\n");
    QTest::newRow("line breaks") << u("a\r\nb") << u("a\\r\\nb");
    QTest::newRow("end of script") << u("</SCRIPT>") << u("\\x3C/SCRIPT>");
    QTest::newRow("comment opening") << u("<!--<script>") << u("\\x3C!--\\x3Cscript>");
    QTest::newRow("other control character") << u("a\x01") << u("a\\x01");
    QTest::newRow("apostrophe and percent") << u("it's 50%1") << u("it's 50%1");
}

void TstStrona::modelAnswerEscaped()
{
    QFETCH(QString, answer);
    QFETCH(QString, literal);
    const rekord r = record(2, u("p"), {answer});
    QCOMPARE(strona::text(r, 1).skryptpytania.section(QLatin1Char('\r'), 1, 1),
             u("if (document.form1.question.value==\"") + literal + u("\")"));
}

void TstStrona::blockByType_data()
{
    QTest::addColumn<qint16>("typ");
    QTest::addColumn<QString>("input");
    QTest::newRow("0 multiple choice") << qint16(0) << u("checkbox");
    QTest::newRow("1 single choice") << qint16(1) << u("Radio");
    QTest::newRow("2 typed answer") << qint16(2) << u("Text");
    QTest::newRow("3 shown as multiple choice") << qint16(3) << u("checkbox");
    QTest::newRow("-1 shown as multiple choice") << qint16(-1) << u("checkbox");
    QTest::newRow("256 shown as multiple choice") << qint16(256) << u("checkbox");
}

void TstStrona::blockByType()
{
    QFETCH(qint16, typ);
    QFETCH(QString, input);
    const rekord r = record(typ, u("p"), {u("a"), u("b")}, {1, 0, 0, 0, 0});
    const strona::Blok b = strona::blok(r, 7);
    QCOMPARE(b.blokpytania.count(u("<INPUT TYPE=\"") + input + u("\"")), input == u("Text") ? 1 : 4);
    if (typ != 1 && typ != 2) {
        rekord asMultiple = r;
        asMultiple.typ = 0;
        QCOMPARE(b.skryptpytania, strona::wybor(asMultiple, 7).skryptpytania);
    }
}

void TstStrona::head()
{
    QCOMPARE(
        strona::glowa(u(" 600"), u("tajne")),
        u("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Frameset//EN\"><HTML><HEAD><META "
          "HTTP-EQUIV=\"Content-type\" "
          "CONTENT=\"text/html; charset=windows-1250\"><META HTTP-EQUIV=\"Creation-date\" "
          "CONTENT=\"2002-03-28T20:19:54Z\"><META HTTP-EQUIV=\"Content-Language\" CONTENT=\"pl\">"
          "<META HTTP-EQUIV=\"Pragma\" CONTENT=\"no-cache\">\r"
          "<META NAME=\"Author\" CONTENT=\"Zespolak\"><META NAME=\"Robots\" CONTENT=\"INDEX\">"
          "<META HTTP-EQUIV=\"Refresh\"CONTENT=\" 600; URL=koniec.html\">  <LINK REL=\"stylesheet\" "
          "HREF=\"../css/style.css\" TYPE=\"text/css\"><TITLE>Metodyka nauczania dorosłych</TITLE></HEAD>"
          "<SCRIPT LANGUAGE=\"JavaScript\">\r") +
            lines({
                "function wynik() {",
                "var punkty;",
                "var maks;",
                "punkty = 0;",
                "maks=0;",
                "var dobrze=\"tajne\";",
                "var odpowiedz=0;",
                "var punkty=0;",
                "while(odpowiedz!=dobrze) {",
                "odpowiedz=prompt(\"Poproś prowadzącego o wprowadzenie kodu\",\"\");",
                "}",
                "msg=open(\"\",\"DisplayWindow\",\"resizable scrollbars menubar=no width=330 height=540 "
                "left=458 "
                "top=0\");",
                "if (!msg) msg=wynikwstronie();",
                "msg.document.write(\"<HEAD><LINK rel='stylesheet' href='../css/style2.css'><TITLE>Wynik "
                "testu</TITLE></HEAD>\");",
                "msg.document.write(\"<H1>Wynik Testu</H1>\");",
            }));
}

void TstStrona::releaseCodeEscaped_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("line");
    QTest::newRow("empty") << QString() << u("var dobrze=\"\";");
    QTest::newRow("untrimmed") << u(" 0 ") << u("var dobrze=\" 0 \";");
    QTest::newRow("polish") << u("Łódź") << u("var dobrze=\"Łódź\";");
    QTest::newRow("quote and backslash") << u("a\"b\\") << u("var dobrze=\"a\\\"b\\\\\";");
    QTest::newRow("script end") << u("</script><b>") << u("var dobrze=\"\\x3C/script>\\x3Cb>\";");
    QTest::newRow("outside the code page") << u("niño") << u("var dobrze=\"ni\\u00F1o\";");
    QTest::newRow("outside the BMP") << u("a😀") << u("var dobrze=\"a\\uD83D\\uDE00\";");
    QTest::newRow("tab") << u("a\tb") << u("var dobrze=\"a\\x09b\";");
}

void TstStrona::releaseCodeEscaped()
{
    QFETCH(QString, code);
    QFETCH(QString, line);
    QCOMPARE(strona::glowa(u(" 600"), code).section(QLatin1Char('\r'), 7, 7), line);
}

void TstStrona::seconds_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("seconds"); // empty: not a time limit
    const QLocale c = QLocale::c();
    const QLocale pl(QLocale::Polish, QLocale::Poland);
    QTest::newRow("10") << c << u("10") << u(" 600");
    QTest::newRow("-5") << c << u("-5") << u("-300");
    QTest::newRow("0") << c << u("0") << u(" 0");
    QTest::newRow("-0 has no sign") << c << u("-0") << u(" 0");
    QTest::newRow("polish 1,5") << pl << u("1,5") << u(" 90");
    QTest::newRow("c 1.5") << c << u("1.5") << u(" 90");
    QTest::newRow("fraction of a second") << c << u("1.01") << u(" 60.6");
    QTest::newRow("0.1 stays short") << c << u("0.1") << u(" 6");
    QTest::newRow("blanks around") << c << u(" 2 ") << u(" 120");
    QTest::newRow("empty") << c << QString() << QString();
    QTest::newRow("words") << c << u("abc") << QString();
    QTest::newRow("number then words") << c << u("10 min") << QString();
    QTest::newRow("polish takes no point") << pl << u("1.5") << QString();
    QTest::newRow("infinite") << c << u("inf") << QString();
    QTest::newRow("not a number") << c << u("nan") << QString();
    QTest::newRow("too large times 60") << c << u("1e308") << QString();
    QTest::newRow("huge stays plain digits") << c << u("1e14") << u(" 6000000000000000");
}

void TstStrona::seconds()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, minutes);
    QFETCH(QString, seconds);
    const std::optional<double> value = strona::sekundyZMinut(minutes, locale);
    QCOMPARE(value.has_value(), !seconds.isEmpty());
    if (value)
        QCOMPARE(strona::sekundy(*value), seconds);
}

void TstStrona::tailAndFoot()
{
    QCOMPARE(
        strona::ogon(),
        lines({
            "msg.document.write(\"<BODY><HR>W sumie uzyskałeś</BODY><B> \",punkty,\"</B> punktów<BR>na <B>\","
            "maks,\"</B> możliwe.<BR><BR>\");",
            "msg.document.write(\"<BODY><HR>Procent poprawnych odpowiedzi </BODY><B> \","
            "Math.max(Math.round(1000*punkty/maks)/10,0),\"</B> % <B>\");",
            "{",
            "    msg.document.write(\"<CENTER><FORM><INPUT TYPE='button' VALUE='Zamknij' "
            "onClick='javascript:window.close()'></FORM></CENTER>\");",
            "}",
            "}",
            "function wynikwstronie() {",
            "var ramka=document.getElementById(\"wynikwstronie\");",
            "if (!ramka) {",
            "ramka=document.createElement(\"IFRAME\");",
            "ramka.id=\"wynikwstronie\";",
            "ramka.style.cssText=\"position:fixed;top:0;right:0;width:330px;height:540px;"
            "border:2px solid #345;background:#fff;z-index:10\";",
            "document.body.appendChild(ramka);",
            "}",
            "ramka.style.display=\"block\";",
            "var okno=ramka.contentWindow;",
            "return {document:{write:function() {",
            "okno.document.write.apply(okno.document,arguments);",
            "okno.close=function() {ramka.style.display=\"none\";};",
            "}}};",
            "}",
        }) +
            u("</SCRIPT><TABLE ALIGN=\"left\" WIDTH=\"90%\" BORDER=\"0\" CELLSPACING=\"0\" CELLPADDING=\"0\">"
              "<TR><TD ALIGN=\"right\"><BR><BR><BR></TD></TR><TR><TD><H1>Test</H1><HR>"
              "<!-- tabela zawieraj±ca test --><TABLE WIDTH=\"100%\" CELLSPACING=\"2\" CELLPADDING=\"12\" "
              "BORDER=\"0\"><TR VALIGN=\"top\" CLASS=\"start\">"));
    QCOMPARE(
        strona::stopka(),
        u("</FORM></TABLE><HR ONCLICK=\"JavaScript:wynik()\"><H4>Jeżeli dotarłeś do tego miejsca to możesz "
          "jeszcze wrócić<BR>i coś poprawić !<BR></H4><CENTER><INPUT TYPE=\"Button\" Id=\"button\" "
          "NAME=\"question\" VALUE=\"K O N I E C\" ALIGN=\"center\" "
          "ONCLICK=\"parent.location.href='koniec.html'\"><CENTER><BR><BR></FORM>"
          "<!--koniec tabeli zawieraj±cej test--></TD></TR></TABLE></BODY></HTML>"));
}

void TstStrona::fileBytes()
{
    const QString page = strona::glowa(u(" 60"), u("kod")) + strona::ogon() + strona::stopka();
    const QByteArray bytes = strona::bajty(page);
    QVERIFY(bytes.endsWith("</BODY></HTML>\r\n"));
    QCOMPARE(bytes.count('\n'), 1); // only the final line feed
    QVERIFY(bytes.contains("<!-- tabela zawieraj\xb1"
                           "ca test -->"));
    QVERIFY(bytes.contains("<!--koniec tabeli zawieraj\xb1"
                           "cej test-->"));
    QVERIFY(bytes.contains("doros\xb3ych")); // ł
    QVERIFY(bytes.contains("Je\xbf"
                           "eli dotar\xb3"
                           "e\x9c"));        // ż ł ś
    QCOMPARE(bytes.size(), page.size() + 2); // one byte a character
}

// A device that takes nothing, like a full disk.
class FullDevice : public QIODevice
{
protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64) override
    {
        setErrorString(QStringLiteral("brak miejsca"));
        return -1;
    }
};

void TstStrona::writeReplacesWholeOrFails()
{
    const QString page = u("<HTML>łą</HTML>");
    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QVERIFY(strona::zapisz(buffer, page));
    QCOMPARE(buffer.data(), QByteArray("<HTML>\xb3\xb9</HTML>\r\n"));

    FullDevice full;
    QVERIFY(full.open(QIODevice::WriteOnly));
    QString error;
    QVERIFY(!strona::zapisz(full, page, &error));
    QCOMPARE(error, u("brak miejsca"));

    TempCwd dir;
    QVERIFY(writeAll(u("test.html"), QByteArray(5000, 'x')));
    QVERIFY(strona::zapisz(u("test.html"), page));
    QCOMPARE(readAll(u("test.html")), QByteArray("<HTML>\xb3\xb9</HTML>\r\n"));

    QVERIFY(QDir().mkdir(u("folder")));
    error.clear();
    QVERIFY(!strona::zapisz(u("folder"), page, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(QDir().entryList(QDir::Files).size(), 1); // no temporary file left behind
}

QTEST_GUILESS_MAIN(TstStrona)
#include "tst_strona.moc"
