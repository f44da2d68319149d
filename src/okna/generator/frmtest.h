#pragma once

#include "dialogs.h"
#include "generowanie.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

namespace Ui {
class FrmTest;
}

// The test generator's window: it asks for a set, the count, the time limit and the code, and
// shows what the generating session reports. The session reads the set and never writes it.
class FrmTest : public QWidget
{
    Q_OBJECT

public:
    FrmTest(Dialogs& dialogs, BiezacyFolder& folder, QWidget* parent = nullptr);
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
    void cmdklasaClick();

private:
    // Draws, asks and writes the page. False when the teacher may try again.
    bool generuj();
    // Asks for a PDF file name and writes the drawn test or its key there.
    void drukuj(bool klucz);

    const std::unique_ptr<Ui::FrmTest> ui;
    Dialogs& dialogs_;
    BiezacyFolder& folder_;
    QString folderStartowy_; // the folder current when the window started
    OpenFileDialog CmDialog;
    SaveFileDialog CmDruk;

    losowanie::Zrodlo random_;
    std::unique_ptr<Generowanie> sesja_;
    QPointer<QWidget> oknoKlasy_;
};
