#include "ikony.h"

#include <QImage>

namespace ikony {

QPixmap obrazek(const QString& name)
{
    for (int i = 0; i < ile; ++i)
        if (name == QLatin1String(dane[i].name))
            return QPixmap::fromImage(QImage(dane[i].pixels, dane[i].width, dane[i].height, dane[i].width * 4,
                                             QImage::Format_ARGB32_Premultiplied));
    return QPixmap();
}

QIcon ikona(const QString& name)
{
    return QIcon(obrazek(name));
}

} // namespace ikony
