#pragma once

#include "przebudowa.h"
#include "rekord.h"
#include "setfile.h"
#include "sprawdzenie.h"
#include "wynik.h"

#include <QString>

// The set the editor has open: its file, its name and the number of its questions as the editor
// counts them. It owns everything done to the file: opening with the empty-set step, records by
// number, deletion and append, and the recovery of a set that another program deleted or
// replaced while it was open. The window only shows what it reports.
class OtwartyZestaw
{
public:
    // Opens `nazwa` (a missing file is created empty), counts its records and gives an empty
    // set its first, empty record. A failure says why: NieZestaw for a short file that holds
    // something (not a set, left untouched), ZaDuzy for more records than the editor can number,
    // Zapis when the first record could not be written, and the opening's own kinds
    // (Otwarcie, PustaNazwa, Folder). The set is closed after any of them.
    Wynik<void> otworz(const QString& nazwa);
    void zamknij() { plik_.close(); }
    bool otwarty() const { return plik_.isOpen(); }

    qint32 iloscrekordow() const { return iloscrekordow_; }
    // The name the set was opened under, or the copy's path after a recovery.
    QString nazwapliku() const { return nazwapliku_; }
    QString sciezka() const { return plik_.fileName(); }

    Wynik<rekord> czytaj(qint32 n) { return plik_.read(n); }
    Wynik<void> zapisz(qint32 n, const rekord& in) { return plik_.write(n, in); }

    // Appends records converted from another program's file, one by one; the count includes
    // those written before a failure.
    Wynik<void> dolaczRekordy(const QList<rekord>& rekordy);

    // Every record, for a printed copy.
    Wynik<QList<rekord>> czytajWszystkie();
    // Checks every record; pictures are looked up beside the set.
    Wynik<QList<sprawdzenie::Uwaga>> sprawdz()
    {
        return sprawdzenie::sprawdzZestaw(plik_.device(), iloscrekordow_, folder());
    }
    QString folder() const;

    // Counts one more question, which reaches the file at its first save. False when the set is full.
    bool nowePytanie();

    enum class Miejsce {
        NaMiejscu,  // the path still leads to the open file
        Odtworzony, // the set was deleted: written back under its name from the open file
        Kopia,      // the path names another file now: that is left alone, the set went to a copy
    };
    // To be called before every change: another program may have deleted or replaced the set.
    // The open file still holds every question, so it is written back instead of being lost.
    // When the copy was written but could not be opened, the set is closed.
    Wynik<Miejsce> upewnijSie();

    // Deletes record n (1..count). A failed rebuild leaves the set as it was and open; when the
    // rebuilt set cannot be opened again (Otwarcie) or its first record written (Zapis), it is
    // closed. Deleting the only question leaves one empty question, as in a new set.
    Wynik<void> usun(qint32 n);

    // Appends the whole records of the file `inny` (opened read-only if need be). The count
    // includes every record that reached the set, also after a failure.
    Wynik<void> dolacz(const QString& inny);

private:
    Wynik<void> pierwszyRekord();

    SetFile plik_;
    QString nazwapliku_;
    qint32 iloscrekordow_ = 0;
};
