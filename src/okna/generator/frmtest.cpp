#include "frmtest.h"

#include "dostepnosc.h"
#include "ikony.h"
#include "komunikaty.h"
#ifndef TESTOWNIK_BEZ_KLASY
#include "oknoklasy.h"
#endif
#include "pieczec.h"
#include "ui_frmtest.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QTime>

FrmTest::FrmTest(Dialogs& dialogs, BiezacyFolder& folder, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::FrmTest>()), dialogs_(dialogs), folder_(folder)
{
    dostepnosc::podpisyWartosci();
    ui->setupUi(this);
    ui->cmdgeneruj->setIcon(ikony::ikona(QStringLiteral("generuj.png")));
    ui->cmdkoniec->setIcon(ikony::ikona(QStringLiteral("koniec.png")));
    for (QPushButton* button : {ui->cmdgeneruj, ui->cmdkoniec})
        button->setIconSize(QSize(24, 24));
    CmDialog.title = komunikaty::wskazZestaw;

    CmDruk.title = komunikaty::jakoPdf;
    CmDruk.filters = QStringList{QStringLiteral("PDF (*.pdf)")};

    connect(ui->cmdgeneruj, &QPushButton::clicked, this, &FrmTest::cmdgenerujClick);
    connect(ui->cmdkoniec, &QPushButton::clicked, this, &FrmTest::cmdkoniecClick);
    connect(ui->cmdtestdruk, &QPushButton::clicked, this, &FrmTest::cmdtestdrukClick);
    connect(ui->cmdklucz, &QPushButton::clicked, this, &FrmTest::cmdkluczClick);
#ifdef TESTOWNIK_BEZ_KLASY
    ui->cmdklasa->hide(); // built without the class test
#else
    connect(ui->cmdklasa, &QPushButton::clicked, this, &FrmTest::cmdklasaClick);
#endif
    connect(ui->chkukryj, &QCheckBox::toggled, this, [this](bool on) {
        for (QCheckBox* box : {ui->chklosowo, ui->chkkopie}) {
            box->setEnabled(on);
            if (!on)
                box->setChecked(false);
        }
    });
}

FrmTest::~FrmTest() = default;

void FrmTest::setRandom(losowanie::Zrodlo random)
{
    random_ = std::move(random);
}

bool FrmTest::load()
{
    if (!random_)
        random_ = losowanie::zrodlo(quint64(QTime::currentTime().msecsSinceStartOfDay()));
    sesja_ = std::make_unique<Generowanie>(folder_, random_);
    ui->cmdgeneruj->setVisible(true);

    // A window cannot start without a set: a cancelled dialog comes back.
    folderStartowy_ = folder_.sciezka();
    do {
        CmDialog.initialDir = folderStartowy_;
        dialogs_.openFile(this, CmDialog, folder_);
    } while (CmDialog.fileTitle.isEmpty());
    ui->lblnazwazestawu->setText(CmDialog.fileTitle);

    const Generowanie::Skutek opened = sesja_->otworz(CmDialog.fileName, CmDialog.fileTitle);
    if (!komunikaty::pokaz(dialogs_, this, opened.komunikaty)) {
        close();
        return false;
    }
    ui->lbliloscpytan->setText(QString::number(sesja_->iloscrekordow()));
    // A warning only: the teacher may still give the test.
    ui->lbluwaga->setText(komunikaty::uwagaBledne(sesja_->bledne()));
    ui->lbluwaga->setVisible(sesja_->bledne() > 0);
    return true;
}

void FrmTest::closeEvent(QCloseEvent* event)
{
    if (sesja_)
        sesja_->zamknij();
    event->accept();
}

void FrmTest::cmdkoniecClick()
{
    close();
}

void FrmTest::cmdgenerujClick()
{
    if (!generuj())
        return; // nothing was written: the teacher tries again
    // One page per opening of the window, whatever happened.
    ui->cmdgeneruj->hide();
    ui->chkukryj->setEnabled(false);
    ui->chklosowo->setEnabled(false);
    ui->chkkopie->setEnabled(false);
}

bool FrmTest::generuj()
{
    const QString before = ui->lblspr->text();
    QString spr = before;
    Generowanie::Skutek s = sesja_->losuj(
        ui->txtiloscpytan->text(), [&spr](qint16 k) { spr += QStringLiteral("- ") + QString::number(k); });
    ui->lblspr->setText(spr);
    if (s.zrobione) {
        // The user's own number format: a Polish setting takes "1,5".
        s = sesja_->czas(komunikaty::zapytaj(dialogs_, this, komunikaty::Pole::CzasTestu));
        const Generowanie::Opcje opcje{ui->chkukryj->isChecked(), ui->chklosowo->isChecked(),
                                       ui->chkkopie->isChecked()};
        if (s.zrobione && opcje.kopie) {
            const QString ile = komunikaty::zapytaj(dialogs_, this, komunikaty::Pole::LiczbaKopii);
            QApplication::setOverrideCursor(Qt::WaitCursor);
            s = sesja_->zapiszKopie(ile, opcje, QDate::currentDate());
            QApplication::restoreOverrideCursor();
        } else if (s.zrobione) {
            // A sealed page's code is masked and starts as an issued one, which no pupil can guess.
            const QString kod = opcje.ukryj ? komunikaty::zapytajKod(dialogs_, this, pieczec::wydajKod())
                                            : komunikaty::zapytaj(dialogs_, this, komunikaty::Pole::KodTestu);
            if (opcje.ukryj)
                QApplication::setOverrideCursor(Qt::WaitCursor);
            s = sesja_->zapisz(kod, opcje);
            if (opcje.ukryj)
                QApplication::restoreOverrideCursor();
        }
    }
    if (s.ponowic)
        ui->lblspr->setText(before);
    komunikaty::pokaz(dialogs_, this, s.komunikaty);
    // The printouts are of one drawn test; separate copies each have their own.
    if (s.zrobione && !ui->chkkopie->isChecked()) {
        ui->cmdtestdruk->show();
        ui->cmdklucz->show();
    }
    return !s.ponowic;
}

void FrmTest::cmdtestdrukClick()
{
    drukuj(false);
}

void FrmTest::cmdkluczClick()
{
    drukuj(true);
}

void FrmTest::drukuj(bool klucz)
{
    dialogs_.saveFile(this, CmDruk, folder_);
    if (!CmDruk.fileName.isEmpty())
        komunikaty::pokaz(dialogs_, this,
                          sesja_->drukuj(klucz, CmDruk.fileName, QDate::currentDate()).komunikaty);
}

void FrmTest::cmdklasaClick()
{
#ifndef TESTOWNIK_BEZ_KLASY
    if (oknoKlasy_ &&
        oknoKlasy_->isVisible()) { // one class test at a time: the store beside the set is held while it runs
        oknoKlasy_->show();
        oknoKlasy_->raise();
        return;
    }
    Generowanie::DoKlasy klasa;
    if (!komunikaty::pokaz(dialogs_, this, sesja_->doKlasy(ui->txtiloscpytan->text(), klasa).komunikaty))
        return;
    // Beside the generator, not in it: closing the generator leaves the class writing.
    auto* okno = new OknoKlasy(dialogs_, folder_, parentWidget());
    okno->setWindowFlag(Qt::Window);
    if (!okno->uruchom(klasa)) {
        delete okno;
        return;
    }
    okno->setAttribute(Qt::WA_DeleteOnClose);
    oknoKlasy_ = okno;
    okno->show();
#endif
}
