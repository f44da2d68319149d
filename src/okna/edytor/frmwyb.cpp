#include "frmwyb.h"

#include "dostepnosc.h"
#include "komunikaty.h"
#include "oknosprawdzenia.h"
#include "ui_frmwyb.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

using Kontrolka = EdycjaZestawu::Kontrolka;
using Typ = Pytanie::Typ;
using Znak = EdycjaZestawu::Znak;

QString plainText(QWidget* box)
{
    if (auto* edit = qobject_cast<QPlainTextEdit*>(box))
        return edit->toPlainText();
    return static_cast<QLineEdit*>(box)->text();
}

void setPlainText(QWidget* box, const QString& text)
{
    if (auto* edit = qobject_cast<QPlainTextEdit*>(box))
        edit->setPlainText(text);
    else
        static_cast<QLineEdit*>(box)->setText(text);
}

} // namespace

FrmWyb::FrmWyb(Dialogs& dialogs, BiezacyFolder& folder, QWidget* parent)
    : QWidget(parent, Qt::Window), ui(new Ui::FrmWyb), dialogs_(dialogs), folder_(folder),
      sesja_(folder, [this](const QString& path) {
          QPixmap picture;
          return dialogs_.loadPicture(path, picture);
      })
{
    dostepnosc::podpisyWartosci();
    ui->setupUi(this);
    txtodp = {ui->txtodp_0, ui->txtodp_1, ui->txtodp_2, ui->txtodp_3, ui->txtodp_4};
    Opt = {ui->Opt_0, ui->Opt_1, ui->Opt_2, ui->Opt_3, ui->Opt_4};
    wy1 = {ui->wy1_0, ui->wy1_1, ui->wy1_2, ui->wy1_3, ui->wy1_4};
    // A grey box shown from a stored 2 becomes an ordinary two-state box once clicked.
    for (QCheckBox* box : wy1)
        connect(box, &QCheckBox::clicked, box, [box] { box->setTristate(false); });

    // Tab follows the layout: question, answer types, then each answer's marker and text.
    tabOrder_ = {ui->txtpytanie, ui->cmdwybor, ui->cmdopcja, ui->cmdtekst};
    for (int k = 0; k < 5; ++k)
        tabOrder_ << Opt[k] << wy1[k] << txtodp[k];
    tabOrder_ << ui->txtodpowiedz << ui->imgrysunek << ui->cmdwstecz << ui->cmddalej << ui->cmdnowepytanie
              << ui->cmdKasuj << ui->cmddolacz << ui->cmdeksport << ui->cmdsprawdz << ui->cmddrukuj
              << ui->cmdkoniec;

    // Before the first question decides it, a new question is multiple choice.
    ui->frmopt->hide();

    connect(ui->cmdwstecz, &QPushButton::clicked, this, &FrmWyb::cmdwstecz);
    connect(ui->cmddalej, &QPushButton::clicked, this, &FrmWyb::cmddalej);
    connect(ui->cmdkoniec, &QPushButton::clicked, this, &FrmWyb::cmdkoniec);
    connect(ui->cmdnowepytanie, &QPushButton::clicked, this, &FrmWyb::cmdnowepytanie);
    connect(ui->cmdopcja, &QPushButton::clicked, this, &FrmWyb::cmdopcja);
    connect(ui->cmdwybor, &QPushButton::clicked, this, &FrmWyb::cmdwybor);
    connect(ui->cmdtekst, &QPushButton::clicked, this, &FrmWyb::cmdtekst);
    connect(ui->cmdKasuj, &QPushButton::clicked, this, &FrmWyb::cmdKasuj);
    connect(ui->cmddolacz, &QPushButton::clicked, this, &FrmWyb::cmddolacz);
    connect(ui->cmdeksport, &QPushButton::clicked, this, &FrmWyb::cmdeksport);
    connect(ui->cmdsprawdz, &QPushButton::clicked, this, &FrmWyb::cmdsprawdz);
    connect(ui->cmddrukuj, &QPushButton::clicked, this, &FrmWyb::cmddrukuj);
    CmEksport.title = komunikaty::eksportZestawu;
    CmEksport.filters =
        QStringList{QStringLiteral("Moodle XML (*.xml)"), QStringLiteral("GIFT (*.gift *.txt)")};
    CmDruk.title = komunikaty::zestawJakoPdf;
    CmDruk.filters = QStringList{QStringLiteral("PDF (*.pdf)")};
    ui->imgrysunek->installEventFilter(this);
    ui->lblrysunek->installEventFilter(this);
    ui->imgrysunek->setCursor(Qt::PointingHandCursor);
    ui->imgrysunek->setFocusPolicy(Qt::StrongFocus);
    ui->lblrysunek->setCursor(Qt::PointingHandCursor);
}

FrmWyb::~FrmWyb() = default;

bool FrmWyb::load(bool nowy)
{
    CmDialog2.initialDir = sesja_.folderStartowy();
    QString nazwa, nazwaZestawu;
    if (nowy)
        nazwa = nazwaZestawu = komunikaty::zapytaj(dialogs_, this, komunikaty::Pole::NazwaZestawu);
    if (nazwa.isEmpty()) {
        dialogs_.openFile(this, CmDialog2, folder_);
        nazwa = CmDialog2.fileName;
        nazwaZestawu = CmDialog2.fileTitle;
    }
    ui->lblnazwazestawu->setText(nazwaZestawu);
    ui->frameodpowiedzi->hide();
    ui->frametekst->hide();
    return pokaz(sesja_.otworz(nazwa, nazwaZestawu));
}

bool FrmWyb::pokaz(const EdycjaZestawu::Skutek& s)
{
    komunikaty::pokaz(dialogs_, this, s.komunikaty);
    switch (s.koniec) {
    case EdycjaZestawu::Koniec::ZakonczProgram:
        closed_ = true;
        emit koniecProgramu();
        return false;
    case EdycjaZestawu::Koniec::ZamknijEdytor:
        closed_ = true;
        close();
        return false;
    case EdycjaZestawu::Koniec::Nie:
        break;
    }
    if (s.widok)
        pokazWidok(*s.widok);
    showPicture();
    ui->lblnazwazestawu->setText(sesja_.nazwaZestawu());
    ui->lbliloscpytan->setText(QString::number(sesja_.iloscrekordow()));
    ui->lblnrpytania->setText(QString::number(sesja_.nrrekordu()));
    return s.zrobione;
}

void FrmWyb::pokazWidok(const EdycjaZestawu::Widok& w)
{
    ui->txtpytanie->setPlainText(w.pytanie);
    if (w.typ == Typ::Tekst) {
        // The answer boxes and markers keep the previous question's.
        ui->frameodpowiedzi->hide();
        ui->frametekst->show();
        ui->txtodpowiedz->setText(w.wzor);
        return;
    }
    ui->frameodpowiedzi->show();
    ui->frametekst->hide();
    for (int k = 0; k < 5; ++k)
        setAnswerText(k, w.odpowiedzi[size_t(k)]);
    ui->frmopt->setVisible(w.typ == Typ::Opcja);
    ui->frmwyb->setVisible(w.typ != Typ::Opcja);
    if (w.typ == Typ::Opcja) {
        clearOptions();
        if (w.opcja >= 0)
            Opt[size_t(w.opcja)]->setChecked(true);
        return;
    }
    for (int k = 0; k < 5; ++k) {
        const Znak z = w.znaki[size_t(k)];
        wy1[k]->setTristate(z == Znak::Szary);
        wy1[k]->setCheckState(z == Znak::Szary ? Qt::PartiallyChecked
                              : z == Znak::Tak ? Qt::Checked
                                               : Qt::Unchecked);
    }
}

EdycjaZestawu::Ekran FrmWyb::ekran() const
{
    EdycjaZestawu::Ekran e;
    e.pytanie = ui->txtpytanie->toPlainText();
    for (int k = 0; k < 5; ++k) {
        e.odpowiedzi[size_t(k)] = plainText(txtodp[k]);
        e.opcje[size_t(k)] = Opt[k]->isChecked();
        const Qt::CheckState state = wy1[k]->checkState();
        e.znaki[size_t(k)] = state == Qt::Checked            ? Znak::Tak
                             : state == Qt::PartiallyChecked ? Znak::Szary
                                                             : Znak::Nie;
    }
    // The panels' own shown flags decide, not what is on screen: a panel keeps its flag while
    // the frame around it is hidden.
    e.typ = !ui->frametekst->isHidden() ? Typ::Tekst : ui->frmopt->isHidden() ? Typ::Wybor : Typ::Opcja;
    e.wzor = ui->txtodpowiedz->text();
    return e;
}

void FrmWyb::setPicture(const QPixmap& picture)
{
    if (picture.isNull()) {
        ui->imgrysunek->clear();
    } else {
        // Scaled for the screen's pixel density, so the picture stays sharp on HiDPI screens.
        const qreal ratio = ui->imgrysunek->devicePixelRatioF();
        QPixmap scaled =
            picture.scaled(ui->imgrysunek->size() * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        scaled.setDevicePixelRatio(ratio);
        ui->imgrysunek->setPixmap(scaled);
    }
    ui->imgrysunek->repaint();
}

void FrmWyb::showPicture()
{
    const QString path = sesja_.rysunekNaEkranie();
    QPixmap picture;
    if (!dialogs_.loadPicture(path, picture))
        picture = QPixmap();
    setPicture(picture);
}

void FrmWyb::cmddalej()
{
    if (pokaz(sesja_.dalej(ekran())))
        ui->txtpytanie->setFocus();
}

void FrmWyb::cmdwstecz()
{
    pokaz(sesja_.wstecz(ekran()));
}

void FrmWyb::cmdkoniec()
{
    pokaz(sesja_.zakoncz(ekran()));
}

void FrmWyb::porzuc()
{
    sesja_.porzuc();
    closed_ = true;
    close();
}

void FrmWyb::closeEvent(QCloseEvent* event)
{
    // The title bar's close behaves as "Koniec".
    if (closed_) {
        event->accept();
        return;
    }
    // Already closing: the outcome's own close would come back here.
    EdycjaZestawu::Skutek s = sesja_.zakoncz(ekran());
    const bool zamknij = s.koniec == EdycjaZestawu::Koniec::ZamknijEdytor;
    if (zamknij)
        s.koniec = EdycjaZestawu::Koniec::Nie;
    pokaz(s);
    closed_ = closed_ || zamknij;
    event->setAccepted(closed_);
}

void FrmWyb::cmdopcja()
{
    pokazWybor(true);
}

void FrmWyb::cmdwybor()
{
    pokazWybor(false);
}

// The two choice modes differ only in which marker frame stands beside the answers.
void FrmWyb::pokazWybor(bool opcja)
{
    ui->frameodpowiedzi->show();
    ui->frametekst->hide();
    ui->frmopt->setVisible(opcja);
    ui->frmwyb->setVisible(!opcja);
    txtodp[0]->setFocus();
}

void FrmWyb::cmdtekst()
{
    ui->frameodpowiedzi->hide();
    ui->frametekst->show();
    ui->txtodpowiedz->setFocus();
}

void FrmWyb::cmdnowepytanie()
{
    const EdycjaZestawu::Skutek s = sesja_.nowePytanie(ekran());
    // No answer panel until a mode is chosen, also when the set is full; the markers' frames
    // keep their flags.
    if (s.zrobione || (!s.komunikaty.isEmpty() && s.komunikaty.last().rodzaj == Komunikat::ZestawPelny)) {
        ui->frameodpowiedzi->hide();
        ui->frametekst->hide();
    }
    if (!pokaz(s))
        return;
    ui->txtodpowiedz->clear();
    ui->txtpytanie->clear();
    for (int k = 0; k < 5; ++k)
        setAnswerText(k, QString());
    clearOptions();
    for (QCheckBox* box : wy1) {
        box->setTristate(false);
        box->setCheckState(Qt::Unchecked);
    }
    ui->txtpytanie->setFocus();
}

void FrmWyb::setAnswerText(int k, const QString& text)
{
    setPlainText(txtodp[k], text);
}

void FrmWyb::clearOptions()
{
    for (QRadioButton* option : Opt) {
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
}

bool FrmWyb::focusNextPrevChild(bool next)
{
    // Qt's own focus chain gets lost around the multi-line boxes, so Tab walks our list,
    // skipping what is hidden in the current answer mode.
    const qsizetype n = tabOrder_.size();
    const qsizetype at = tabOrder_.indexOf(QApplication::focusWidget());
    if (at < 0)
        return QWidget::focusNextPrevChild(next);
    for (qsizetype step = 1; step < n; ++step) {
        QWidget* candidate = tabOrder_[(at + (next ? step : n - step)) % n];
        if (candidate->isVisible() && candidate->isEnabled() && (candidate->focusPolicy() & Qt::TabFocus)) {
            candidate->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return false;
}

bool FrmWyb::eventFilter(QObject* watched, QEvent* event)
{
    // The picture box can also be reached with Tab and used with Space or Enter.
    if (watched == ui->imgrysunek && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
            rysunek(EdycjaZestawu::Kontrolka::Obraz);
            return true;
        }
    }
    // The picture box and its label act on a click, like buttons.
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == ui->imgrysunek) {
            rysunek(EdycjaZestawu::Kontrolka::Obraz);
            return true;
        }
        if (watched == ui->lblrysunek) {
            rysunek(EdycjaZestawu::Kontrolka::Podpis);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FrmWyb::cmdKasuj()
{
    if (komunikaty::pokaz(dialogs_, this, {Komunikat::KasowacRekord, {}}) != Dialogs::Answer::Yes)
        return;
    setPicture(QPixmap());
    if (pokaz(sesja_.usun()))
        ui->txtpytanie->setFocus();
}

void FrmWyb::cmddolacz()
{
    CmDialog2.fileName.clear();
    dialogs_.openFile(this, CmDialog2, folder_);
    const EdycjaZestawu::Skutek s = sesja_.dolacz(CmDialog2.fileName);
    if (pokaz(s) || s.widok)
        ui->txtpytanie->setFocus();
}

void FrmWyb::rysunek(Kontrolka kontrolka)
{
    pokaz(sesja_.rysunek(kontrolka, ekran(), [this](const QString& folderStartowy) {
        if (!folderStartowy.isEmpty())
            CmDialog2.initialDir = folderStartowy;
        dialogs_.openFile(this, CmDialog2, folder_);
        return CmDialog2.fileTitle;
    }));
}

bool FrmWyb::plikDo(SaveFileDialog& dialog)
{
    if (!pokaz(sesja_.zachowaj(ekran())))
        return false;
    dialogs_.saveFile(this, dialog, folder_);
    return !dialog.fileName.isEmpty();
}

void FrmWyb::cmdeksport()
{
    if (plikDo(CmEksport))
        pokaz(sesja_.eksportuj(CmEksport.fileName));
}

void FrmWyb::cmddrukuj()
{
    if (plikDo(CmDruk))
        pokaz(sesja_.drukuj(CmDruk.fileName));
}

void FrmWyb::cmdsprawdz()
{
    QList<sprawdzenie::Uwaga> uwagi;
    if (!pokaz(sesja_.sprawdz(ekran(), uwagi)))
        return;
    if (!sprawdzenie_) {
        sprawdzenie_ = new OknoSprawdzenia(this);
        connect(sprawdzenie_, &OknoSprawdzenia::pokazPytanie, this, &FrmWyb::pokazPytanie);
    }
    sprawdzenie_->pokaz(uwagi);
}

void FrmWyb::pokazPytanie(int nr)
{
    if (nr > sesja_.iloscrekordow())
        return;
    if (pokaz(sesja_.idzDo(nr, ekran()))) {
        raise();
        activateWindow();
        ui->txtpytanie->setFocus();
    }
}
