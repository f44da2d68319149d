// Any bytes as a record, a question and typed text: the codecs keep every byte, fields read and write
// as promised.

#include "codepage.h"
#include "pytanie.h"
#include "rekord.h"

#include <QRegularExpression>
#include <QStringEncoder>

#include <cassert>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const rekord r = rekord::decode(input);
    const QByteArray padded = input.left(rekord::size).leftJustified(rekord::size, '\0');
    assert(r.encode() == padded && rekord::decode(padded) == r);
    // As a question and back: the same bytes, whatever the fields hold.
    assert(Pytanie::zRekordu(r).doRekordu() == r);
    // A field reads as its bytes up to the first zero without the spaces (only) at both ends.
    const auto pole = [](const auto& f) {
        const QString bytes = cp1250::decode(QByteArray(f.data(), qsizetype(qstrnlen(f.data(), f.size()))));
        assert(tekst(f) == QString(bytes).remove(QRegularExpression(QStringLiteral("^ +| +\\z"))));
    };
    pole(r.pytanie), pole(r.odp6), pole(r.rysunek);

    const QString utf16(reinterpret_cast<const QChar*>(input.constData()), input.size() / 2);
    for (const QString& text : {QString::fromUtf8(input), utf16}) {
        assert(cp1250::encode(text) == QByteArray(QStringEncoder("windows-1250").encode(text)));
        // Typed into the second answer: cut to its width, padded with spaces, nothing past it.
        rekord typed;
        ustawTekst(typed.odp2, text);
        const QByteArray field = cp1250::encode(text.left(150)).left(150).leftJustified(150, ' ');
        assert(typed.encode() == QByteArray(450, '\0') + field + QByteArray(714, '\0'));
    }
    return 0;
}
