// Pages from the real builder with seeded answers, and the points the rule book gives them, as
// JSON for punktacja.test.mjs, which runs each page's own script on the same answers.
//   punktacja SEED
#include "reguly.h"
#include "rekordtestowy.h"
#include "strona.h"
#include "tempdir.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>

#include <cstdio>

int main(int argc, char** argv)
{
    QRandomGenerator los(argc > 1 ? QByteArray(argv[1]).toUInt() : 1);
    QList<rekord> pula;
    for (const char* set : {"wadliwe", "wszystkie", "losowe"}) {
        const QByteArray bytes = readAll(u(TESTOWNIK_DATA "/przegladarka/") + u(set));
        for (qsizetype at = 0; at + rekord::size <= bytes.size(); at += rekord::size)
            pula << rekord::decode(bytes.mid(at, rekord::size));
    }
    // Every type, an unknown one too, with marks of every kind and model answers the script must
    // take exactly: quotes, a backslash, outer and inner spaces, letter case, a script's end.
    const QStringList wzory{u"dwa"_s, u"  Dwa  "_s, u"a\"b\\c"_s, u"</script>x"_s, QString(), u"żółć ź"_s};
    for (int i = 0; i < 60; ++i) {
        std::array<qint16, 5> marks{};
        for (qint16& m : marks)
            m = qint16(los.bounded(4) ? los.bounded(2) : int(los.bounded(5)) - 1 - (los.bounded(4) ? 0 : 30));
        const qint16 typ = qint16(std::array{0, 1, 2, 7}[los.bounded(4)]);
        if (typ == 1)
            marks[los.bounded(5)] = -1;
        pula << pytanie(typ, u"P"_s, wzory[los.bounded(wzory.size())] + u"|b|c|d|e"_s, marks);
    }

    QJsonArray przypadki;
    for (int n = 0; n < 400; ++n) {
        // Each question alone first, then a page without questions, then pages of up to six.
        QList<rekord> strona;
        if (n < pula.size())
            strona << pula[n];
        else if (n > pula.size())
            for (int k = 1 + int(los.bounded(6)); k > 0; --k)
                strona << pula[los.bounded(pula.size())];
        QJsonArray odpowiedzi;
        reguly::Punkty suma;
        for (const rekord& r : strona) {
            const Pytanie p = Pytanie::zRekordu(r);
            reguly::Odpowiedz o;
            for (bool& z : o.zaznaczone)
                z = los.bounded(2);
            const QStringList wpisy{p.wzor(), p.wzor() + u" "_s, p.wzor().toUpper(), QString(), u"dwa"_s};
            o.wpisana = wpisy[los.bounded(wpisy.size())];
            const reguly::Punkty w = reguly::punkty(p, o);
            suma.punkty += w.punkty, suma.maks += w.maks;
            odpowiedzi.append(QJsonObject{
                {u"z"_s, QJsonArray{o.zaznaczone[0], o.zaznaczone[1], o.zaznaczone[2], o.zaznaczone[3]}},
                {u"w"_s, o.wpisana}});
        }
        const QString kod = n % 3 ? u"kod%1"_s.arg(n) : QString();
        const std::optional<double> procent = reguly::procent(suma.punkty, suma.maks);
        przypadki.append(QJsonObject{
            {u"strona"_s,
             QString::fromLatin1(strona::bajty(strona::strona(strona, u" 600"_s, kod)).toBase64())},
            {u"kod"_s, kod},
            {u"odpowiedzi"_s, odpowiedzi},
            {u"punkty"_s, suma.punkty},
            {u"maks"_s, suma.maks},
            {u"procent"_s, procent ? QJsonValue(*procent) : QJsonValue()}});
    }
    std::fputs(QJsonDocument(przypadki).toJson(QJsonDocument::Compact).constData(), stdout);
    return 0;
}
