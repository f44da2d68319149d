#include "frmtest.h"

#include "strona.h"
#include "ui_frmtest.h"

#include <QCloseEvent>
#include <QDir>
#include <QIcon>
#include <QLocale>
#include <QTime>

namespace {

const QString tytulBledu = QStringLiteral("Błąd danych");

} // namespace

FrmTest::FrmTest(Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::FrmTest>()), dialogs_(dialogs)
{
    ui->setupUi(this);
    ui->cmdgeneruj->setIcon(QIcon(QPixmap(QStringLiteral(":/icons/generuj.png"), "PNG")));
    ui->cmdkoniec->setIcon(QIcon(QPixmap(QStringLiteral(":/icons/koniec.png"), "PNG")));
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
    const bool opened = zestaw_.open(CmDialog.fileName, SetFile::Mode::ReadOnlyFallback);
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

    trescstrony.clear();
    skrypt.clear();
    for (nrpytania = 1; nrpytania <= n; ++nrpytania) {
        if (!zestaw_.read(wylosowane[nrpytania], bufor))
            return false;
        if (bufor.typ == 1)
            opcja();
        else if (bufor.typ == 2)
            text();
        else
            wybor(); // also a type the editor never writes, shown as the editor shows it
        skrypt += skryptpytania;
        trescstrony += blokpytania;
    }
    // Appended into one reserved text: a chain of + would copy the whole page several times.
    calastrona.clear();
    calastrona.reserve(glowa.size() + skrypt.size() + ogon.size() + trescstrony.size() + stopka.size());
    for (const QString* part : {&glowa, &skrypt, &ogon, &trescstrony, &stopka})
        calastrona += *part;
    return strona::zapisz(QStringLiteral("test.html"), calastrona);
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
    const QString code =
        dialogs_.input(this, QStringLiteral("Podaj kod uruchommieniowy testu"), QStringLiteral("Hasło"));
    glowa = strona::glowa(strona::sekundy(*seconds), code);
    ogon = strona::ogon();
    stopka = strona::stopka();
    return true;
}

void FrmTest::opcja()
{
    const strona::Blok b = strona::opcja(bufor, nrpytania);
    blokpytania = b.blokpytania;
    skryptpytania = b.skryptpytania;
}

void FrmTest::wybor()
{
    const strona::Blok b = strona::wybor(bufor, nrpytania);
    blokpytania = b.blokpytania;
    skryptpytania = b.skryptpytania;
}

void FrmTest::text()
{
    const strona::Blok b = strona::text(bufor, nrpytania);
    blokpytania = b.blokpytania;
    skryptpytania = b.skryptpytania;
}
