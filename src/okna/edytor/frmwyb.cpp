#include "frmwyb.h"

#include "dostepnosc.h"
#include "druk.h"
#include "oknosprawdzenia.h"
#include "przebudowa.h"
#include "ui_frmwyb.h"
#include "wymiana.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace {

const QString editorTitle = QStringLiteral("Budowanie bazy pytań");

// Text boxes hold lines joined by "\n"; a set stores them as the desktop's CR LF.
QString toStored(QString text)
{
    return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

QString fromStored(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

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

FrmWyb::FrmWyb(Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), ui(new Ui::FrmWyb), dialogs_(dialogs)
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
    tabOrder_ << ui->txtodpowiedz << ui->Image1 << ui->cmdwstecz << ui->cmddalej << ui->cmdnowepytanie
              << ui->cmdKasuj << ui->Command1 << ui->cmdeksport << ui->cmdsprawdz << ui->cmddrukuj
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
    connect(ui->Command1, &QPushButton::clicked, this, &FrmWyb::Command1);
    connect(ui->cmdeksport, &QPushButton::clicked, this, &FrmWyb::cmdeksport);
    connect(ui->cmdsprawdz, &QPushButton::clicked, this, &FrmWyb::cmdsprawdz);
    CmEksport.title = QStringLiteral("Eksport zestawu");
    CmEksport.filters =
        QStringList{QStringLiteral("Moodle XML (*.xml)"), QStringLiteral("GIFT (*.gift *.txt)")};
    connect(ui->cmddrukuj, &QPushButton::clicked, this, &FrmWyb::cmddrukuj);
    CmDruk.title = QStringLiteral("Zapisz zestaw jako PDF");
    CmDruk.filters = QStringList{QStringLiteral("PDF (*.pdf)")};
    ui->Image1->installEventFilter(this);
    ui->Label2->installEventFilter(this);
    ui->Image1->setCursor(Qt::PointingHandCursor);
    ui->Image1->setFocusPolicy(Qt::StrongFocus);
    ui->Label2->setCursor(Qt::PointingHandCursor);
}

FrmWyb::~FrmWyb() = default;

bool FrmWyb::load(qint16 nowyzestaw)
{
    File1 = QDir::currentPath();
    CmDialog2.initialDir = File1;

    QString nazwapliku;
    if (nowyzestaw == 1) {
        nazwapliku =
            dialogs_.input(this, QStringLiteral("Podaj nazwę zestawu"), QStringLiteral("Nazwa bazy pytań"));
        ui->lblnazwazestawu->setText(nazwapliku);
    }
    if (nazwapliku.isEmpty()) {
        CmDialog2.initialDir = QDir::currentPath();
        dialogs_.openFile(this, CmDialog2);
        nazwapliku = CmDialog2.fileName;
        ui->lblnazwazestawu->setText(CmDialog2.fileTitle);
    }
    if (nazwapliku.isEmpty()) {
        dialogs_.endProgram();
        return false;
    }

    const OtwartyZestaw::WynikOtwarcia opened = zestaw_.otworz(nazwapliku);
    switch (opened.stan) {
    case OtwartyZestaw::Stan::Gotowe:
        break;
    case OtwartyZestaw::Stan::NieZestaw:
        nieJestZestawem();
        return false;
    case OtwartyZestaw::Stan::ZaDuzy:
        blad(QStringLiteral("Zestaw „%1” jest za duży.").arg(nazwapliku));
        return false;
    case OtwartyZestaw::Stan::NieOtwarto:
        blad(QStringLiteral("Nie można otworzyć zestawu „%1”.\r%2").arg(nazwapliku, opened.error));
        return false;
    case OtwartyZestaw::Stan::NieZapisano:
        blad(QStringLiteral("Nie można zapisać zestawu „%1”.\r%2").arg(nazwapliku, opened.error));
        return false;
    }
    nrrekordu_ = 1;
    showCounts();
    ui->Frame1->hide();
    ui->frametekst->hide();
    return pokazrekord();
}

void FrmWyb::showCounts()
{
    ui->lbliloscpytan->setText(QString::number(iloscrekordow()));
    ui->lblnrpytania->setText(QString::number(nrrekordu_));
}

void FrmWyb::setPicture(const QPixmap& picture)
{
    if (picture.isNull()) {
        ui->Image1->clear();
    } else {
        // Scaled for the screen's pixel density, so the picture stays sharp on HiDPI screens.
        const qreal ratio = ui->Image1->devicePixelRatioF();
        QPixmap scaled =
            picture.scaled(ui->Image1->size() * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        scaled.setDevicePixelRatio(ratio);
        ui->Image1->setPixmap(scaled);
    }
    ui->Image1->repaint();
}

void FrmWyb::blad(const QString& text)
{
    dialogs_.message(this, text, Dialogs::Buttons::Ok, Dialogs::Icon::Stop, editorTitle);
}

void FrmWyb::abandon(const QString& text)
{
    zestaw_.zamknij();
    closed_ = true;
    blad(text);
    close();
}

void FrmWyb::nieJestZestawem()
{
    // The file is left as it is and the program ends, as with the main menu's "Koniec".
    zestaw_.zamknij();
    closed_ = true;
    dialogs_.message(this, QStringLiteral("Wybrany plik nie jest bazą pytań\rnastąpi zakończenie programu"),
                     Dialogs::Buttons::Ok, Dialogs::Icon::Stop, QStringLiteral("TEST"));
    dialogs_.endProgram();
}

void FrmWyb::zlyRysunek()
{
    dialogs_.message(this, QStringLiteral("Nniew łaściwa nazwa pliku graficznego"), Dialogs::Buttons::Ok,
                     Dialogs::Icon::Stop, QStringLiteral("Błąd"));
}

bool FrmWyb::pokazrekord()
{
    if (const WynikDawny read = zestaw_.czytaj(nrrekordu_, bufor); !read.ok) {
        // Going on would let the next save write another question over this record.
        abandon(
            QStringLiteral("Nie można odczytać pytania nr %1 z zestawu „%2”.\r%3\rEdytor zostanie zamknięty.")
                .arg(nrrekordu_)
                .arg(nazwapliku(), read.error));
        return false;
    }
    ui->txtpytanie->setPlainText(fromStored(tekst(bufor.pytanie)));
    nazwarysunku_ = tekst(bufor.rysunek);

    QPixmap picture;
    if (!dialogs_.loadPicture(nazwarysunku_, picture)) {
        dialogs_.message(this, QStringLiteral("Nniewłaściwa nazwa pliku graficznego"), Dialogs::Buttons::Ok,
                         Dialogs::Icon::Stop, QStringLiteral("Błąd"));
        nazwarysunku_.clear();
        picture = QPixmap();
    }
    setPicture(picture);

    if (bufor.typ != 2) {
        ui->Frame1->show();
        ui->frametekst->hide();
        for (int k = 0; k < 5; ++k)
            setAnswerText(k, fromStored(tekst(bufor.odp(k + 1))));
        if (bufor.typ == 1) {
            ui->frmopt->show();
            ui->frmwyb->hide();
            int selected = -1;
            for (int k = 0; k < 5; ++k)
                if (bufor.poprawna(k + 1) != 0)
                    selected = k;
            clearOptions();
            if (selected >= 0)
                Opt[selected]->setChecked(true);
        } else {
            ui->frmopt->hide();
            ui->frmwyb->show();
            for (int k = 0; k < 5; ++k) {
                if (!setCheckValue(k, bufor.poprawna(k + 1))) {
                    nieJestZestawem();
                    return false;
                }
            }
        }
    } else {
        ui->Frame1->hide();
        ui->frametekst->show();
        ui->txtodpowiedz->setText(tekst(bufor.odp1));
    }
    ui->lblnrpytania->setText(QString::number(nrrekordu_));
    return true;
}

bool FrmWyb::ensureSetInPlace()
{
    const OtwartyZestaw::WynikMiejsca w = zestaw_.upewnijSie();
    if (w.miejsce == OtwartyZestaw::Miejsce::NaMiejscu)
        return true;
    if (!w.ok) {
        const QString text =
            w.zamkniety ? QStringLiteral("Nie można otworzyć zestawu „%1”.\r%2").arg(nazwapliku(), w.error)
                        : QStringLiteral("Plik zestawu „%1” został usunięty albo podmieniony przez inny "
                                         "program i nie udało się go odtworzyć.\r%2\rPytanie nie zostało "
                                         "zapisane.")
                              .arg(w.poprzednia, w.error);
        if (w.zamkniety)
            abandon(text);
        else
            blad(text);
        return false;
    }
    ui->lblnazwazestawu->setText(QFileInfo(nazwapliku()).fileName());
    dialogs_.message(
        this,
        w.miejsce == OtwartyZestaw::Miejsce::Kopia
            ? QStringLiteral("Plik „%1” został podmieniony przez inny program i pozostał nietknięty."
                             "\rZestaw zapisano jako „%2” i ten plik jest teraz edytowany.")
                  .arg(w.poprzednia, nazwapliku())
            : QStringLiteral("Plik zestawu „%1” został usunięty przez inny program."
                             "\rOdtworzono go ze wszystkimi pytaniami.")
                  .arg(w.poprzednia),
        Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation, editorTitle);
    return true;
}

qint16 FrmWyb::tryb() const
{
    if (!ui->frametekst->isHidden())
        return 2;
    return ui->frmopt->isHidden() ? 0 : 1;
}

bool FrmWyb::zachowajrekord()
{
    if (!ensureSetInPlace())
        return false;
    ustawTekst(bufor.pytanie, toStored(ui->txtpytanie->toPlainText()));
    for (int k = 0; k < 5; ++k)
        ustawTekst(bufor.odp(k + 1), toStored(answerText(k)));
    bufor.typ = tryb();
    for (int k = 0; k < 5; ++k) {
        switch (bufor.typ) {
        case 2:
            bufor.poprawna(k + 1) = k == 0 ? 1 : 0;
            break;
        case 1:
            bufor.poprawna(k + 1) = Opt[k]->isChecked() ? -1 : 0;
            break;
        default:
            bufor.poprawna(k + 1) = checkValue(k);
        }
    }
    if (bufor.typ == 2)
        ustawTekst(bufor.odp1, ui->txtodpowiedz->text());
    ustawTekst(bufor.rysunek, nazwarysunku_);
    const WynikDawny written = zestaw_.zapisz(nrrekordu_, bufor);
    if (!written.ok)
        blad(QStringLiteral(
                 "Nie udało się zapisać pytania nr %1 w zestawie „%2”.\r%3\rPytanie pozostaje na ekranie.")
                 .arg(nrrekordu_)
                 .arg(nazwapliku(), written.error));
    return written.ok;
}

void FrmWyb::cmddalej()
{
    if (!zachowajrekord())
        return;
    if (nrrekordu_ != iloscrekordow())
        ++nrrekordu_;
    if (pokazrekord())
        ui->txtpytanie->setFocus();
}

void FrmWyb::cmdwstecz()
{
    if (!zachowajrekord())
        return;
    nrrekordu_ = std::max(nrrekordu_ - 1, 1);
    pokazrekord();
}

bool FrmWyb::zakoncz()
{
    if (!zachowajrekord())
        return false;
    zestaw_.zamknij();
    closed_ = true;
    return true;
}

void FrmWyb::cmdkoniec()
{
    if (zakoncz())
        close();
}

void FrmWyb::closeEvent(QCloseEvent* event)
{
    // The title bar's close behaves as "Koniec"; ending the whole program saves nothing.
    if (closed_ || dialogs_.ending() || zakoncz())
        event->accept();
    else
        event->ignore();
}

void FrmWyb::cmdopcja()
{
    ui->Frame1->show();
    ui->frametekst->hide();
    ui->frmopt->show();
    ui->frmwyb->hide();
    txtodp[0]->setFocus();
}

void FrmWyb::cmdwybor()
{
    ui->Frame1->show();
    ui->frametekst->hide();
    ui->frmopt->hide();
    ui->frmwyb->show();
    txtodp[0]->setFocus();
}

void FrmWyb::cmdtekst()
{
    ui->Frame1->hide();
    ui->frametekst->show();
    ui->txtodpowiedz->setFocus();
}

void FrmWyb::cmdnowepytanie()
{
    if (!zachowajrekord())
        return;
    ui->Frame1->hide();
    ui->frametekst->hide();
    if (!zestaw_.nowePytanie()) {
        dialogs_.message(this, QStringLiteral("Zestaw nie pomieści więcej pytań."), Dialogs::Buttons::Ok,
                         Dialogs::Icon::Exclamation, editorTitle);
        return;
    }
    nrrekordu_ = iloscrekordow();
    showCounts();
    ui->txtodpowiedz->clear();
    ui->txtpytanie->clear();
    for (int k = 0; k < 5; ++k)
        setAnswerText(k, QString());
    clearOptions();
    for (QCheckBox* box : wy1) {
        box->setTristate(false);
        box->setCheckState(Qt::Unchecked);
    }
    nazwarysunku_.clear();
    setPicture(QPixmap());
    ui->txtpytanie->setFocus();
}

QString FrmWyb::answerText(int k) const
{
    return plainText(txtodp[k]);
}

void FrmWyb::setAnswerText(int k, const QString& text)
{
    setPlainText(txtodp[k], text);
}

// Stored marks: 0 unticked, 1 ticked, 2 grey. Qt numbers the states differently.
qint16 FrmWyb::checkValue(int k) const
{
    switch (wy1[k]->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

bool FrmWyb::setCheckValue(int k, qint16 value)
{
    switch (value) {
    case 0:
        wy1[k]->setTristate(false), wy1[k]->setCheckState(Qt::Unchecked);
        return true;
    case 1:
        wy1[k]->setTristate(false), wy1[k]->setCheckState(Qt::Checked);
        return true;
    case 2:
        wy1[k]->setTristate(true), wy1[k]->setCheckState(Qt::PartiallyChecked);
        return true;
    default:
        return false;
    }
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
    if (watched == ui->Image1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
            Image1Click();
            return true;
        }
    }
    // The picture box and its label act on a click, like buttons.
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == ui->Image1) {
            Image1Click();
            return true;
        }
        if (watched == ui->Label2) {
            Label2Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FrmWyb::showPicture()
{
    QPixmap picture;
    if (!dialogs_.loadPicture(nazwarysunku_, picture))
        picture = QPixmap();
    setPicture(picture);
}

void FrmWyb::cmdKasuj()
{
    if (dialogs_.message(this, QStringLiteral("Kasować ten rekord?"), Dialogs::Buttons::YesNo,
                         Dialogs::Icon::None, editorTitle) != Dialogs::Answer::Yes)
        return;
    if (!ensureSetInPlace())
        return;
    setPicture(QPixmap());
    const qint32 remembered = nrrekordu_;
    const QString path = zestaw_.sciezka();
    const OtwartyZestaw::WynikUsuniecia result = zestaw_.usun(remembered);
    if (!result.ok && result.stan == OtwartyZestaw::Stan::Gotowe) {
        // The set on disk is untouched and its file stays open: the editor goes on with it.
        blad(QStringLiteral("Nie udało się usunąć pytania nr %1.\r%2\rZestaw pozostał bez zmian.")
                 .arg(remembered)
                 .arg(result.error));
        showPicture();
        return;
    }
    if (result.stan == OtwartyZestaw::Stan::NieOtwarto) {
        abandon(QStringLiteral("Pytanie usunięto, ale nie można ponownie otworzyć zestawu „%1”.\r%2")
                    .arg(path, result.error));
        return;
    }
    if (result.stan == OtwartyZestaw::Stan::NieZapisano) {
        abandon(QStringLiteral("Nie można zapisać zestawu „%1”.\r%2").arg(path, result.error));
        return;
    }
    nrrekordu_ = std::min(remembered, iloscrekordow());
    if (!pokazrekord())
        return;
    showCounts();
    ui->txtpytanie->setFocus();
}

void FrmWyb::Command1()
{
    CmDialog2.fileName.clear();
    dialogs_.openFile(this, CmDialog2);
    const QString chosen = CmDialog2.fileName;
    if (chosen.isEmpty() || !ensureSetInPlace())
        return;

    // A set is appended record by record; another program's questions are converted first, and
    // anything else is refused before the set is touched. A typed name of no file is created
    // empty and appends nothing, as a set of no records.
    wymiana::WynikImportu w;
    if (QFileInfo::exists(chosen)) {
        w = wymiana::wczytajPytania(chosen, zestaw_.folder());
        if (!w.ok) {
            raport(QStringList{w.error} + w.raport);
            return;
        }
    }
    const qint32 before = iloscrekordow();
    QString error;
    if (w.pytania.isEmpty()) {
        const zestaw::WynikDolaczania result = zestaw_.dolacz(chosen);
        error = result.error;
    } else {
        if (const wymiana::WynikRysunkow pictures = wymiana::zapiszRysunki(w); !pictures.ok)
            w.raport << pictures.error;
        error = zestaw_.dolaczRekordy(w.pytania).error;
    }
    const qint32 appended = iloscrekordow() - before;
    if (appended > 0)
        nrrekordu_ = iloscrekordow();
    if (!error.isEmpty())
        blad(QStringLiteral("Nie udało się dołączyć zestawu „%1”.\r%2\rDołączone pytania: %3.")
                 .arg(chosen, error)
                 .arg(appended));
    else if (!w.pytania.isEmpty())
        raport(w.raport);
    ui->lbliloscpytan->setText(QString::number(iloscrekordow()));
    if (pokazrekord())
        ui->txtpytanie->setFocus();
}

void FrmWyb::raport(const QStringList& lines)
{
    dialogs_.message(this, lines.join(QLatin1Char('\r')), Dialogs::Buttons::Ok, Dialogs::Icon::Information,
                     editorTitle);
}

bool FrmWyb::calyZestawDo(SaveFileDialog& dialog, QList<rekord>& rekordy)
{
    if (!zachowajrekord())
        return false;
    dialogs_.saveFile(this, dialog);
    if (dialog.fileName.isEmpty())
        return false;
    const WynikDawny read = zestaw_.czytajWszystkie(rekordy);
    if (!read.ok)
        blad(QStringLiteral("Nie udało się zapisać pliku „%1”.\r%2").arg(dialog.fileName, read.error));
    return read.ok;
}

void FrmWyb::cmdeksport()
{
    QList<rekord> rekordy;
    if (!calyZestawDo(CmEksport, rekordy))
        return;
    const QString path = CmEksport.fileName;
    const std::optional<wymiana::Format> format = wymiana::formatEksportu(path);
    if (!format) {
        blad(QStringLiteral(
                 "Nie udało się zapisać pliku „%1”.\rZestaw można zapisać tylko w formacie Moodle XML "
                 "(.xml) albo GIFT (.gift, .txt).")
                 .arg(path));
        return;
    }
    const wymiana::WynikEksportu written = wymiana::eksportuj(rekordy, *format, zestaw_.folder(), path);
    if (written.ok)
        raport(written.raport);
    else
        blad(written.error);
}

void FrmWyb::Image1Click()
{
    bool loaded = true;
    if (!nazwarysunku_.isEmpty()) {
        nazwarysunku_.clear();
        setPicture(QPixmap());
    } else {
        dialogs_.openFile(this, CmDialog2);
        nazwarysunku_ = trimSpaces(CmDialog2.fileTitle);
        QPixmap picture;
        loaded = dialogs_.loadPicture(nazwarysunku_, picture);
        if (loaded)
            setPicture(picture);
    }
    if (!loaded) {
        zlyRysunek();
        dialogs_.message(this, nazwarysunku_, Dialogs::Buttons::Ok, Dialogs::Icon::Stop,
                         QStringLiteral("Błąd"));
        nazwarysunku_.clear();
        setPicture(QPixmap());
    }
    zachowajrekord();
}

void FrmWyb::Label2Click()
{
    if (!nazwarysunku_.isEmpty()) {
        nazwarysunku_.clear();
        setPicture(QPixmap());
        ustawTekst(bufor.rysunek, nazwarysunku_);
        return;
    }
    CmDialog2.initialDir = File1;
    dialogs_.openFile(this, CmDialog2);
    nazwarysunku_ = CmDialog2.fileTitle;
    QPixmap picture;
    if (!dialogs_.loadPicture(nazwarysunku_, picture)) {
        // The rejected name stays and reaches the record at the next save.
        zlyRysunek();
        setPicture(QPixmap());
        return;
    }
    setPicture(picture);
    ustawTekst(bufor.rysunek, nazwarysunku_);
}

void FrmWyb::cmdsprawdz()
{
    if (!zachowajrekord())
        return;
    const sprawdzenie::WynikSprawdzenia check = zestaw_.sprawdz();
    if (!check.ok) {
        blad(QStringLiteral("Nie udało się sprawdzić zestawu „%1”.\r%2").arg(nazwapliku(), check.error));
        return;
    }
    if (!sprawdzenie_) {
        sprawdzenie_ = new OknoSprawdzenia(this);
        connect(sprawdzenie_, &OknoSprawdzenia::pokazPytanie, this, &FrmWyb::pokazPytanie);
    }
    sprawdzenie_->pokaz(check.uwagi);
}

void FrmWyb::pokazPytanie(int nr)
{
    if (nr > iloscrekordow() || !zachowajrekord())
        return;
    nrrekordu_ = nr;
    if (pokazrekord()) {
        raise();
        activateWindow();
        ui->txtpytanie->setFocus();
    }
}

void FrmWyb::cmddrukuj()
{
    QList<rekord> rekordy;
    if (!calyZestawDo(CmDruk, rekordy))
        return;
    const WynikDawny written =
        druk::zestaw(rekordy, ui->lblnazwazestawu->text(), zestaw_.folder(), CmDruk.fileName);
    if (!written.ok)
        blad(QStringLiteral("Nie udało się zapisać pliku „%1”.\r%2").arg(CmDruk.fileName, written.error));
}
