#include "kodqr.h"

#include <QNetworkInterface>

#include <qrencode.h>

#include <memory>

std::vector<std::vector<bool>> kodQr(const QString& tekst)
{
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> kod(
        QRcode_encodeString(tekst.toUtf8().constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), &QRcode_free);
    std::vector<std::vector<bool>> w;
    if (!kod)
        return w;
    for (int y = 0; y < kod->width; ++y) {
        w.emplace_back(kod->width);
        for (int x = 0; x < kod->width; ++x)
            w.back()[x] = kod->data[y * kod->width + x] & 1; // the lowest bit is dark
    }
    return w;
}

QList<QHostAddress> adresySieci()
{
    QList<QHostAddress> w;
    for (const auto& i : QNetworkInterface::allInterfaces()) {
        if (!i.flags().testFlag(QNetworkInterface::IsUp) || i.flags().testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const auto& a : i.addressEntries())
            if (a.ip().protocol() == QAbstractSocket::IPv4Protocol && !a.ip().isLoopback())
                w.append(a.ip());
    }
    return w;
}
