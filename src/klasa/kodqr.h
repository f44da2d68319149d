#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>

#include <vector>

// The QR code of a text (the address pupils type) as rows of dark modules, drawn by libqrencode;
// the window paints it. Empty when the text does not fit a code.
std::vector<std::vector<bool>> kodQr(const QString& tekst);

// The computer's non-loopback IPv4 addresses, where pupils can reach the server.
QList<QHostAddress> adresySieci();
