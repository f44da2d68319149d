#pragma once

// Shared by the fuzz targets: a check that stops the run with a message, and the bits of a
// fuzz input that the targets read in order.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

[[noreturn]] inline void fuzzFailure(const char* file, int line, const char* what, const QString& detail)
{
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
    if (!detail.isEmpty())
        std::fprintf(stderr, "  %s\n", detail.toUtf8().constData());
    std::abort();
}

#define FUZZ_CHECK(cond) \
    do { \
        if (!(cond)) \
            fuzzFailure(__FILE__, __LINE__, #cond, QString()); \
    } while (0)

#define FUZZ_CHECK_MSG(cond, detail) \
    do { \
        if (!(cond)) \
            fuzzFailure(__FILE__, __LINE__, #cond, (detail)); \
    } while (0)

// Reads a fuzz input front to back; past its end everything reads as zero or empty.
class Wejscie
{
public:
    Wejscie(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint8_t bajt()
    {
        return pos_ < size_ ? data_[pos_++] : 0;
    }
    uint16_t slowo()
    {
        const uint16_t lo = bajt();
        return uint16_t(lo | (bajt() << 8));
    }
    uint64_t liczba64()
    {
        uint64_t v = 0;
        for (int i = 0; i < 8; ++i)
            v |= uint64_t(bajt()) << (8 * i);
        return v;
    }
    QByteArray bajty(size_t n)
    {
        n = std::min(n, size_ - pos_);
        QByteArray b(reinterpret_cast<const char*>(data_ + pos_), qsizetype(n));
        pos_ += n;
        return b;
    }
    QByteArray reszta() { return bajty(size_ - pos_); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// One folder per fuzzing process, removed when the process ends normally.
inline const QDir& katalogRoboczy()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/testownik-fuzz-XXXXXX"));
    if (!dir.isValid())
        fuzzFailure(__FILE__, __LINE__, "temporary folder", dir.errorString());
    static const QDir d(dir.path());
    return d;
}

inline QByteArray zawartosc(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

inline void zapiszPlik(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        fuzzFailure(__FILE__, __LINE__, "writing a work file", f.errorString());
}

// Shows where two byte strings first differ, for the failure message.
inline QString roznica(const QByteArray& got, const QByteArray& want)
{
    qsizetype i = 0;
    while (i < got.size() && i < want.size() && got[i] == want[i])
        ++i;
    return QStringLiteral("lengths %1 and %2, first difference at byte %3").arg(got.size()).arg(want.size()).arg(i);
}
