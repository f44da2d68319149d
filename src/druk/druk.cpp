#include "druk.h"

#include "reguly.h"
#include "sprawdzenie.h"
#include "zapis.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QFontDatabase>
#include <QHash>
#include <QImageReader>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace druk {

namespace {

enum class Rodzaj { Zestaw, Test, Klucz };

// Sizes in the rich text are CSS pixels, 1/96 inch; the layout scales them to the PDF's dots.
constexpr int kolumnaNumeru = 34;
constexpr qreal maksWysokoscRysunku = 340; // about 9 cm, so a question always fits on a page
constexpr qreal dpiRysunku = 200;          // pictures are embedded no sharper than this

const QUrl adresRysunku(QStringLiteral("druk:rysunek"));

// DejaVu Sans carries the Polish letters and the box and check glyphs; it is taken from the
// system's fonts folder when there, else the family comes from the font configuration.
QString rodzinaCzcionki()
{
    static const QString family = [] {
        QString name;
        for (const char* file : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSans-Oblique.ttf"}) {
            const int id = QFontDatabase::addApplicationFont(
                QStringLiteral("/usr/share/fonts/truetype/dejavu/") + QLatin1String(file));
            if (id >= 0 && name.isEmpty())
                name = QFontDatabase::applicationFontFamilies(id).value(0);
        }
        return name.isEmpty() ? QStringLiteral("DejaVu Sans") : name;
    }();
    return family;
}

QString lamania(const QString& html)
{
    QString s = html;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
    s.replace(QLatin1Char('\r'), QStringLiteral("<br>"));
    s.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    return s;
}

// A question text or answer as rich text: its markup renders, as in the page, but a lone "<"
// or "&" shows as itself, and the line breaks typed in the editor are kept.
QString tresc(const QString& text)
{
    QString s;
    s.reserve(text.size() + 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('<') && !sprawdzenie::zaczynaZnacznik(text, i))
            s += QStringLiteral("&lt;");
        else if (c == QLatin1Char('&') && !sprawdzenie::zaczynaEncje(text, i))
            s += QStringLiteral("&amp;");
        else
            s += c;
    }
    return lamania(s);
}

// Plain text (the model answer, the set's name) as rich text.
QString zwykly(const QString& text)
{
    return lamania(text.toHtmlEscaped());
}

class Rysunki
{
public:
    explicit Rysunki(const QString& folder) : folder_(folder) {}

    // Null when the picture cannot be read.
    const QImage& rysunek(const QString& name)
    {
        auto it = cache_.constFind(name);
        if (it == cache_.constEnd()) {
            QImageReader reader(QDir(folder_).filePath(name));
            reader.setAutoTransform(true);
            it = cache_.insert(name, reader.read());
        }
        return *it;
    }

private:
    QString folder_;
    QHash<QString, QImage> cache_;
};

// One question's rich text and its picture, if it has one.
struct Blok
{
    QString html;
    QImage obraz;
};

QString rodzajPytania(const Pytanie& p)
{
    switch (p.typ) {
    case Pytanie::Typ::Wybor:
        return QStringLiteral("wielokrotny wybór");
    case Pytanie::Typ::Opcja:
        return QStringLiteral("jednokrotny wybór");
    case Pytanie::Typ::Tekst:
        return QStringLiteral("odpowiedź wpisywana");
    default:
        return QStringLiteral("nieznany typ %1, w teście jako wielokrotny wybór").arg(p.kodTypu());
    }
}

QString akapit(const QString& inner, int below = 3)
{
    return QStringLiteral("<p style=\"margin-top:0; margin-bottom:%1px\">%2</p>").arg(below).arg(inner);
}

Blok blok(const Pytanie& p, int nr, Rodzaj rodzaj, bool wgTekstu, qreal szerokosc, Rysunki& rysunki)
{
    const bool marks = rodzaj != Rodzaj::Test;
    const bool numbers = !(rodzaj == Rodzaj::Klucz && wgTekstu);
    Blok b;
    QString body;
    if (rodzaj == Rodzaj::Zestaw)
        body +=
            QStringLiteral("<p style=\"margin-top:0; margin-bottom:2px; font-size:8pt; color:#555\">%1</p>")
                .arg(rodzajPytania(p));
    body += akapit(tresc(p.tresc), 6);

    const QString& picture = p.rysunek;
    if (reguly::jestRysunkiem(picture)) {
        const QImage& image = rysunki.rysunek(picture);
        if (image.isNull()) {
            body += akapit(QStringLiteral("<i>(brak rysunku „%1”)</i>").arg(zwykly(picture)), 6);
        } else {
            const qreal scale = std::min(
                {1.0, (szerokosc - kolumnaNumeru) / image.width(), maksWysokoscRysunku / image.height()});
            const QSizeF shown(image.width() * scale, image.height() * scale);
            const QSize dots = (shown * dpiRysunku / 96).toSize();
            b.obraz = dots.width() < image.width()
                          ? image.scaled(dots, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                          : image;
            body += akapit(QStringLiteral("<img src=\"%1\" width=\"%2\" height=\"%3\">")
                               .arg(adresRysunku.toString())
                               .arg(qRound(shown.width()))
                               .arg(qRound(shown.height())),
                           6);
        }
    }

    if (reguly::typNaStronie(p) == Pytanie::Typ::Tekst) {
        if (marks)
            body += akapit(
                QStringLiteral("<b>☑ Wzór odpowiedzi: <span style=\"white-space:pre-wrap\">%1</span></b>")
                    .arg(zwykly(p.wzor())));
        else
            body += akapit(QStringLiteral("Odpowiedź: ______________________________"));
    } else {
        const std::array<bool, 5> right = reguly::prawidlowe(p);
        const bool single = reguly::typNaStronie(p) == Pytanie::Typ::Opcja;
        // The review copy also shows a fifth answer, which the page leaves out.
        const bool fifth = rodzaj == Rodzaj::Zestaw && (!p.odpowiedzi[4].isEmpty() || p.znaczniki[4] != 0);
        for (int k = 1; k <= (fifth ? 5 : reguly::odpowiedziNaStronie); ++k) {
            const bool mark = marks && right[k - 1];
            const QString box = single ? (mark ? QStringLiteral("◉") : QStringLiteral("○"))
                                       : (mark ? QStringLiteral("☑") : QStringLiteral("☐"));
            QString line = box + QLatin1Char(' ');
            if (numbers)
                line += QLatin1Char(char('a' + k - 1)) + QStringLiteral(") ");
            line += tresc(p.odpowiedzi[k - 1]);
            if (k == 5)
                line += QStringLiteral(" <i>(nie pojawi się w teście)</i>");
            body += akapit(mark ? QStringLiteral("<b>") + line + QStringLiteral("</b>") : line);
        }
    }

    const QString number = numbers ? QString::number(nr) + QLatin1Char('.') : QStringLiteral("•");
    b.html = QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"0\"><tr>"
                            "<td width=\"%1\"><b>%2</b></td><td>%3</td></tr></table>")
                 .arg(kolumnaNumeru)
                 .arg(number, body);
    return b;
}

// The rows of label and value under a document's title.
QString naglowek(const QString& tytul, const QList<std::pair<QString, QString>>& wiersze,
                 const QString& uwaga)
{
    QString s = QStringLiteral("<p style=\"margin-top:0; margin-bottom:8px; font-size:17pt\"><b>%1</b></p>")
                    .arg(zwykly(tytul));
    s += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"1\">");
    for (const auto& [label, value] : wiersze)
        s += QStringLiteral("<tr><td>%1</td><td width=\"8\"></td><td><b>%2</b></td></tr>").arg(label, value);
    s += QStringLiteral("</table>");
    if (!uwaga.isEmpty())
        s += QStringLiteral("<p style=\"margin-top:8px; margin-bottom:0; font-size:9pt; color:#444\">%1</p>")
                 .arg(uwaga);
    return s + QStringLiteral("<hr>");
}

// A document's title with the set's name, as the footer of every page shows it.
QString tytul(const QString& what, const QString& nazwaZestawu)
{
    return nazwaZestawu.isEmpty() ? what : what + QStringLiteral(": ") + nazwaZestawu;
}

QString data(const QDate& date)
{
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

// Lays out the title block and the questions one by one, each as its own rich text, and starts
// a new page when the next one does not fit; the page numbers need the count, so the layout
// is run twice rather than keeping every question's layout in memory.
Wynik<void> drukuj(const QString& tytul, const QString& glowa, qsizetype ile,
                   const std::function<Blok(qsizetype)>& pytanie, const QString& folder, const QString& path)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setTitle(tytul);
    writer.setCreator(QStringLiteral("Testownik"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(20, 15, 20, 12), QPageLayout::Millimeter));
    const qreal dpi = writer.resolution();
    const QRectF area = writer.pageLayout().paintRectPixels(writer.resolution());
    const qreal mm = dpi / 25.4;
    const qreal footer = 8 * mm;
    const qreal gap = 5 * mm;
    const qreal usable = area.height() - footer;

    QFont font(rodzinaCzcionki());
    font.setPointSizeF(10.5);
    // Any letter spacing turns ligatures off, so that "fi" is two letters when the text is
    // searched or copied out of the PDF; this one is far below a visible amount.
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.02);

    auto make = [&](const QString& html, const QImage& image) {
        auto doc = std::make_unique<QTextDocument>();
        doc->documentLayout()->setPaintDevice(&writer);
        doc->setDefaultFont(font);
        doc->setDocumentMargin(0);
        doc->setBaseUrl(QUrl::fromLocalFile(QDir(folder).absolutePath() + QLatin1Char('/')));
        if (!image.isNull())
            doc->addResource(QTextDocument::ImageResource, adresRysunku, image);
        doc->setTextWidth(area.width());
        doc->setHtml(html);
        return doc;
    };
    auto item = [&](qsizetype i) -> std::unique_ptr<QTextDocument> {
        if (i < 0)
            return make(glowa, {});
        const Blok b = pytanie(i);
        return make(b.html, b.obraz);
    };

    // Where each block goes: page and top, the title block first.
    std::vector<std::pair<int, qreal>> place;
    place.reserve(size_t(ile + 1));
    int page = 0;
    qreal y = 0;
    for (qsizetype i = -1; i < ile; ++i) {
        const qreal h = item(i)->size().height();
        if (y > 0 && y + h > usable) {
            ++page;
            y = 0;
        }
        place.emplace_back(page, y);
        y += h + gap;
    }
    const int pages = page + 1;

    QPainter painter;
    if (!painter.begin(&writer))
        return Blad{Blad::Rodzaj::Dokument, {}};
    QFont small = font;
    small.setPointSizeF(8);
    auto stopka = [&](int p) {
        painter.save();
        painter.setFont(small);
        painter.setPen(QColor(0x55, 0x55, 0x55));
        painter.drawText(QRectF(0, area.height() - footer + 2 * mm, area.width(), footer - 2 * mm),
                         Qt::AlignHCenter | Qt::AlignBottom,
                         QStringLiteral("%1 · strona %2 z %3").arg(tytul).arg(p + 1).arg(pages));
        painter.restore();
    };
    int current = 0;
    for (qsizetype i = -1; i < ile; ++i) {
        const auto& [p, top] = place[size_t(i + 1)];
        if (p != current) {
            stopka(current);
            writer.newPage();
            current = p;
        }
        painter.save();
        painter.translate(0, top);
        item(i)->drawContents(&painter);
        painter.restore();
    }
    stopka(current);
    painter.end();
    buffer.close();
    return io::zapiszBezpiecznie(path, buffer.data());
}

Wynik<void> pytania(Rodzaj rodzaj, const QString& tytul, const QString& glowa, const QList<rekord>& rekordy,
                    bool wgTekstu, const QString& folder, const QString& path)
{
    Rysunki rysunki(folder);
    // The text width in CSS pixels, for scaling pictures: A4 less the margins.
    const qreal szerokosc = (210 - 40) / 25.4 * 96;
    return drukuj(
        tytul, glowa, rekordy.size(),
        [&](qsizetype i) {
            return blok(Pytanie::zRekordu(rekordy.at(i)), int(i + 1), rodzaj, wgTekstu, szerokosc, rysunki);
        },
        folder, path);
}

// Rows a block of the results table holds: a block never splits across pages.
constexpr qsizetype wierszyWBloku = 25;

} // namespace

Wynik<void> zestaw(const QList<rekord>& rekordy, const QString& nazwaZestawu, const QString& folder,
                   const QString& path)
{
    const QString glowa =
        naglowek(QStringLiteral("Zestaw pytań"),
                 {{QStringLiteral("Zestaw:"), zwykly(nazwaZestawu)},
                  {QStringLiteral("Liczba pytań:"), QString::number(rekordy.size())}},
                 QStringLiteral("Odpowiedzi poprawne są pogrubione i zaznaczone: ◉ (jednokrotny wybór), "
                                "☑ (wielokrotny wybór). Numery pytań to ich numery w zestawie."));
    return pytania(Rodzaj::Zestaw, tytul(QStringLiteral("Zestaw pytań"), nazwaZestawu), glowa, rekordy, false,
                   folder, path);
}

Wynik<void> test(const QList<rekord>& rekordy, const Opis& opis, const QString& folder, const QString& path)
{
    QList<std::pair<QString, QString>> rows{
        {QStringLiteral("Imię i nazwisko:"), QStringLiteral("______________________________")}};
    if (!opis.data.isNull())
        rows.append({QStringLiteral("Data:"), data(opis.data)});
    if (!opis.minuty.isEmpty())
        rows.append({QStringLiteral("Czas:"), zwykly(opis.minuty) + QStringLiteral(" min")});
    const QString glowa = naglowek(tytul(QStringLiteral("Test"), opis.nazwaZestawu), rows,
                                   QStringLiteral("○ – zaznacz jedną odpowiedź. ☐ – zaznacz wszystkie "
                                                  "poprawne odpowiedzi. Przy linii wpisz odpowiedź małymi "
                                                  "literami."));
    return pytania(Rodzaj::Test, tytul(QStringLiteral("Test"), opis.nazwaZestawu), glowa, rekordy, false,
                   folder, path);
}

Wynik<void> klucz(const QList<rekord>& rekordy, const Opis& opis, const QString& folder, const QString& path)
{
    QList<std::pair<QString, QString>> rows{{QStringLiteral("Zestaw:"), zwykly(opis.nazwaZestawu)}};
    if (!opis.data.isNull())
        rows.append({QStringLiteral("Data:"), data(opis.data)});
    if (!opis.minuty.isEmpty())
        rows.append({QStringLiteral("Czas:"), zwykly(opis.minuty) + QStringLiteral(" min")});
    rows.append({QStringLiteral("Kod uruchomieniowy:"),
                 opis.kod.isEmpty() ? QStringLiteral("(brak)") : zwykly(opis.kod)});
    rows.append({QStringLiteral("Liczba pytań:"), QString::number(rekordy.size())});
    const QString uwaga = opis.wgTekstu ? QStringLiteral("Pytania i odpowiedzi są w teście przemieszane: "
                                                         "szukaj ich po treści, nie po numerze i literze.")
                                        : QString();
    return pytania(Rodzaj::Klucz, tytul(QStringLiteral("Klucz odpowiedzi"), opis.nazwaZestawu),
                   naglowek(QStringLiteral("Klucz odpowiedzi"), rows, uwaga), rekordy, opis.wgTekstu, folder,
                   path);
}

Wynik<void> wyniki(const QString& tytulDruku, const Tabela& tabela, const QString& path)
{
    QList<std::pair<QString, QString>> rows;
    for (const auto& [label, value] : tabela.opis)
        rows.append({zwykly(label), zwykly(value)});
    const QString glowa = naglowek(tytulDruku, rows, {});
    auto wiersz = [](const QStringList& komorki, const char* znacznik) {
        QString s = QStringLiteral("<tr>");
        for (const QString& k : komorki)
            s += QStringLiteral("<%1 align=\"left\">%2</%1>").arg(QLatin1String(znacznik), zwykly(k));
        return s + QStringLiteral("</tr>");
    };
    const qsizetype bloki = (tabela.wiersze.size() + wierszyWBloku - 1) / wierszyWBloku;
    return drukuj(
        tytulDruku, glowa, bloki,
        [&](qsizetype b) {
            QString html = QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"2\" "
                                          "border=\"1\" style=\"border-collapse:collapse\">") +
                           wiersz(tabela.naglowki, "th");
            for (const QStringList& w : tabela.wiersze.mid(b * wierszyWBloku, wierszyWBloku))
                html += wiersz(w, "td");
            return Blok{html + QStringLiteral("</table>"), {}};
        },
        {}, path);
}

} // namespace druk
