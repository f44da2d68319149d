#include "codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>

namespace cp1250 {

namespace {

// Opening an ICU converter costs far more than converting a field. The code page is single-byte,
// so both directions are tables read off Qt's converter once; a text with a character the
// tables do not hold is handed to the converter itself, which knows its substitutes.
struct Tables
{
    std::array<char16_t, 256> toUnicode{};
    std::array<quint8, 0x10000> fromUnicode{}; // byte + 1, or 0 for "not a round trip"
    bool ok = false;

    Tables()
    {
        QStringDecoder decoder("windows-1250");
        QStringEncoder encoder("windows-1250");
        if (!decoder.isValid() || !encoder.isValid())
            return;
        for (int b = 0; b < 256; ++b) {
            const QByteArray byte(1, char(b));
            decoder.resetState();
            const QString c = decoder.decode(byte);
            if (c.size() != 1)
                return;
            toUnicode[b] = c.at(0).unicode();
            encoder.resetState();
            if (encoder.encode(c) == byte)
                fromUnicode[c.at(0).unicode()] = quint8(b + 1);
        }
        ok = true;
    }
};

const Tables& tables()
{
    static const Tables t;
    return t;
}

} // namespace

QByteArray encode(const QString& text)
{
    const Tables& t = tables();
    if (t.ok) {
        const qsizetype n = text.size();
        QByteArray out(n, Qt::Uninitialized);
        char* p = out.data();
        const ushort* src = text.utf16();
        const quint8* table = t.fromUnicode.data();
        quint8 missing = 1;
        for (qsizetype i = 0; i < n; ++i) {
            const quint8 b = table[src[i]];
            missing &= quint8(b != 0);
            p[i] = char(b - 1);
        }
        if (missing)
            return out;
    }
    QStringEncoder encoder("windows-1250");
    Q_ASSERT(encoder.isValid());
    return encoder.encode(text);
}

QString decode(const QByteArray& bytes)
{
    const Tables& t = tables();
    if (!t.ok) {
        QStringDecoder decoder("windows-1250");
        return decoder.decode(bytes);
    }
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* p = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        p[i] = QChar(t.toUnicode[quint8(bytes[i])]);
    return out;
}

} // namespace cp1250
