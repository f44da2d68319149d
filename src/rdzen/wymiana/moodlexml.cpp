#include "eksport.h"
#include "teksty.h"
#include "zbieracz.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cmath>

// Moodle XML: a <quiz> of <question type="..."> elements, texts in <text>, answers with a
// fraction in percent, pictures as base64 <file>s referred to by @@PLUGINFILE@@/name.
namespace wymiana::detail {

namespace {

QString rodzajMoodle(const QString& typ)
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("essay"), QStringLiteral("esej")},
        {QStringLiteral("numerical"), QStringLiteral("numeryczne")},
        {QStringLiteral("matching"), QStringLiteral("dopasowywanie")},
        {QStringLiteral("randomsamatch"), QStringLiteral("dopasowywanie")},
        {QStringLiteral("cloze"), QStringLiteral("z lukami (cloze)")},
        {QStringLiteral("multianswer"), QStringLiteral("z lukami (cloze)")},
        {QStringLiteral("random"), QStringLiteral("losowe")},
        {QStringLiteral("description"), QStringLiteral("opis")},
        {QStringLiteral("calculated"), QStringLiteral("obliczeniowe")},
        {QStringLiteral("calculatedsimple"), QStringLiteral("obliczeniowe")},
        {QStringLiteral("calculatedmulti"), QStringLiteral("obliczeniowe")},
        {QStringLiteral("ddwtos"), QStringLiteral("przeciąganie do tekstu")},
        {QStringLiteral("ddimageortext"), QStringLiteral("przeciąganie na obraz")},
        {QStringLiteral("ddmarker"), QStringLiteral("przeciąganie znaczników")},
        {QStringLiteral("gapselect"), QStringLiteral("wybór brakujących słów")},
        {QStringLiteral("ordering"), QStringLiteral("porządkowanie")},
    };
    return names.value(typ, typ.isEmpty() ? QStringLiteral("bez typu") : typ);
}

QString blad(const QXmlStreamReader& x)
{
    if (x.error() == QXmlStreamReader::PrematureEndOfDocumentError)
        return QStringLiteral("plik urywa się w wierszu %1").arg(x.lineNumber());
    return QStringLiteral("błąd w wierszu %1, w kolumnie %2").arg(x.lineNumber()).arg(x.columnNumber());
}

// The text in the current element, that of child elements included. Qt's readElementText
// recurses into each child, so an HTML text outside CDATA with many unclosed tags (<img>, <br>)
// would run out of stack; this reads them in one loop.
QString tekstElementu(QXmlStreamReader& x)
{
    QString out;
    for (int depth = 1; depth > 0 && !x.atEnd();) {
        switch (x.readNext()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::Characters:
            out += x.text();
            break;
        default:
            break;
        }
    }
    return out;
}

struct Plik
{
    QString nazwa; // with the folder Moodle gives it, as @@PLUGINFILE@@ refers to it
    QString kodowanie;
    QString dane;
};

struct OdpowiedzMoodle
{
    Odpowiedz odp;
    bool plain = false;
};

// The elements of one <question> that the set can use; the rest is skipped.
bool pytanie(QXmlStreamReader& x, Zbieracz& zb)
{
    using R = PytanieObce::Rodzaj;
    const QString typ = x.attributes().value(QLatin1String("type")).toString();
    if (typ == QLatin1String("category")) {
        x.skipCurrentElement();
        return true;
    }
    int numer = 0;
    if (!zb.nastepny(numer))
        return false;
    QString tekst, format = QStringLiteral("html");
    QList<Plik> pliki;
    Plik stary{QString(), QStringLiteral("base64"), QString()}; // Moodle 1.9's <image>, <image_base64>
    QList<OdpowiedzMoodle> odpowiedzi;
    bool single = true;
    PytanieObce p;
    while (x.readNextStartElement()) {
        if (x.name() == QLatin1String("questiontext")) {
            const auto f = x.attributes().value(QLatin1String("format"));
            if (!f.isEmpty())
                format = f.toString();
            while (x.readNextStartElement()) {
                if (x.name() == QLatin1String("text")) {
                    tekst = tekstElementu(x);
                } else if (x.name() == QLatin1String("file")) {
                    QString path = x.attributes().value(QLatin1String("path")).toString();
                    while (path.startsWith(QLatin1Char('/')))
                        path.remove(0, 1);
                    Plik p{path + x.attributes().value(QLatin1String("name")).toString(),
                           x.attributes().value(QLatin1String("encoding")).toString(), QString()};
                    p.dane = tekstElementu(x);
                    pliki.append(p);
                } else {
                    x.skipCurrentElement();
                }
            }
        } else if (x.name() == QLatin1String("answer")) {
            OdpowiedzMoodle o;
            const double fraction = x.attributes().value(QLatin1String("fraction")).toDouble();
            o.odp.ulamek = std::isfinite(fraction) ? fraction : 0;
            o.plain = x.attributes().value(QLatin1String("format")) == QLatin1String("plain_text");
            while (x.readNextStartElement()) {
                if (x.name() == QLatin1String("text"))
                    o.odp.tekst = tekstElementu(x);
                else
                    x.skipCurrentElement();
            }
            if (odpowiedzi.size() < limitOdpowiedzi)
                odpowiedzi.append(o);
            else
                ++p.nadmiar;
        } else if (x.name() == QLatin1String("image")) {
            stary.nazwa = x.readElementText().trimmed();
        } else if (x.name() == QLatin1String("image_base64")) {
            stary.dane = x.readElementText();
        } else if (x.name() == QLatin1String("single")) {
            const QString v = x.readElementText().trimmed().toLower();
            single = v == QLatin1String("true") || v == QLatin1String("1");
        } else {
            x.skipCurrentElement();
        }
    }
    if (x.hasError())
        return false;

    p.tekst = format == QLatin1String("plain_text") ? html(tekst) : tekst;
    if (typ == QLatin1String("multichoice")) {
        p.rodzaj = R::Wybor;
        p.jednokrotny = single;
        for (OdpowiedzMoodle& o : odpowiedzi) {
            o.odp.tekst = o.plain ? html(o.odp.tekst) : bezAkapitu(o.odp.tekst);
            for (const QString& name : wyjmijRysunki(o.odp.tekst))
                p.bezRysunku.append({name, QStringLiteral("rysunki w odpowiedziach nie są przenoszone")});
            p.odpowiedzi.append(o.odp);
        }
    } else if (typ == QLatin1String("truefalse")) {
        p.rodzaj = R::PrawdaFalsz;
        double prawda = 0, falsz = 0;
        for (const OdpowiedzMoodle& o : std::as_const(odpowiedzi)) {
            const QString t = o.odp.tekst.trimmed().toLower();
            if (t == QLatin1String("true"))
                prawda = o.odp.ulamek;
            else if (t == QLatin1String("false"))
                falsz = o.odp.ulamek;
        }
        if (prawda <= 0 && falsz <= 0)
            p.rodzaj = R::Wybor; // no answer is right: reported as such
        p.prawda = prawda > 0;
    } else if (typ == QLatin1String("shortanswer")) {
        p.rodzaj = R::Krotka;
        for (const OdpowiedzMoodle& o : std::as_const(odpowiedzi))
            p.odpowiedzi.append(o.odp);
    } else {
        p.opisRodzaju = rodzajMoodle(typ);
    }

    QStringList names = wyjmijRysunki(p.tekst);
    // Moodle 1.9 kept the picture beside the text; it goes after the text's own ones.
    if (!stary.nazwa.isEmpty()) {
        names << stary.nazwa;
        if (!stary.dane.trimmed().isEmpty())
            pliki << stary;
    }
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString& name = names.at(i);
        const auto file =
            std::find_if(pliki.cbegin(), pliki.cend(), [&](const Plik& f) { return f.nazwa == name; });
        QString powod;
        if (i > 0)
            powod = QStringLiteral("pytanie w zestawie ma tylko jeden rysunek");
        else if (file == pliki.cend())
            powod = QStringLiteral("nie ma go w pliku");
        else if (file->kodowanie != QLatin1String("base64"))
            powod = QStringLiteral("jego dane nie są zapisane w base64");
        if (powod.isEmpty()) {
            QByteArray data = file->dane.toLatin1();
            data.removeIf([](char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; });
            auto decoded = QByteArray::fromBase64Encoding(data, QByteArray::AbortOnBase64DecodingErrors);
            if (decoded) {
                p.rysunek = name;
                p.daneRysunku = *decoded;
            } else {
                powod = QStringLiteral("jego dane są uszkodzone");
            }
        }
        if (!powod.isEmpty())
            p.bezRysunku.append({name, powod});
    }
    zb.dodaj(numer, p);
    return true;
}

} // namespace

QString czytajMoodle(const QString& text, Zbieracz& zb)
{
    QXmlStreamReader x(text);
    // A document type declaration can declare entities (an entity bomb, or a file of the
    // disk); it can only come before the root element, so it is refused before any is used.
    while (!x.atEnd() && x.readNext() != QXmlStreamReader::StartElement) {
        if (x.tokenType() == QXmlStreamReader::DTD)
            return QStringLiteral("ma deklarację typu dokumentu (DTD), a takich plików program nie wczytuje");
    }
    if (x.hasError())
        return blad(x);
    if (x.tokenType() != QXmlStreamReader::StartElement || x.name() != QLatin1String("quiz"))
        return nieQuiz;
    while (x.readNextStartElement()) {
        if (x.name() != QLatin1String("question"))
            x.skipCurrentElement();
        else if (!pytanie(x, zb))
            break;
    }
    if (zb.pelny())
        return QString();
    while (!x.atEnd())
        x.readNext();
    return x.hasError() ? blad(x) : QString();
}

} // namespace wymiana::detail

namespace wymiana {

Eksport moodleXml(const QList<rekord>& pytania, const QString& folderZestawu)
{
    using namespace detail;
    Eksport w;
    QStringList uwagi;
    QBuffer buffer(&w.bajty);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter x(&buffer);
    x.setAutoFormatting(true);
    x.setAutoFormattingIndent(2);
    x.writeStartDocument();
    x.writeStartElement(QStringLiteral("quiz"));
    // <name format="..."><text>...</text></name>; HTML goes in CDATA, as Moodle writes it.
    auto element = [&x](const QString& name, const QString& format, const QString& text, bool cdata) {
        x.writeStartElement(name);
        if (!format.isEmpty())
            x.writeAttribute(QStringLiteral("format"), format);
        x.writeStartElement(QStringLiteral("text"));
        cdata ? x.writeCDATA(text) : x.writeCharacters(text);
        x.writeEndElement();
    };
    const QString html = QStringLiteral("html");
    for (qsizetype i = 0; i < pytania.size(); ++i) {
        const int numer = int(i + 1);
        const auto q = doEksportu(numer, pytania.at(i), uwagi);
        if (!q)
            continue;
        QString text = q->tekst;
        QByteArray picture;
        bool found = false;
        if (!q->rysunek.isEmpty()) {
            QFile file(QDir(folderZestawu).filePath(q->rysunek));
            found = file.open(QIODevice::ReadOnly) && file.size() <= limitTekstu;
            if (found) {
                picture = file.readAll();
                text += (text.isEmpty() ? QString() : QStringLiteral("<br>")) +
                        QStringLiteral("<img src=\"@@PLUGINFILE@@/%1\" alt=\"\">")
                            .arg(QString::fromLatin1(QUrl::toPercentEncoding(q->rysunek)));
            } else {
                uwagi << QStringLiteral("Pytanie nr %1: rysunku „%2” nie ma w folderze zestawu, pytanie "
                                        "zapisano bez niego.")
                             .arg(numer)
                             .arg(q->rysunek);
            }
        }
        x.writeStartElement(QStringLiteral("question"));
        x.writeAttribute(QStringLiteral("type"),
                         q->krotka ? QStringLiteral("shortanswer") : QStringLiteral("multichoice"));
        element(QStringLiteral("name"), QString(), q->nazwa, false);
        x.writeEndElement();
        element(QStringLiteral("questiontext"), html, text, true);
        if (found) {
            x.writeStartElement(QStringLiteral("file"));
            x.writeAttribute(QStringLiteral("name"), q->rysunek);
            x.writeAttribute(QStringLiteral("path"), QStringLiteral("/"));
            x.writeAttribute(QStringLiteral("encoding"), QStringLiteral("base64"));
            x.writeCharacters(QString::fromLatin1(picture.toBase64()));
            x.writeEndElement();
        }
        x.writeEndElement();
        element(QStringLiteral("generalfeedback"), html, QString(), false);
        x.writeEndElement();
        x.writeTextElement(QStringLiteral("defaultgrade"), QString::number(q->punkty));
        x.writeTextElement(QStringLiteral("penalty"), QStringLiteral("0"));
        x.writeTextElement(QStringLiteral("hidden"), QStringLiteral("0"));
        if (q->krotka) {
            // The page compares the typed answer letter for letter.
            x.writeTextElement(QStringLiteral("usecase"), QStringLiteral("1"));
        } else {
            x.writeTextElement(QStringLiteral("single"),
                               q->jednokrotny ? QStringLiteral("true") : QStringLiteral("false"));
            x.writeTextElement(QStringLiteral("shuffleanswers"), QStringLiteral("false"));
            x.writeTextElement(QStringLiteral("answernumbering"), QStringLiteral("abc"));
        }
        for (const Odpowiedz& o : q->odpowiedzi) {
            x.writeStartElement(QStringLiteral("answer"));
            x.writeAttribute(QStringLiteral("fraction"), ulamek(o.ulamek));
            x.writeAttribute(QStringLiteral("format"),
                             q->krotka ? QStringLiteral("moodle_auto_format") : html);
            x.writeStartElement(QStringLiteral("text"));
            if (q->krotka) // a star in a short answer stands for any text unless escaped
                x.writeCharacters(QString(o.tekst).replace(QLatin1Char('*'), QStringLiteral("\\*")));
            else
                x.writeCDATA(o.tekst);
            x.writeEndElement();
            element(QStringLiteral("feedback"), html, QString(), false);
            x.writeEndElement();
            x.writeEndElement();
        }
        x.writeEndElement();
        ++w.zapisane;
    }
    x.writeEndElement();
    x.writeEndDocument();
    w.raport = QStringList{podsumowanieEksportu(w.zapisane, pytania.size())} + uwagi;
    return w;
}

} // namespace wymiana
