#include "teksty.h"
#include "zbieracz.h"

#include <QRegularExpression>

// Aiken: a question on its lines, then its answers "A. ..." or "A) ...", then "ANSWER: A".
// Plain text throughout, so it is written into HTML with & < > as entities.
namespace wymiana::detail {

namespace {

const QRegularExpression& klucz()
{
    static const QRegularExpression re(QStringLiteral("^ANSWER\\s*:\\s*([A-Za-z])$"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

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
    static const QRegularExpression opcja(QStringLiteral("^([A-Z])[.)]\\s+(.*)$"));
    QStringList pytanie;
    QList<std::pair<QChar, QString>> opcje;
    auto zamknij = [&](QChar answer) {
        int numer = 0;
        if (zb.nastepny(numer)) {
            PytanieObce p;
            p.rodzaj = PytanieObce::Rodzaj::Wybor;
            p.tekst = html(pytanie.join(QLatin1Char('\n')));
            for (const auto& [letter, tekst] : std::as_const(opcje))
                p.odpowiedzi.append({html(tekst), letter == answer ? 100.0 : 0.0});
            zb.dodaj(numer, p);
        }
        pytanie.clear();
        opcje.clear();
    };
    for (const QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        if (zb.pelny())
            return;
        const QStringView t = line.trimmed();
        if (t.isEmpty())
            continue;
        if (const auto m = klucz().match(t); m.hasMatch() && !pytanie.isEmpty()) {
            zamknij(m.captured(1).toUpper().at(0));
            continue;
        }
        if (const auto m = opcja.match(t); m.hasMatch() && !pytanie.isEmpty()) {
            opcje.append({m.captured(1).at(0), m.captured(2)});
            continue;
        }
        if (!opcje.isEmpty())
            zamknij(QChar()); // a new question begins: the last one had no ANSWER line
        pytanie << t.toString();
    }
    if (!pytanie.isEmpty())
        zamknij(QChar());
}

} // namespace wymiana::detail
