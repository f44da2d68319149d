#pragma once

#include "wynik.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <functional>

namespace io {

// Writes a new version of `path` beside it and renames it over the old one only when every
// byte reached the disk; on any failure the old file stays as it was.
Wynik<void> zapiszBezpiecznie(const QString& path, const std::function<Wynik<void>(QIODevice&)>& pisz);
Wynik<void> zapiszBezpiecznie(const QString& path, const QByteArray& bajty);

// Writes all of `bajty` or reports why not.
Wynik<void> zapiszCalosc(QIODevice& device, const QByteArray& bajty);

} // namespace io
