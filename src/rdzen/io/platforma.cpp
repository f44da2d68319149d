#include "platforma.h"

#ifdef Q_OS_WIN
#include <QDir>

#include <io.h>
#include <windows.h>
#else
#include <QFile>

#include <sys/stat.h>
#endif

namespace platforma {

#ifdef Q_OS_WIN

// A file on Windows is its volume's serial number and its index on that volume.
static Tozsamosc z(HANDLE h)
{
    BY_HANDLE_FILE_INFORMATION i{};
    if (h == INVALID_HANDLE_VALUE || !::GetFileInformationByHandle(h, &i))
        return {};
    return {true, quint64(i.dwVolumeSerialNumber), (quint64(i.nFileIndexHigh) << 32) | i.nFileIndexLow};
}

Tozsamosc tozsamosc(int handle)
{
    return handle >= 0 ? z(HANDLE(::_get_osfhandle(handle))) : Tozsamosc{};
}

Tozsamosc tozsamosc(const QString& path)
{
    // Opened for no access at all, shared every way: it neither locks the file nor needs rights to it.
    const QString natywna = QDir::toNativeSeparators(path);
    const HANDLE h = ::CreateFileW(reinterpret_cast<const wchar_t*>(natywna.utf16()), 0,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return {};
    const Tozsamosc t = z(h);
    ::CloseHandle(h);
    return t;
}

#else

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

#endif

} // namespace platforma
