#pragma once

#include "dialogs.h"
#include "generowanie.h"

#include <QHostAddress>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace Ui {
class OknoKlasy;
}
class QTableWidget;
class SerwerKlasy;
class TestKlasowy;
struct Blad;

// "Test w klasie": the teacher's side of a test served to the class. It shows where the pupils
// join and with which PIN, the time left, every pupil's result as it changes and what each
// question earned; it ends the test, releases a name, and writes the results as CSV or PDF.
class OknoKlasy : public QWidget
{
    Q_OBJECT

public:
    OknoKlasy(Dialogs& dialogs, BiezacyFolder& folder, QWidget* parent = nullptr);
    ~OknoKlasy() override;

    // Opens the results store beside the set, offers to continue its unfinished test, asks the
    // time of a new one, and starts the test and its server. False when nothing was started.
    bool uruchom(const Generowanie::DoKlasy& klasa);

    // Where the server listens: the computer's IPv4 network addresses and 127.0.0.1. The
    // variable TESTOWNIK_ADRES_KLASY keeps it to that one address (the tests use 127.0.0.1).
    static QList<QHostAddress> adresy();
    quint16 port() const { return port_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool otworzTest(bool wznow, int minuty);
    bool zapiszStare();
    void pokazAdresy(const QList<QHostAddress>& adresy);
    void odswiez();
    void tyka();
    void szczegoly(int wiersz);
    void zwolnij();
    void zakoncz();
    void eksport();
    void drukuj();
    void bladZapisu(const Blad& blad);
    int piszacych() const;

    const std::unique_ptr<Ui::OknoKlasy> ui;
    Dialogs& dialogs_;
    BiezacyFolder& folder_;
    Generowanie::DoKlasy klasa_;
    std::unique_ptr<TestKlasowy> test_;
    std::unique_ptr<SerwerKlasy> serwer_;
    quint16 port_ = 0;
    QList<qint64> uczniowie_; // the pupil of each row
    QTimer zegar_, odswiezenie_;
    SaveFileDialog csv_, pdf_;
    bool bladPokazany_ = false;
};
