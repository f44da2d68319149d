#pragma once

#include <QByteArray>
#include <QString>

// Every text stored in a set file or written into a test page is Windows-1250, one byte a
// character. All conversions go through these two functions, which need no converter at run time:
// their tables were read off ICU's windows-1250 converter, substitutes and dropped characters included.
namespace cp1250 {

// Characters outside the code page become the converter's substitute byte.
QByteArray encode(const QString& text);
QString decode(const QByteArray& bytes);

// Whether the character is one of the code page's 256, which a text keeps through a round trip.
bool zawiera(char32_t c);

} // namespace cp1250
