// A release code, a time limit and drawn records through the whole test page: each block's fixed parts,
// the code and the model answer read back as typed, no early script end, no loss in Windows-1250.

#include "codepage.h"
#include "losowanie.h"
#include "strona.h"

#include <QDataStream>

#include <bit>
#include <cassert>
#include <cmath>

// A double-quoted script string from just after its opening quote, read as a browser reads the
// escapes the page uses; moves pos past the closing quote. Empty when a line ends inside it.
static std::optional<QString> napis(const QString& s, qsizetype& pos)
{
    QString out;
    bool ok = true;
    while (ok && pos < s.size() && !QStringLiteral("\"\r\n").contains(s[pos])) {
        const bool escape = s[pos] == QLatin1Char('\\');
        const qsizetype k = escape ? QStringLiteral("\\\"rnxu").indexOf(s.mid(pos + 1, 1)) : 6;
        const int digits = k == 4 ? 2 : k == 5 ? 4 : 0;
        ok = k >= 0;
        out += !escape ? QString(s[pos])
               : k < 4 ? QStringLiteral("\\\"\r\n").mid(k, 1)
                       : QString(QChar(s.mid(pos + 2, digits).toUShort(&ok, 16)));
        pos += escape ? 2 + digits : 1;
    }
    return ok && pos < s.size() && s[pos++] == QLatin1Char('"') ? std::optional(out) : std::nullopt;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QDataStream in(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    quint64 records = 0, bits = 0, count = 0, asked = 0, seed = 0, codeLength = 0;
    in >> records >> bits >> count >> asked >> seed >> codeLength;
    const QByteArray typed = in.device()->read(qint64(codeLength % 256));
    const QString code(reinterpret_cast<const QChar*>(typed.constData()), typed.size() / 2);
    // Any code, also with characters outside the code page; any limit, written to fifteen digits.
    const double limit = std::isfinite(std::bit_cast<double>(bits)) ? std::bit_cast<double>(bits) : 600;
    const QString seconds = strona::sekundy(limit);
    assert(std::fabs(seconds.toDouble() - limit) <= 1e-14 * std::fabs(limit));
    const QByteArray stored = in.device()->read(rekord::size * qint64(1 + records % 4));

    // Distinct numbers in range from the numbers in [0, 1) that end the input: stored records in turn.
    count = 1 + count % 32767;
    const int n = int(1 + asked % std::min<quint64>(count, 120));
    const losowanie::Zrodlo random = [&, backup = losowanie::zrodlo(seed)] {
        return in.atEnd() ? backup() : (in >> bits, double(bits >> 11) * 0x1.0p-53);
    };
    losowanie::Wylosowane drawn{};
    assert(losowanie::losuj(qint16(count), n, random, drawn) == (n <= losowanie::sloty));
    QList<rekord> pytania;
    QString scripts, blocks;
    for (int i = 1; i <= std::min(n, losowanie::sloty); ++i) {
        assert(drawn[i] >= 1 && drawn[i] <= qint16(count) && std::count(&drawn[1], &drawn[i], drawn[i]) == 0);
        const rekord& r = pytania.emplace_back(
            rekord::decode(stored.mid((drawn[i] - 1) % (stored.size() / rekord::size + 1) * rekord::size)));
        const strona::Blok b = strona::blok(r, i);
        scripts += b.skryptpytania;
        blocks += b.blokpytania;
        const QString top =
            QStringLiteral("<TR VALIGN=\"top\" CLASS=\"start\"><TD><B>%1.</B><TD><FORM NAME=\"form%1\">");
        assert(b.blokpytania.startsWith(top.arg(i) + tekst(r.pytanie) + QStringLiteral("<BR><BR>")));
        assert(b.blokpytania.endsWith(QStringLiteral("</FORM></TR>")));
        const int typ = r.typ == 1 || r.typ == 2 ? r.typ : 0; // any other type shows as multiple choice
        const QStringList lines = b.skryptpytania.split(QLatin1Char('\r'));
        assert(lines.size() == (typ == 0 ? 55 : 10) && lines.last().isEmpty());
        assert(lines[typ == 0 ? 5 : 0] == QStringLiteral("maks=maks+%1;").arg(typ == 0 ? 4 : typ));
        qsizetype pos = QStringLiteral("if (document.form%1.question.value==\"").arg(i).size();
        assert(typ != 2 ||
               (napis(lines[1], pos) == tekst(r.odp1) && lines[1].mid(pos) == QStringLiteral(")")));
    }

    const QString page = strona::strona(pytania, seconds, code);
    const QString head = strona::glowa(seconds, code), tail = strona::ogon();
    assert(page == head + scripts + tail + blocks + strona::stopka());
    qsizetype pos = head.indexOf(QStringLiteral("\rvar dobrze=\"")) + 13;
    assert(napis(head, pos) == code && head.mid(pos).startsWith(QStringLiteral(";\rvar odpowiedz=0;\r")));
    // The script ends at the tail's own closing tag.
    assert(page.indexOf(QStringLiteral("</script"), 0, Qt::CaseInsensitive) ==
           head.size() + scripts.size() + tail.indexOf(QStringLiteral("</SCRIPT>")));
    // Texts from records are in the code page and the code is escaped where it is not: no loss.
    assert(cp1250::decode(strona::bajty(page)) == page + QStringLiteral("\r\n"));
    return 0;
}
