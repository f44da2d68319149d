#include "platforma.h"

#ifdef Q_OS_WIN
#include <QDir>

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
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

bool otworz(QFile& file, QIODevice::OpenMode mode)
{
    const bool pisanie = mode & QIODevice::WriteOnly;
    const QString natywna = QDir::toNativeSeparators(file.fileName());
    const HANDLE h = ::CreateFileW(reinterpret_cast<const wchar_t*>(natywna.utf16()),
                                   GENERIC_READ | (pisanie ? GENERIC_WRITE : 0),
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   pisanie ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return file.open(mode); // fails as well, and tells why
    const int fd = ::_open_osfhandle(intptr_t(h), pisanie ? 0 : _O_RDONLY);
    if (fd < 0) {
        ::CloseHandle(h);
        return file.open(mode);
    }
    if (file.open(fd, mode, QFileDevice::AutoCloseHandle))
        return true;
    ::_close(fd);
    file.setFileName(QDir::fromNativeSeparators(natywna)); // for the next try
    return false;
}

bool zastap(QFile& nowy, const QString& cel, QString& blad)
{
    const bool zapisany = nowy.flush() && ::FlushFileBuffers(HANDLE(::_get_osfhandle(nowy.handle())));
    const QString zrodlo = QDir::toNativeSeparators(nowy.fileName());
    nowy.close();
    const auto w = [](const QString& s) { return reinterpret_cast<const wchar_t*>(s.utf16()); };
    const QString natywny = QDir::toNativeSeparators(cel);
    const auto przenies = [&](const QString& z, const QString& na) {
        return ::MoveFileExW(w(z), w(na), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    };
    if (!zapisany) {
        blad = qt_error_string(int(::GetLastError()));
        return false;
    }
    if (przenies(zrodlo, natywny))
        return true;
    DWORD kod = ::GetLastError();
    // A file held open steps aside under another name (which its sharing allows) and goes once
    // its last handle is closed; a folder stays where it is.
    const DWORD atrybuty = ::GetFileAttributesW(w(natywny));
    const QString stary = zrodlo + QStringLiteral(".stary");
    if (atrybuty != INVALID_FILE_ATTRIBUTES && !(atrybuty & FILE_ATTRIBUTE_DIRECTORY) &&
        przenies(natywny, stary)) {
        if (przenies(zrodlo, natywny)) {
            ::DeleteFileW(w(stary));
            return true;
        }
        kod = ::GetLastError();
        przenies(stary, natywny);
    }
    blad = qt_error_string(int(kod));
    return false;
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

bool otworz(QFile& file, QIODevice::OpenMode mode)
{
    return file.open(mode);
}

#endif

} // namespace platforma
