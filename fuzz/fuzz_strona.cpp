// A release code, a time limit and a draw of records through the whole test page: the fixed parts of
// every block and fragment, the code and the model answer read back from their script strings
// exactly as typed, nothing that ends the script early, and no loss in Windows-1250.

#include "codepage.h"
#include "losowanie.h"
#include "strona.h"

#include <QDataStream>

#include <bit>
#include <cassert>
#include <cmath>
#include <optional>

namespace {

// A double-quoted script string from just after its opening quote, read as a browser reads the
// escapes the page uses; moves pos past the closing quote. Empty when a line ends inside it.
std::optional<QString> napis(const QString& s, qsizetype& pos)
{
    QString out;
    while (pos < s.size() && !QStringLiteral("\"\r\n").contains(s[pos])) {
        if (s[pos] != QLatin1Char('\\')) {
            out += s[pos++];
            continue;
        }
        const qsizetype k = QStringLiteral("\\\"rnxu").indexOf(s.mid(pos + 1, 1)),
                        digits = k < 4 ? 0 : 2 * (k - 3);
        bool ok = k >= 0;
        out += k < 4 ? QStringLiteral("\\\"\r\n").mid(k, 1)
                     : QString(QChar(s.mid(pos + 2, digits).toUShort(&ok, 16)));
        if (!ok)
            return std::nullopt;
        pos += 2 + digits;
    }
    return pos < s.size() && s[pos++] == QLatin1Char('"') ? std::optional(out) : std::nullopt;
}

void sprawdzBlok(const strona::Blok& b, const rekord& r, const QString& n)
{
    assert(b.blokpytania.startsWith(
        QStringLiteral("<TR VALIGN=\"top\" CLASS=\"start\"><TD><B>%1.</B><TD><FORM NAME=\"form%1\">").arg(n) +
        tekst(r.pytanie) + QStringLiteral("<BR><BR>")));
    assert(b.blokpytania.endsWith(QStringLiteral("</FORM></TR>")));
    // Multiple choice (also for a type the editor never writes), single choice, typed answer.
    const int typ = r.typ == 1 || r.typ == 2 ? r.typ : 0;
    const QStringList lines = b.skryptpytania.split(QLatin1Char('\r'));
    assert(lines.size() == (typ == 0 ? 55 : 10) && lines.last().isEmpty());
    assert(lines[typ == 0 ? 5 : 0] == QStringLiteral("maks=maks+%1;").arg(typ == 0 ? 4 : typ));
    const QString open = QStringLiteral("if (document.form%1.question.value==\"").arg(n);
    qsizetype pos = open.size();
    assert(typ != 2 || (lines[1].startsWith(open) && napis(lines[1], pos) == tekst(r.odp1) &&
                        lines[1].mid(pos) == QStringLiteral(")")));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QDataStream in(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    quint8 records = 0, asked = 0, codeLength = 0;
    quint16 count = 0;
    quint64 bits = 0, seed = 0;
    in >> records >> bits >> count >> asked >> seed >> codeLength;
    // The release code as typed: any characters, also ones outside the code page and lone surrogates.
    const QByteArray typed = in.device()->read(codeLength);
    const QString code(reinterpret_cast<const QChar*>(typed.constData()), typed.size() / 2);
    // Any number of seconds as the limit, written with fifteen digits and its sign.
    const double limit = std::isfinite(std::bit_cast<double>(bits)) ? std::bit_cast<double>(bits) : 600;
    const QString seconds = strona::sekundy(limit);
    assert(std::fabs(seconds.toDouble() - limit) <= 1e-14 * std::fabs(limit));
    const QByteArray stored = in.device()->read(rekord::size * (1 + records % 4));

    // Distinct numbers in range from the numbers in [0, 1) that end the input, up to 100 of them.
    count = quint16(1 + count % 32767);
    const int n = 1 + asked % std::min<int>(count, 120);
    const losowanie::Zrodlo backup = losowanie::zrodlo(seed);
    const losowanie::Zrodlo random = [&] {
        return in.atEnd() ? backup() : (in >> bits, double(bits >> 11) * 0x1.0p-53);
    };
    losowanie::Wylosowane drawn{};
    assert(losowanie::losuj(qint16(count), n, random, drawn) == (n <= losowanie::sloty));
    QList<rekord> pytania;
    QString scripts, blocks;
    for (int i = 1; i <= std::min(n, losowanie::sloty); ++i) {
        assert(drawn[i] >= 1 && drawn[i] <= count && std::count(&drawn[1], &drawn[i], drawn[i]) == 0);
        pytania.append(
            rekord::decode(stored.mid((drawn[i] - 1) % (stored.size() / rekord::size + 1) * rekord::size)));
        const strona::Blok b = strona::blok(pytania.last(), i);
        sprawdzBlok(b, pytania.last(), QString::number(i));
        scripts += b.skryptpytania;
        blocks += b.blokpytania;
    }

    const QString page = strona::strona(pytania, seconds, code);
    const QString head = strona::glowa(seconds, code), tail = strona::ogon();
    assert(page == head + scripts + tail + blocks + strona::stopka());
    assert(head.contains(QStringLiteral("CONTENT=\"%1; URL=koniec.html\">").arg(seconds)));
    const QString open = QStringLiteral("\rvar dobrze=\"");
    qsizetype pos = head.indexOf(open) + open.size();
    assert(napis(head, pos) == code && head.mid(pos).startsWith(QStringLiteral(";\rvar odpowiedz=0;\r")));
    // The script ends at the tail's own closing tag, and nothing before that opens a comment.
    const qsizetype end = page.indexOf(QStringLiteral("</script"), 0, Qt::CaseInsensitive);
    assert(end == head.size() + scripts.size() + tail.indexOf(QStringLiteral("</SCRIPT>")));
    assert(!page.first(end).contains(QStringLiteral("<!--")));
    // Texts from records are in the code page and the code is escaped where it is not: no loss.
    assert(cp1250::decode(strona::bajty(page)) == page + QStringLiteral("\r\n"));
    return 0;
}
