#include "oknoklasy.h"

#include "dostepnosc.h"
#include "druk.h"
#include "kodqr.h"
#include "komunikaty.h"
#include "serwerklasy.h"
#include "testklasowy.h"
#include "ui_oknoklasy.h"
#include "zapis.h"

#include <QCloseEvent>
#include <QDialog>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace wk = komunikaty::wklasie;

namespace {

constexpr int bokKoduQr = 220; // pixels, about the size a phone's camera reads from a few steps

// A share as the page writes its percentage: one decimal at most, a comma before it.
QString procentPl(double procent)
{
    return QString::number(std::round(procent * 10) / 10).replace(u'.', u',') + QStringLiteral(" %");
}

QString pozostalo(qint64 s)
{
    const auto dwie = [](qint64 n) { return QStringLiteral("%1").arg(n, 2, 10, QChar(u'0')); };
    return s >= 3600 ? QStringLiteral("%1:%2:%3").arg(s / 3600).arg(dwie(s / 60 % 60), dwie(s % 60))
                     : QStringLiteral("%1:%2").arg(s / 60).arg(dwie(s % 60));
}

// The cell's text, the item made when the row is new; numbers stand at the right.
void komorka(QTableWidget* tabela, int wiersz, int kolumna, const QString& tekst, bool liczba = false)
{
    auto* item = tabela->item(wiersz, kolumna);
    if (!item) {
        item = new QTableWidgetItem;
        if (liczba)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        tabela->setItem(wiersz, kolumna, item);
    }
    if (item->text() != tekst)
        item->setText(tekst);
}

// The QR code with its quiet zone of four modules, each module a whole number of pixels.
QPixmap obrazKodu(const std::vector<std::vector<bool>>& kod)
{
    const int n = int(kod.size()) + 8, skala = std::max(1, bokKoduQr / std::max(n, 1));
    QImage obraz(n * skala, n * skala, QImage::Format_RGB32);
    obraz.fill(Qt::white);
    QPainter p(&obraz);
    for (size_t y = 0; y < kod.size(); ++y)
        for (size_t x = 0; x < kod[y].size(); ++x)
            if (kod[y][x])
                p.fillRect(int(x + 4) * skala, int(y + 4) * skala, skala, skala, Qt::black);
    p.end();
    return QPixmap::fromImage(obraz);
}

QString naEkran(QString tekst)
{
    return tekst.replace(QStringLiteral("\r\n"), QStringLiteral(" "))
        .replace(u'\r', u' ')
        .replace(u'\n', u' ');
}

} // namespace

OknoKlasy::OknoKlasy(Dialogs& dialogs, BiezacyFolder& folder, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::OknoKlasy>()), dialogs_(dialogs), folder_(folder)
{
    dostepnosc::podpisyWartosci();
    ui->setupUi(this);
    // The numbers as wide as they need, the names and the questions' texts in the rest.
    for (const auto& [tab, tekst] : {std::pair{ui->tabuczniowie, 0}, std::pair{ui->tabpytania, 1}}) {
        tab->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        tab->horizontalHeader()->setSectionResizeMode(tekst, QHeaderView::Stretch);
    }
    csv_.filters = QStringList{QStringLiteral("CSV (*.csv)")};
    pdf_.title = komunikaty::jakoPdf;
    pdf_.filters = QStringList{QStringLiteral("PDF (*.pdf)")};
    zegar_.setInterval(1000);
    // Many pupils saving at once change the test many times a second: the tables follow at most
    // five times a second.
    odswiezenie_.setSingleShot(true);
    odswiezenie_.setInterval(200);
    connect(&zegar_, &QTimer::timeout, this, &OknoKlasy::tyka);
    connect(&odswiezenie_, &QTimer::timeout, this, &OknoKlasy::odswiez);
    connect(ui->tabuczniowie, &QTableWidget::cellDoubleClicked, this, [this](int w) { szczegoly(w); });
    connect(ui->cmdzwolnij, &QPushButton::clicked, this, &OknoKlasy::zwolnij);
    connect(ui->cmdzakoncz, &QPushButton::clicked, this, &OknoKlasy::zakoncz);
    connect(ui->cmdeksport, &QPushButton::clicked, this, &OknoKlasy::eksport);
    connect(ui->cmddrukuj, &QPushButton::clicked, this, &OknoKlasy::drukuj);
    connect(ui->cmdzamknij, &QPushButton::clicked, this, &QWidget::close);
}

OknoKlasy::~OknoKlasy() = default;

QList<QHostAddress> OknoKlasy::adresy()
{
    if (const QString jeden = qEnvironmentVariable("TESTOWNIK_ADRES_KLASY"); !jeden.isEmpty())
        return {QHostAddress(jeden)};
    auto w = adresySieci();
    w.append(QHostAddress(QHostAddress::LocalHost));
    return w;
}

bool OknoKlasy::uruchom(const Generowanie::DoKlasy& klasa)
{
    klasa_ = klasa;
    const QString plik = Magazyn::plikDla(klasa_.plik);
    bool wznow = false, byl = false;
    {
        // Only a look at the store: the test opens it again for itself.
        auto m = Magazyn::otworz(plik);
        auto stary = m ? (*m)->niedokonczony() : ::Wynik<std::optional<Magazyn::Test>>(m.error());
        if (!stary) {
            wk::pokaz(dialogs_, this, wk::nieOtwartoMagazynu(plik, stary.error().szczegol));
            return false;
        }
        if ((byl = stary->has_value())) {
            const auto zapisani = (*m)->uczniowie((*stary)->id);
            wznow = wk::pytaj(dialogs_, this,
                              wk::wznowic(klasa_.nazwa, (*stary)->pin,
                                          (*stary)->koniec.toLocalTime().toString(QStringLiteral("HH:mm")),
                                          zapisani ? int(zapisani->size()) : 0));
        }
    }
    // A new test ends the unfinished one; its results are offered as a file first.
    if (byl && !wznow && !zapiszStare())
        return false;
    int minuty = 0;
    if (!wznow) {
        const QString czas = komunikaty::zapytaj(dialogs_, this, komunikaty::Pole::CzasTestu);
        if (czas.isEmpty())
            return false;
        const auto m = Generowanie::minutyKlasy(czas);
        if (!m) {
            komunikaty::pokaz(dialogs_, this, Zdarzenie{Komunikat::NiewlasciweDane, {}});
            return false;
        }
        minuty = *m;
    }
    return otworzTest(wznow, minuty);
}

bool OknoKlasy::zapiszStare()
{
    const QString plik = Magazyn::plikDla(klasa_.plik);
    QByteArray csv;
    {
        auto m = Magazyn::otworz(plik);
        auto t = m ? TestKlasowy::otworz(std::move(*m),
                                         {klasa_.zestaw, klasa_.folder, klasa_.liczba, 0, {}, {}}, true)
                   : ::Wynik<std::unique_ptr<TestKlasowy>>(m.error());
        if (!t) { // a sheet the set no longer fits must not keep every new test from starting
            wk::pokaz(dialogs_, this, wk::nieOdczytanoStarego(plik, t.error().szczegol));
            return wk::pytaj(dialogs_, this, wk::niezapisaneStare(plik));
        }
        csv = (*t)->csv();
    }
    csv_.title = QStringLiteral("Zapisz wyniki niedokończonego testu");
    dialogs_.saveFile(this, csv_, folder_);
    if (csv_.fileName.isEmpty())
        return wk::pytaj(dialogs_, this, wk::niezapisaneStare(plik));
    if (const auto z = io::zapiszBezpiecznie(csv_.fileName, csv); !z) {
        wk::pokaz(dialogs_, this, wk::nieZapisanoPliku(csv_.fileName, z.error().szczegol));
        return false;
    }
    return true;
}

bool OknoKlasy::otworzTest(bool wznow, int minuty)
{
    const QString plik = Magazyn::plikDla(klasa_.plik);
    auto m = Magazyn::otworz(plik);
    auto t = m ? TestKlasowy::otworz(std::move(*m),
                                     {klasa_.zestaw, klasa_.folder, klasa_.liczba, minuty, {}, {}}, wznow)
               : ::Wynik<std::unique_ptr<TestKlasowy>>(m.error());
    if (!t) {
        wk::pokaz(dialogs_, this, wk::nieOtwartoMagazynu(plik, t.error().szczegol));
        return false;
    }
    test_ = std::move(*t);
    serwer_ = std::make_unique<SerwerKlasy>(*test_);
    const auto lista = adresy();
    const auto port = serwer_->nasluchuj(lista);
    if (!port) {
        wk::pokaz(dialogs_, this, wk::nieNasluchuje(port.error().szczegol));
        serwer_.reset();
        test_.reset();
        return false;
    }
    port_ = *port;
    pokazAdresy(lista);
    ui->lblpin->setText(test_->pin());
    ui->chkpokaz->setChecked(test_->pokaz());
    connect(ui->chkpokaz, &QCheckBox::toggled, this, [this](bool pokaz) {
        if (const auto z = test_->ustawPokaz(pokaz); !z) {
            const QSignalBlocker cisza(ui->chkpokaz);
            ui->chkpokaz->setChecked(!pokaz);
            bladZapisu(z.error());
        }
    });
    connect(test_.get(), &TestKlasowy::zmiana, this, [this] {
        bladPokazany_ = false; // the store writes again: the next failure is told anew
        if (!odswiezenie_.isActive())
            odswiezenie_.start();
    });
    connect(test_.get(), &TestKlasowy::bladZapisu, this, &OknoKlasy::bladZapisu);
    odswiez();
    zegar_.start();
    return true;
}

void OknoKlasy::pokazAdresy(const QList<QHostAddress>& adresy)
{
    QList<QHostAddress> pokazane;
    for (const auto& a : adresy)
        if (!a.isLoopback())
            pokazane.append(a);
    if (pokazane.isEmpty()) // no network: the computer itself is all there is
        pokazane = adresy;
    auto url = [this](const QHostAddress& a) {
        return QStringLiteral("http://%1:%2/").arg(a.toString()).arg(port_);
    };
    ui->lbladres->setText(url(pokazane.value(0)));
    for (qsizetype i = 1; i < pokazane.size(); ++i) {
        auto* wartosc = new QLabel(url(pokazane[i]), this);
        wartosc->setProperty("podpis", QStringLiteral("Adres"));
        wartosc->setTextInteractionFlags(Qt::TextSelectableByMouse);
        ui->dane->insertRow(int(i), new QLabel(QStringLiteral("Adres:"), this), wartosc);
    }
    ui->lblkodqr->setPixmap(obrazKodu(kodQr(ui->lbladres->text())));
    ui->lblkodqr->setAccessibleName(QStringLiteral("Kod QR: ") + ui->lbladres->text());
}

int OknoKlasy::piszacych() const
{
    int n = 0;
    for (const auto& w : test_->wiersze())
        n += w.stan == u"pisze";
    return n;
}

void OknoKlasy::odswiez()
{
    if (!test_)
        return;
    auto* tab = ui->tabuczniowie;
    const qint64 zaznaczony = uczniowie_.value(tab->currentRow(), -1);
    const auto wiersze = test_->wiersze();
    tab->setRowCount(int(wiersze.size()));
    uczniowie_.clear();
    for (int i = 0; i < int(wiersze.size()); ++i) {
        const auto& w = wiersze[i];
        uczniowie_.append(w.id);
        komorka(tab, i, 0, w.uczen);
        komorka(tab, i, 1, w.stan);
        komorka(tab, i, 2, QString::number(w.punkty), true);
        komorka(tab, i, 3, QString::number(w.maks), true);
        komorka(tab, i, 4, w.procent ? procentPl(*w.procent) : QString(), true);
        komorka(tab, i, 5,
                w.stan == u"oddał" ? w.oddano.toLocalTime().toString(QStringLiteral("HH:mm:ss")) : QString());
        if (w.id == zaznaczony && tab->currentRow() != i)
            tab->selectRow(i);
    }
    const auto pytania = test_->pytania();
    ui->tabpytania->setRowCount(int(pytania.size()));
    for (int i = 0; i < int(pytania.size()); ++i) {
        const auto& p = pytania[i];
        komorka(ui->tabpytania, i, 0, QString::number(p.pytanie + 1), true);
        komorka(ui->tabpytania, i, 1, naEkran(klasa_.zestaw.value(p.pytanie).tresc));
        komorka(ui->tabpytania, i, 2, QString::number(p.ilu), true);
        komorka(ui->tabpytania, i, 3, procentPl(100 * p.udzial), true);
    }
    if (test_->zakonczony()) {
        // Closed for everyone: the pupils' pages have nothing more to send.
        serwer_->zatrzymaj();
        for (QWidget* w : {static_cast<QWidget*>(ui->cmdzakoncz), static_cast<QWidget*>(ui->cmdzwolnij),
                           static_cast<QWidget*>(ui->chkpokaz)})
            w->setEnabled(false);
    }
    tyka();
}

void OknoKlasy::tyka()
{
    if (!test_)
        return;
    test_->sprawdzCzas();
    if (test_->zakonczony()) {
        zegar_.stop();
        ui->lblpozostalo->setText(QStringLiteral("test zakończony"));
        if (ui->cmdzakoncz->isEnabled())
            odswiez();
        return;
    }
    ui->lblpozostalo->setText(pozostalo(test_->pozostaloSekund()));
}

void OknoKlasy::szczegoly(int wiersz)
{
    if (!test_ || wiersz < 0 || wiersz >= uczniowie_.size())
        return;
    const QString uczen = ui->tabuczniowie->item(wiersz, 0)->text();
    const auto odpowiedzi = test_->odpowiedziUcznia(uczniowie_[wiersz]);
    auto* okno = new QDialog(this);
    okno->setObjectName(QStringLiteral("odpowiedziucznia"));
    okno->setAttribute(Qt::WA_DeleteOnClose);
    okno->setWindowTitle(QStringLiteral("Odpowiedzi ucznia: ") + uczen);
    auto* tab = new QTableWidget(int(odpowiedzi.size()), 5, okno);
    tab->setObjectName(QStringLiteral("tabodpowiedzi"));
    tab->setAccessibleName(QStringLiteral("Odpowiedzi ucznia ") + uczen);
    tab->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tab->verticalHeader()->hide();
    tab->setHorizontalHeaderLabels({QStringLiteral("Nr"), QStringLiteral("Pytanie"),
                                    QStringLiteral("Odpowiedź"), QStringLiteral("Punkty"),
                                    QStringLiteral("Maks.")});
    tab->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    for (int i = 0; i < int(odpowiedzi.size()); ++i) {
        const auto& o = odpowiedzi[i];
        komorka(tab, i, 0, QString::number(o.nr), true);
        komorka(tab, i, 1, naEkran(o.tresc));
        komorka(tab, i, 2, o.odpowiedz);
        komorka(tab, i, 3, QString::number(o.punkty.punkty), true);
        komorka(tab, i, 4, QString::number(o.punkty.maks), true);
    }
    auto* zamknij = new QPushButton(QStringLiteral("Zamknij"), okno);
    zamknij->setAccessibleName(QStringLiteral("Zamknij"));
    connect(zamknij, &QPushButton::clicked, okno, &QDialog::close);
    auto* uklad = new QVBoxLayout(okno);
    uklad->addWidget(tab);
    uklad->addWidget(zamknij, 0, Qt::AlignRight);
    okno->resize(760, 420);
    okno->show();
}

void OknoKlasy::zwolnij()
{
    const int wiersz = ui->tabuczniowie->currentRow();
    if (!test_ || wiersz < 0 || wiersz >= uczniowie_.size()) {
        wk::pokaz(dialogs_, this, wk::zaznaczUcznia(), Dialogs::Icon::Information);
        return;
    }
    const QString uczen = ui->tabuczniowie->item(wiersz, 0)->text();
    if (const auto z = test_->zwolnij(uczniowie_[wiersz]); z)
        wk::pokaz(dialogs_, this, wk::zwolniono(uczen), Dialogs::Icon::Information);
    else if (z.error().rodzaj == Blad::Rodzaj::PozaZakresem)
        wk::pokaz(dialogs_, this, wk::nieZwolniono(uczen), Dialogs::Icon::Exclamation);
    else
        bladZapisu(z.error());
}

void OknoKlasy::zakoncz()
{
    if (const int n = piszacych(); n > 0 && !wk::pytaj(dialogs_, this, wk::zakonczyc(n)))
        return;
    (void)test_->zakoncz(); // a failure reaches the teacher through bladZapisu
    odswiez();
}

void OknoKlasy::eksport()
{
    csv_.title = QStringLiteral("Eksport wyników");
    dialogs_.saveFile(this, csv_, folder_);
    if (csv_.fileName.isEmpty())
        return;
    if (const auto z = io::zapiszBezpiecznie(csv_.fileName, test_->csv()); !z)
        wk::pokaz(dialogs_, this, wk::nieZapisanoPliku(csv_.fileName, z.error().szczegol));
}

void OknoKlasy::drukuj()
{
    dialogs_.saveFile(this, pdf_, folder_);
    if (pdf_.fileName.isEmpty())
        return;
    odswiez();
    druk::Tabela tabela;
    tabela.opis = {{QStringLiteral("Zestaw:"), klasa_.nazwa},
                   {QStringLiteral("Data:"), QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"))},
                   {QStringLiteral("Uczniów:"), QString::number(uczniowie_.size())}};
    const auto* tab = ui->tabuczniowie;
    for (int k = 0; k < tab->columnCount(); ++k)
        tabela.naglowki.append(tab->horizontalHeaderItem(k)->text());
    for (int i = 0; i < tab->rowCount(); ++i) {
        QStringList w;
        for (int k = 0; k < tab->columnCount(); ++k)
            w.append(tab->item(i, k)->text());
        tabela.wiersze.append(w);
    }
    if (const auto z = druk::wyniki(QStringLiteral("Wyniki testu: ") + klasa_.nazwa, tabela, pdf_.fileName);
        !z)
        wk::pokaz(dialogs_, this, wk::nieZapisanoPliku(pdf_.fileName, komunikaty::powod(z.error())));
}

void OknoKlasy::bladZapisu(const Blad& blad)
{
    ui->lblblad->setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss – ")) + blad.szczegol);
    ui->lblblad->show();
    if (std::exchange(bladPokazany_, true))
        return; // told once until the store writes again; the line above keeps the latest
    // Not inside the pupil's request that failed: the box waits for the teacher.
    QTimer::singleShot(0, this, [this, szczegol = blad.szczegol] {
        wk::pokaz(dialogs_, this, wk::bladZapisu(Magazyn::plikDla(klasa_.plik), szczegol));
    });
}

void OknoKlasy::closeEvent(QCloseEvent* event)
{
    if (test_ && !test_->zakonczony()) {
        if (const int n = piszacych(); n > 0 && !wk::pytaj(dialogs_, this, wk::zamknac(n))) {
            event->ignore();
            return;
        }
    }
    zegar_.stop();
    odswiezenie_.stop();
    if (serwer_)
        serwer_->zatrzymaj();
    serwer_.reset();
    test_.reset(); // the store is closed, so the same set can start again
    event->accept();
}
