#include "frmtest.h"

#include "dostepnosc.h"
#include "ikony.h"
#include "strona.h"
#include "ui_frmtest.h"

#include <QCloseEvent>
#include <QDir>
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

    connect(ui->cmdgeneruj, &QPushButton::clicked, this, &FrmTest::cmdgenerujClick);
    connect(ui->cmdkoniec, &QPushButton::clicked, this, &FrmTest::cmdkoniecClick);
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
    } else if (!generuj(ilosc)) {
        dialogs_.message(this, QStringLiteral("Niewłaściwe dane"), Dialogs::Buttons::Ok, Dialogs::Icon::Stop,
                         tytulBledu);
    }
    // One page per opening of the window, whatever happened.
    ui->cmdgeneruj->hide();
}

bool FrmTest::generuj(double ilosc)
{
    const int n = int(losowanie::zaokraglij(ilosc));
    QString spr = ui->lblspr->text();
    const bool drawn = losowanie::losuj(iloscrekordow, n, random_, wylosowane, [&spr](qint16 k) {
        spr += QStringLiteral("- ") + QString::number(k);
    });
    ui->lblspr->setText(spr);
    if (!drawn || !html())
        return false;

    QList<rekord> pytania(n);
    for (int nrpytania = 1; nrpytania <= n; ++nrpytania)
        if (!zestaw_.read(wylosowane[nrpytania], pytania[nrpytania - 1]).ok)
            return false;
    return strona::zapisz(QStringLiteral("test.html"), strona::strona(pytania, sekundy, kod)).ok;
}

bool FrmTest::html()
{
    // The user's own number format: a Polish setting takes "1,5".
    const std::optional<double> seconds = strona::sekundyZMinut(
        dialogs_.input(this, QStringLiteral("Podaj czas trwania testu w pełnych minutach"),
                       QStringLiteral("Czas")),
        QLocale());
    if (!seconds)
        return false;
    sekundy = strona::sekundy(*seconds);
    kod = dialogs_.input(this, QStringLiteral("Podaj kod uruchommieniowy testu"), QStringLiteral("Hasło"));
    return true;
}
