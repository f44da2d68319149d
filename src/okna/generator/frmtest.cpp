#include "frmtest.h"

#include "dostepnosc.h"
#include "druk.h"
#include "ikony.h"
#include "sprawdzenie.h"
#include "strona.h"
#include "ui_frmtest.h"
#include "zapieczetowana.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTime>

namespace {

const QString tytulBledu = QStringLiteral("Błąd danych");

} // namespace

FrmTest::FrmTest(Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::FrmTest>()), dialogs_(dialogs)
{
    dostepnosc::podpisyWartosci();
    ui->setupUi(this);
    ui->cmdgeneruj->setIcon(ikony::ikona(QStringLiteral("generuj.png")));
    ui->cmdkoniec->setIcon(ikony::ikona(QStringLiteral("koniec.png")));
    for (QPushButton* button : {ui->cmdgeneruj, ui->cmdkoniec})
        button->setIconSize(QSize(24, 24));
    CmDialog.title = QStringLiteral("Wskaż nazwę zestawu");

    CmDruk.title = QStringLiteral("Zapisz jako PDF");
    CmDruk.filters = QStringList{QStringLiteral("PDF (*.pdf)")};

    connect(ui->cmdgeneruj, &QPushButton::clicked, this, &FrmTest::cmdgenerujClick);
    connect(ui->cmdkoniec, &QPushButton::clicked, this, &FrmTest::cmdkoniecClick);
    connect(ui->cmdtestdruk, &QPushButton::clicked, this, &FrmTest::cmdtestdrukClick);
    connect(ui->cmdklucz, &QPushButton::clicked, this, &FrmTest::cmdkluczClick);
    connect(ui->chkukryj, &QCheckBox::toggled, this, [this](bool on) {
        ui->chklosowo->setEnabled(on);
        if (!on)
            ui->chklosowo->setChecked(false);
    });
}

FrmTest::~FrmTest() = default;

void FrmTest::setRandom(losowanie::Zrodlo random)
{
    random_ = std::move(random);
    randomInjected_ = true;
}

bool FrmTest::load()
{
    if (!randomInjected_)
        random_ = losowanie::zrodlo(quint64(QTime::currentTime().msecsSinceStartOfDay()));
    ui->cmdgeneruj->setVisible(true);

    // A window cannot start without a set: a cancelled dialog comes back.
    File1 = QDir::currentPath();
    do {
        CmDialog.initialDir = File1;
        dialogs_.openFile(this, CmDialog);
    } while (CmDialog.fileTitle.isEmpty());
    ui->lblnazwazestawu->setText(CmDialog.fileTitle);

    // Read-only is enough: the generator never writes a set.
    const bool opened = zestaw_.open(CmDialog.fileName, SetFile::Mode::ReadOnlyFallback).ok;
    const qint64 count = opened ? zestaw_.count() : -1;
    if (count < 0 || count > 32767) {
        zestaw_.close();
        dialogs_.message(this, QStringLiteral("Wybrałeś niewłaściwy plik źródłowy"), Dialogs::Buttons::Ok,
                         Dialogs::Icon::Stop, tytulBledu);
        close();
        return false;
    }
    iloscrekordow = qint16(qMax<qint64>(count, 1));
    ui->lbliloscpytan->setText(QString::number(iloscrekordow));
    // A warning only: the teacher may still give the test.
    const sprawdzenie::WynikSprawdzenia check =
        sprawdzenie::sprawdzZestaw(zestaw_.device(), count, QFileInfo(CmDialog.fileName).absolutePath());
    const int bledne = check.ok ? sprawdzenie::pytaniaZBledami(check.uwagi) : 0;
    ui->lbluwaga->setText(QStringLiteral("Uwaga: w zestawie są pytania, których nie da się zaliczyć (%1). "
                                         "Sprawdź je w edytorze: „sprawdź zestaw”.")
                              .arg(bledne));
    ui->lbluwaga->setVisible(bledne > 0);
    return true;
}

void FrmTest::closeEvent(QCloseEvent* event)
{
    zestaw_.close();
    event->accept();
}

void FrmTest::cmdkoniecClick()
{
    zestaw_.close();
    close();
}

void FrmTest::cmdgenerujClick()
{
    const double ilosc = losowanie::liczbaNaPoczatku(ui->txtiloscpytan->text());
    if (ilosc < 1 || ilosc > iloscrekordow) {
        dialogs_.message(this, QStringLiteral("Zła ilośc pytań "), Dialogs::Buttons::Ok,
                         Dialogs::Icon::Exclamation, QStringLiteral("TESTER"));
    } else if (const Generacja g = generuj(ilosc); g == Generacja::KrotkiKod) {
        dialogs_.message(
            this,
            QStringLiteral("Kod uruchomieniowy musi mieć co najmniej %1 znaków, gdy odpowiedzi i kod "
                           "są ukryte.\rNajlepiej użyj liter i cyfr. Naciśnij „Generuj test” jeszcze raz.")
                .arg(strona::najkrotszyKod),
            Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation, QStringLiteral("Generowanie Testu"));
        return; // nothing was written: the teacher tries again
    } else if (g == Generacja::Blad) {
        dialogs_.message(this, QStringLiteral("Niewłaściwe dane"), Dialogs::Buttons::Ok, Dialogs::Icon::Stop,
                         tytulBledu);
    }
    // One page per opening of the window, whatever happened.
    ui->cmdgeneruj->hide();
    ui->chkukryj->setEnabled(false);
    ui->chklosowo->setEnabled(false);
}

FrmTest::Generacja FrmTest::generuj(double ilosc)
{
    const int n = int(losowanie::zaokraglij(ilosc));
    const QString before = ui->lblspr->text();
    QString spr = before;
    const bool drawn = losowanie::losuj(iloscrekordow, n, random_, wylosowane, [&spr](qint16 k) {
        spr += QStringLiteral("- ") + QString::number(k);
    });
    ui->lblspr->setText(spr);
    if (!drawn || !html())
        return Generacja::Blad;
    const bool ukryj = ui->chkukryj->isChecked();
    if (ukryj && kod.size() < strona::najkrotszyKod) {
        ui->lblspr->setText(before);
        return Generacja::KrotkiKod;
    }

    pytania = QList<rekord>(n);
    for (int nrpytania = 1; nrpytania <= n; ++nrpytania)
        if (!zestaw_.read(wylosowane[nrpytania], pytania[nrpytania - 1]).ok)
            return Generacja::Blad;
    QString page;
    if (ukryj) {
        // Deriving the key takes a good part of a second, on purpose.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        page =
            strona::zapieczetowana(pytania, sekundy, kod, strona::Pieczec::nowa(ui->chklosowo->isChecked()));
        QApplication::restoreOverrideCursor();
    } else {
        page = strona::strona(pytania, sekundy, kod);
    }
    if (!strona::zapisz(QStringLiteral("test.html"), page).ok)
        return Generacja::Blad;
    ui->cmdtestdruk->show();
    ui->cmdklucz->show();
    return Generacja::Gotowe;
}

bool FrmTest::html()
{
    // The user's own number format: a Polish setting takes "1,5".
    minuty = dialogs_.input(this, QStringLiteral("Podaj czas trwania testu w pełnych minutach"),
                            QStringLiteral("Czas"));
    const std::optional<double> seconds = strona::sekundyZMinut(minuty, QLocale());
    if (!seconds)
        return false;
    sekundy = strona::sekundy(*seconds);
    kod = dialogs_.input(this, QStringLiteral("Podaj kod uruchommieniowy testu"), QStringLiteral("Hasło"));
    return true;
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
    dialogs_.saveFile(this, CmDruk);
    const QString path = CmDruk.fileName;
    if (path.isEmpty())
        return;
    // A shuffled page numbers its questions anew at every opening: the key goes by the texts.
    const druk::Opis opis{ui->lblnazwazestawu->text(), minuty, kod, QDate::currentDate(),
                          ui->chkukryj->isChecked() && ui->chklosowo->isChecked()};
    const QString folder = QFileInfo(CmDialog.fileName).absolutePath();
    const WynikDawny written =
        klucz ? druk::klucz(pytania, opis, folder, path) : druk::test(pytania, opis, folder, path);
    if (!written.ok)
        dialogs_.message(this,
                         QStringLiteral("Nie udało się zapisać pliku „%1”.\r%2").arg(path, written.error),
                         Dialogs::Buttons::Ok, Dialogs::Icon::Stop, QStringLiteral("Generowanie Testu"));
}
