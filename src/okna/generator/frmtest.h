#pragma once

#include "dialogs.h"
#include "losowanie.h"
#include "rekord.h"
#include "setfile.h"

#include <QString>
#include <QWidget>

#include <memory>

namespace Ui {
class FrmTest;
}

// The test generator: picks a set, draws its questions at random and writes them as the
// self-scoring page "test.html" in the current folder. It reads the set and never writes it.
class FrmTest : public QWidget
{
    Q_OBJECT

public:
    explicit FrmTest(Dialogs& dialogs, QWidget* parent = nullptr);
    ~FrmTest() override;

    // Window start: asks for a set until one is chosen, opens it and shows its name and record
    // count. False when the set is unusable: the message was shown and the window closed itself.
    bool load();

    // Replaces the random numbers, which are otherwise seeded from the time of day by load.
    void setRandom(losowanie::Zrodlo random);

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void cmdgenerujClick();
    void cmdkoniecClick();
    void cmdtestdrukClick();
    void cmdkluczClick();

private:
    enum class Generacja { Gotowe, Blad, KrotkiKod };
    Generacja generuj(double ilosc);
    // Asks for the time limit and the release code. False when the limit is no number.
    bool html();
    // Asks for a PDF file name and writes the drawn test or its key there.
    void drukuj(bool klucz);

    const std::unique_ptr<Ui::FrmTest> ui;
    Dialogs& dialogs_;
    OpenFileDialog CmDialog;
    QString File1; // the folder current when the window started

    losowanie::Zrodlo random_;
    bool randomInjected_ = false;

    SetFile zestaw_;
    qint16 iloscrekordow = 0;
    losowanie::Wylosowane wylosowane{};
    QString sekundy, kod;  // {SECONDS} and {CODE} as html() leaves them
    QString minuty;        // the time limit as typed, for the printed key
    QList<rekord> pytania; // the drawn records in page order
    SaveFileDialog CmDruk;
};
