#include "codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace cp1250 {

QByteArray encode(const QString& text)
{
    QStringEncoder encoder("windows-1250");
    Q_ASSERT(encoder.isValid());
    return encoder.encode(text);
}

QString decode(const QByteArray& bytes)
{
    QStringDecoder decoder("windows-1250");
    Q_ASSERT(decoder.isValid());
    return decoder.decode(bytes);
}

} // namespace cp1250
