#pragma once

#include "rekord.h"
#include "wynik.h"

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Questions exchanged with other programs: a file chosen for "dołącz zestaw" is recognised by
// its content (a set file, Moodle XML, GIFT or Aiken) and converted to records; a set is
// exported to Moodle XML or GIFT. Nothing here touches the set itself: the caller appends.
namespace wymiana {

enum class Format { Zestaw, MoodleXml, Gift, Aiken };

// Text formats are read whole, so a larger text file is refused without being read.
constexpr qint64 limitTekstu = 16 * 1024 * 1024;
// A text file naming more questions than this is refused; it bounds the records in memory.
constexpr int limitPytan = 20000;
// Answers of one question past this many are only counted.
constexpr int limitOdpowiedzi = 100;
// Report lines past this many are only counted.
constexpr int limitRaportu = 500;

// A picture embedded in an imported file, to be written beside the set under its name.
struct Rysunek
{
    QString nazwa;
    QByteArray dane;
};

struct WynikImportu
{
    Wynik<void> wynik; // a refusal carries the Polish message as its detail
    Format format = Format::Zestaw;
    // Converted questions, in order. Empty for a set file: that is appended as a set
    // (zestaw::dolaczZestaw), its `rekordy` whole records having all been checked.
    QList<rekord> pytania;
    qint64 rekordy = 0;
    // For the teacher: the count taken first, then one line for each thing not taken whole.
    // Also filled when nothing could be taken.
    QStringList raport;
    // Pictures still to be written (zapiszRysunki) before the questions are appended.
    QList<Rysunek> rysunki;
    QString folderZestawu;
};

// Recognises and converts the file at `path`. `folderZestawu` is the set's folder: pictures
// are checked against the files already there. Nothing is written; a refused file comes back
// refused, with a Polish message.
WynikImportu wczytajPytania(const QString& path, const QString& folderZestawu);
// The same from an open device; `nazwa` names the file in messages.
WynikImportu wczytajPytania(QIODevice& device, const QString& nazwa, const QString& folderZestawu);

// Whether the editor's display would take the record: one shown as multiple choice (typ other
// than 1 and 2) may only hold the marks 0, 1 and 2 in poprawna1..5.
bool edytorPokaze(const rekord& r);

// Writes the pictures of an accepted import beside the set, never over an existing file. A
// picture that cannot be written is dropped from the questions naming it and reported; the
// first such failure is the error, its message the detail. Gives the number written.
Wynik<int> zapiszRysunki(WynikImportu& wynik);

struct Eksport
{
    int zapisane = 0;   // questions written
    QStringList raport; // the count first, then what could not be carried
    QByteArray bajty;   // the file, UTF-8
};

// The whole set as a Moodle XML quiz; pictures are read from `folderZestawu` and embedded.
Eksport moodleXml(const QList<rekord>& pytania, const QString& folderZestawu);
// The whole set in GIFT.
Eksport gift(const QList<rekord>& pytania);

// Builds the file in `format` (Moodle XML or GIFT) and puts it at `path` by a safe replace:
// after a failure an earlier file of that name is left whole. A failure's detail is its Polish
// message.
Wynik<Eksport> eksportuj(const QList<rekord>& pytania, Format format, const QString& folderZestawu,
                         const QString& path);

// The export format a file name asks for: .xml Moodle XML, .gift and .txt GIFT.
std::optional<Format> formatEksportu(const QString& path);

} // namespace wymiana
