#include "platforma.h"

#include <QFile>

#include <sys/stat.h>

namespace platforma {

static Tozsamosc z(const struct stat& s)
{
    return {true, quint64(s.st_dev), quint64(s.st_ino)};
}

Tozsamosc tozsamosc(int handle)
{
    struct stat s
    {
    };
    return handle >= 0 && ::fstat(handle, &s) == 0 ? z(s) : Tozsamosc{};
}

Tozsamosc tozsamosc(const QString& path)
{
    struct stat s
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &s) == 0 ? z(s) : Tozsamosc{};
}

} // namespace platforma
