#include "wymiana.h"

#include "codepage.h"
#include "reguly.h"
#include "setfile.h"
#include "teksty.h"
#include "zbieracz.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

// Telling the formats apart: the content decides, not the name.
namespace wymiana {

using namespace detail;

namespace {

QString niePrzeniesiono(const QString& nazwa)
{
    return QStringLiteral("Plik „%1” nie jest zestawem pytań ani plikiem pytań w formacie Moodle XML, "
                          "GIFT lub Aiken.")
        .arg(nazwa);
}

QString zlyZestaw(const QString& nazwa, qint64 n)
{
    return QStringLiteral("Plik „%1” nie jest zestawem pytań, który edytor umie pokazać: pytanie nr %2 "
                          "ma niewłaściwe oznaczenia odpowiedzi.")
        .arg(nazwa)
        .arg(n);
}

// The first record (from 1) that the editor would refuse, 0 when there is none, -1 when the
// device cannot be read. Whole records only, read in pieces: a set may be larger than memory.
qint64 pierwszyZly(QIODevice& device, qint64 records, QString& error)
{
    constexpr qint64 perPiece = 800;
    if (!device.seek(0)) {
        error = device.errorString();
        return -1;
    }
    for (qint64 n = 0; n < records;) {
        const qint64 take = std::min(perPiece, records - n);
        const QByteArray piece = device.read(take * rekord::size);
        if (piece.size() != take * rekord::size) {
            error = device.errorString();
            return -1;
        }
        for (qint64 i = 0; i < take; ++i)
            if (!edytorPokaze(rekord::decode(
                    QByteArray::fromRawData(piece.constData() + i * rekord::size, rekord::size))))
                return n + i + 1;
        n += take;
    }
    return 0;
}

QString tekstPliku(const QByteArray& bytes)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(view);
    if (utf8.hasError())
        text = cp1250::decode(view.toByteArray());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

WynikImportu odmowa(const QString& error, const QStringList& raport = {},
                    Blad::Rodzaj rodzaj = Blad::Rodzaj::Format)
{
    WynikImportu w;
    w.wynik = Blad{rodzaj, error};
    w.raport = raport;
    return w;
}

WynikImportu wczytajTekst(const QString& text, const QString& nazwa, const QString& folder)
{
    Zbieracz zb(folder);
    Format format;
    QString blad;
    const QString poczatek = text.trimmed().left(1);
    if (poczatek == QLatin1String("<")) {
        format = Format::MoodleXml;
        blad = czytajMoodle(text, zb);
        if (blad == nieQuiz)
            return odmowa(niePrzeniesiono(nazwa));
        if (!blad.isEmpty())
            return odmowa(
                QStringLiteral("Plik „%1” nie jest poprawnym plikiem Moodle XML: %2.").arg(nazwa, blad));
    } else {
        bool aiken = false;
        if (wygladaNaAiken(text)) {
            czytajAiken(text, zb);
            aiken = !zb.pytania.isEmpty() || !text.contains(QLatin1Char('{'));
        }
        if (aiken) {
            format = Format::Aiken;
        } else if (text.contains(QLatin1Char('{'))) {
            format = Format::Gift;
            zb = Zbieracz(folder);
            blad = czytajGift(text, zb);
            if (!blad.isEmpty())
                return odmowa(
                    QStringLiteral("Plik „%1” nie jest poprawnym plikiem GIFT: %2.").arg(nazwa, blad));
        } else {
            return odmowa(niePrzeniesiono(nazwa));
        }
    }
    if (zb.pelny())
        return odmowa(QStringLiteral("Plik „%1” ma więcej niż %2 pytań; podziel go na mniejsze pliki.")
                          .arg(nazwa)
                          .arg(limitPytan));
    if (zb.pytania.isEmpty())
        return odmowa(QStringLiteral("W pliku „%1” nie ma pytań, które zestaw może przyjąć.").arg(nazwa),
                      zb.raport());
    WynikImportu w;
    w.format = format;
    w.raport = zb.raport();
    w.pytania = std::move(zb.pytania);
    w.rysunki = std::move(zb.rysunki);
    w.folderZestawu = folder;
    return w;
}

WynikImportu wczytajZUrzadzenia(QIODevice& device, const QString& nazwa, const QString& folder)
{
    const qint64 size = device.size();
    if (size == 0) {
        WynikImportu w;
        w.raport = {QStringLiteral("Przeniesiono pytań: 0 z 0.")};
        w.folderZestawu = folder;
        return w;
    }
    const qint64 records = zestaw::pelneRekordy(size);
    QString error;
    const qint64 bad = pierwszyZly(device, records, error);
    if (bad < 0)
        return odmowa(QStringLiteral("Nie można odczytać pliku „%1”: %2.").arg(nazwa, error), {},
                      Blad::Rodzaj::Odczyt);
    if (records > 0 && bad == 0) {
        WynikImportu w;
        w.rekordy = records;
        w.raport = {QStringLiteral("Przeniesiono pytań: %1 z %1.").arg(records)};
        w.folderZestawu = folder;
        return w;
    }
    if (size > limitTekstu)
        return odmowa(bad > 1
                          ? zlyZestaw(nazwa, bad)
                          : QStringLiteral("Plik „%1” nie jest zestawem pytań, a na plik pytań w formacie "
                                           "Moodle XML, GIFT lub Aiken jest za duży (ponad %2 MB).")
                                .arg(nazwa)
                                .arg(limitTekstu / (1024 * 1024)));
    if (!device.seek(0))
        return odmowa(QStringLiteral("Nie można odczytać pliku „%1”: %2.").arg(nazwa, device.errorString()),
                      {}, Blad::Rodzaj::Odczyt);
    const QByteArray bytes = device.read(size);
    if (bytes.size() != size)
        return odmowa(QStringLiteral("Nie można odczytać pliku „%1”: %2.").arg(nazwa, device.errorString()),
                      {}, Blad::Rodzaj::Odczyt);
    // Text never holds a zero byte, and every record the editor shows holds one in its marks.
    if (bytes.contains('\0'))
        return odmowa(bad > 1 ? zlyZestaw(nazwa, bad) : niePrzeniesiono(nazwa));
    return wczytajTekst(tekstPliku(bytes), nazwa, folder);
}

} // namespace

bool edytorPokaze(const rekord& r)
{
    const Pytanie::Typ typ = typZKodu(r.typ);
    if (typ == Pytanie::Typ::Opcja || typ == Pytanie::Typ::Tekst)
        return true;
    for (int k = 1; k <= 5; ++k)
        if (!reguly::znacznikPolaWyboru(r.poprawna(k)))
            return false;
    return true;
}

WynikImportu wczytajPytania(QIODevice& device, const QString& nazwa, const QString& folderZestawu)
{
    if (!device.isSequential())
        return wczytajZUrzadzenia(device, nazwa, folderZestawu);
    // A stream cannot be read twice: what fits the text limit is taken into memory.
    QByteArray bytes;
    while (bytes.size() <= limitTekstu) {
        const QByteArray piece = device.read(limitTekstu + 1 - bytes.size());
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return wczytajZUrzadzenia(buffer, nazwa, folderZestawu);
}

WynikImportu wczytajPytania(const QString& path, const QString& folderZestawu)
{
    QFile file(path);
    const QString nazwa = QFileInfo(path).fileName();
    if (!file.open(QIODevice::ReadOnly))
        return odmowa(QStringLiteral("Nie można otworzyć pliku „%1”: %2.").arg(nazwa, file.errorString()), {},
                      Blad::Rodzaj::Otwarcie);
    return wczytajPytania(file, nazwa, folderZestawu);
}

} // namespace wymiana
