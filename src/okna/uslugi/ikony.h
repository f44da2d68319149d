#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own pictures (window and button icons), compiled in as pixels.
namespace ikony {

QPixmap obrazek(const QString& name);
QIcon ikona(const QString& name);

// One picture's pixels, premultiplied ARGB32, as ikonygen writes them.
struct Dane
{
    const char* name;
    int width, height;
    const uchar* pixels;
};
extern const Dane dane[];
extern const int ile;

} // namespace ikony
