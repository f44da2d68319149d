#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own pictures (window and button icons), kept in this library's resources.
namespace ikony {

QPixmap obrazek(const QString& name);
QIcon ikona(const QString& name);

} // namespace ikony
