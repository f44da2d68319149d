#include "teksty.h"
#include "zbieracz.h"

#include <QRegularExpression>

// Aiken: a question on its lines, then its answers "A. ..." or "A) ..." (a space after the mark or
// not), then "ANSWER: A". Plain text throughout, so it is written into HTML with & < > as entities.
// A block that is not whole is refused with its lines named; nothing joins a neighbouring question.
namespace wymiana::detail {

namespace {

const QRegularExpression& klucz()
{
    static const QRegularExpression re(QStringLiteral("^ANSWER\\s*:\\s*([A-Za-z])$"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

QString wiersze(int pierwszy, int ostatni)
{
    return pierwszy == ostatni ? QStringLiteral("wiersz %1").arg(pierwszy)
                               : QStringLiteral("wiersze %1–%2").arg(pierwszy).arg(ostatni);
}

// One question's lines while they are read.
struct Blok
{
    int pierwszy = 0, ostatni = 0; // its lines, from 1
    QStringList pytanie;
    QList<std::pair<QChar, QString>> opcje;
    bool bezPytania() const { return pytanie.isEmpty(); }
};

} // namespace

bool wygladaNaAiken(const QString& text)
{
    for (const QStringView line : QStringView(text).split(QLatin1Char('\n')))
        if (klucz().match(line.trimmed()).hasMatch())
            return true;
    return false;
}

void czytajAiken(const QString& text, Zbieracz& zb)
{
    static const QRegularExpression opcja(QStringLiteral("^([A-Z])[.)]\\s*(.*)$"));
    Blok b;
    // Lines of answers or keys with no question before them: refused, and said so.
    auto bezTresci = [&] {
        QString ktore = wiersze(b.pierwszy, b.ostatni);
        ktore[0] = ktore.at(0).toUpper();
        zb.linia(
            QStringLiteral("%1 odrzucono: odpowiedzi lub wiersz „ANSWER:” bez treści pytania przed nimi.")
                .arg(ktore));
        b = Blok();
    };
    // Closes the block; `answer` is the key's letter, or none when the block has no key.
    auto zamknij = [&](QChar answer) {
        int numer = 0;
        if (zb.nastepny(numer)) {
            QString powod;
            qsizetype niepuste = 0;
            bool jest = false;
            for (const auto& [letter, tekst] : std::as_const(b.opcje)) {
                niepuste += !tekst.trimmed().isEmpty();
                jest = jest || (letter == answer && !tekst.trimmed().isEmpty());
            }
            if (answer.isNull() && b.opcje.isEmpty())
                powod = QStringLiteral("po treści pytania nie ma odpowiedzi ani wiersza „ANSWER:”");
            else if (answer.isNull())
                powod =
                    QStringLiteral("po odpowiedziach nie ma wiersza „ANSWER:” z literą poprawnej odpowiedzi");
            else if (b.opcje.isEmpty())
                powod = QStringLiteral("przed wierszem „ANSWER:” nie ma odpowiedzi „A.” lub „A)”");
            else if (niepuste < 2)
                powod = QStringLiteral("ma mniej niż dwie niepuste odpowiedzi");
            else if (!jest)
                powod = QStringLiteral("wiersz „ANSWER: %1” wskazuje odpowiedź, której nie ma").arg(answer);
            if (!powod.isEmpty()) {
                zb.pomin(numer,
                         QStringLiteral("%1 odrzucono, bo %2").arg(wiersze(b.pierwszy, b.ostatni), powod));
            } else {
                PytanieObce p;
                p.rodzaj = PytanieObce::Rodzaj::Wybor;
                p.tekst = html(b.pytanie.join(QLatin1Char('\n')));
                for (const auto& [letter, tekst] : std::as_const(b.opcje))
                    p.odpowiedzi.append({html(tekst), letter == answer ? 100.0 : 0.0});
                zb.dodaj(numer, p);
            }
        }
        b = Blok();
    };
    int wiersz = 0;
    for (const QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        ++wiersz;
        if (zb.pelny())
            return;
        const QStringView t = line.trimmed();
        if (t.isEmpty())
            continue;
        const auto k = klucz().match(t);
        const auto o = k.hasMatch() ? QRegularExpressionMatch() : opcja.match(t);
        if (!k.hasMatch() && !o.hasMatch()) { // the question's text
            if (!b.opcje.isEmpty() || (b.pierwszy > 0 && b.bezPytania()))
                b.bezPytania() ? bezTresci() : zamknij(QChar()); // it begins the next question
            if (b.pierwszy == 0)
                b.pierwszy = wiersz;
            b.ostatni = wiersz;
            b.pytanie << t.toString();
            continue;
        }
        if (b.pierwszy == 0)
            b.pierwszy = wiersz;
        b.ostatni = wiersz;
        if (b.bezPytania())
            continue; // a stray line, reported when the next question begins
        if (k.hasMatch())
            zamknij(k.captured(1).toUpper().at(0));
        else
            b.opcje.append({o.captured(1).at(0), o.captured(2)});
    }
    if (b.pierwszy > 0)
        b.bezPytania() ? bezTresci() : zamknij(QChar());
}

} // namespace wymiana::detail
