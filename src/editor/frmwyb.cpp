#include "frmwyb.h"

#include "nowyzestaw.h"
#include "przebudowa.h"
#include "ui_frmwyb.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>

#include <limits>

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
              << ui->cmdKasuj << ui->Command1 << ui->cmdkoniec;

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
    ui->Image1->installEventFilter(this);
    ui->Label2->installEventFilter(this);
    ui->Image1->setCursor(Qt::PointingHandCursor);
    ui->Image1->setFocusPolicy(Qt::StrongFocus);
    ui->Label2->setCursor(Qt::PointingHandCursor);
}

FrmWyb::~FrmWyb() = default;

bool FrmWyb::load()
{
    File1 = QDir::currentPath();
    CmDialog2.initialDir = File1;

    if (nowyzestaw == 1) {
        const QString name =
            dialogs_.input(this, QStringLiteral("Podaj nazwę zestawu"), QStringLiteral("Nazwa bazy pytań"));
        if (!name.isEmpty()) {
            nazwapliku_ = name;
            ui->lblnazwazestawu->setText(name);
        }
    }
    if (nazwapliku_.isEmpty()) {
        CmDialog2.initialDir = QDir::currentPath();
        dialogs_.openFile(this, CmDialog2);
        nazwapliku_ = CmDialog2.fileName;
        ui->lblnazwazestawu->setText(CmDialog2.fileTitle);
    }
    dlugoscrekordu = zestaw::dlugoscrekordu;
    if (nazwapliku_.isEmpty()) {
        dialogs_.endProgram();
        return false;
    }

    if (!nrpliku.open(nazwapliku_)) {
        dialogs_.message(
            this,
            QStringLiteral("Nie można otworzyć zestawu „%1”.\r%2").arg(nazwapliku_, nrpliku.errorString()),
            Dialogs::Buttons::Ok, Dialogs::Icon::Stop, editorTitle);
        return false;
    }
    nrrekordu_ = 1;
    const qint64 count = nrpliku.count();
    if (count > std::numeric_limits<qint32>::max()) {
        nrpliku.close();
        dialogs_.message(this, QStringLiteral("Zestaw „%1” jest za duży.").arg(nazwapliku_),
                         Dialogs::Buttons::Ok, Dialogs::Icon::Stop, editorTitle);
        return false;
    }
    if (count == 0) {
        // A short file that holds something is not a set: it must not be written over.
        if (nrpliku.length() > 0) {
            nieJestZestawem();
            return false;
        }
        ustawTekst(bufor.rysunek, QString());
        if (!nrpliku.write(1, bufor)) {
            const QString error = nrpliku.errorString();
            nrpliku.close();
            dialogs_.message(this,
                             QStringLiteral("Nie można zapisać zestawu „%1”.\r%2").arg(nazwapliku_, error),
                             Dialogs::Buttons::Ok, Dialogs::Icon::Stop, editorTitle);
            return false;
        }
        iloscrekordow_ = 1;
    } else {
        iloscrekordow_ = qint32(count);
    }
    showCounts();
    ui->Frame1->hide();
    ui->frametekst->hide();
    return pokazrekord();
}

void FrmWyb::showCounts()
{
    ui->lbliloscpytan->setText(QString::number(iloscrekordow_));
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

void FrmWyb::abandon(const QString& text)
{
    nrpliku.close();
    closed_ = true;
    dialogs_.message(this, text, Dialogs::Buttons::Ok, Dialogs::Icon::Stop, editorTitle);
    close();
}

void FrmWyb::nieJestZestawem()
{
    // The file is left as it is and the program ends, as with the main menu's "Koniec".
    nrpliku.close();
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
    if (!nrpliku.read(nrrekordu_, bufor)) {
        // Going on would let the next save write another question over this record.
        abandon(
            QStringLiteral("Nie można odczytać pytania nr %1 z zestawu „%2”.\r%3\rEdytor zostanie zamknięty.")
                .arg(nrrekordu_)
                .arg(nazwapliku_, nrpliku.errorString()));
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
    // Another program may delete or replace the set while it is open here. The open file still
    // holds every question, so it is written back under a name instead of being lost.
    if (nrpliku.isAtItsPath())
        return true;
    const QString path = nrpliku.fileName();
    const bool replaced = QFileInfo::exists(path);
    QString target = path;
    if (replaced) {
        // The file now under the set's name belongs to someone else: it stays as it is.
        target = path + QStringLiteral(".kopia");
        for (int i = 2; QFileInfo::exists(target); ++i)
            target = path + QStringLiteral(".kopia%1").arg(i);
    }
    const zestaw::WynikUsuwania copy = zestaw::zapiszKopie(nrpliku.device(), target);
    if (!copy.ok) {
        dialogs_.message(
            this,
            QStringLiteral("Plik zestawu „%1” został usunięty albo podmieniony przez inny program "
                           "i nie udało się go odtworzyć.\r%2\rPytanie nie zostało zapisane.")
                .arg(path, copy.error),
            Dialogs::Buttons::Ok, Dialogs::Icon::Stop, editorTitle);
        return false;
    }
    nrpliku.close();
    if (!nrpliku.open(target)) {
        abandon(QStringLiteral("Nie można otworzyć zestawu „%1”.\r%2").arg(target, nrpliku.errorString()));
        return false;
    }
    nazwapliku_ = target;
    ui->lblnazwazestawu->setText(QFileInfo(target).fileName());
    dialogs_.message(
        this,
        replaced ? QStringLiteral("Plik „%1” został podmieniony przez inny program i pozostał nietknięty."
                                  "\rZestaw zapisano jako „%2” i ten plik jest teraz edytowany.")
                       .arg(path, target)
                 : QStringLiteral("Plik zestawu „%1” został usunięty przez inny program."
                                  "\rOdtworzono go ze wszystkimi pytaniami.")
                       .arg(path),
        Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation, editorTitle);
    return true;
}

bool FrmWyb::zachowajrekord()
{
    if (!ensureSetInPlace())
        return false;
    ustawTekst(bufor.pytanie, toStored(ui->txtpytanie->toPlainText()));
    for (int k = 0; k < 5; ++k)
        ustawTekst(bufor.odp(k + 1), toStored(answerText(k)));
    if (!ui->frametekst->isHidden()) {
        bufor.typ = 2;
        ustawTekst(bufor.odp1, ui->txtodpowiedz->text());
        bufor.poprawna1 = 1;
        for (int k = 2; k <= 5; ++k)
            bufor.poprawna(k) = 0;
    } else if (!ui->frmopt->isHidden()) {
        bufor.typ = 1;
        for (int k = 0; k < 5; ++k)
            bufor.poprawna(k + 1) = Opt[k]->isChecked() ? -1 : 0;
    } else {
        bufor.typ = 0;
        for (int k = 0; k < 5; ++k)
            bufor.poprawna(k + 1) = checkValue(k);
    }
    ustawTekst(bufor.rysunek, nazwarysunku_);
    if (nrpliku.write(nrrekordu_, bufor))
        return true;
    dialogs_.message(this,
                     QStringLiteral("Nie udało się zapisać pytania nr %1 w zestawie „%2”.\r%3\r"
                                    "Pytanie pozostaje na ekranie.")
                         .arg(nrrekordu_)
                         .arg(nazwapliku_, nrpliku.errorString()),
                     Dialogs::Buttons::Ok, Dialogs::Icon::Stop, editorTitle);
    return false;
}

void FrmWyb::cmddalej()
{
    if (!zachowajrekord())
        return;
    if (nrrekordu_ != iloscrekordow_)
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
    nrpliku.close();
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
    bufor.typ = 1;
    txtodp[0]->setFocus();
}

void FrmWyb::cmdwybor()
{
    ui->Frame1->show();
    ui->frametekst->hide();
    ui->frmopt->hide();
    ui->frmwyb->show();
    bufor.typ = 0;
    txtodp[0]->setFocus();
}

void FrmWyb::cmdtekst()
{
    ui->Frame1->hide();
    ui->frametekst->show();
    bufor.typ = 2;
    ui->txtodpowiedz->setFocus();
}

void FrmWyb::cmdnowepytanie()
{
    if (!zachowajrekord())
        return;
    ui->Frame1->hide();
    ui->frametekst->hide();
    if (iloscrekordow_ == std::numeric_limits<qint32>::max()) {
        dialogs_.message(this, QStringLiteral("Zestaw nie pomieści więcej pytań."), Dialogs::Buttons::Ok,
                         Dialogs::Icon::Exclamation, editorTitle);
        return;
    }
    ++iloscrekordow_;
    nrrekordu_ = iloscrekordow_;
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
    const QString path = nrpliku.fileName();

    const zestaw::WynikUsuwania result =
        zestaw::usunRekord(nrpliku.device(), path, remembered, iloscrekordow_);
    if (!result.ok) {
        // The set on disk is untouched and its file stays open: the editor goes on with it.
        dialogs_.message(this,
                         QStringLiteral("Nie udało się usunąć pytania nr %1.\r%2\rZestaw pozostał bez zmian.")
                             .arg(remembered)
                             .arg(result.error),
                         Dialogs::Buttons::Ok, Dialogs::Icon::Stop, editorTitle);
        showPicture();
        return;
    }

    nrpliku.close();
    if (!nrpliku.open(path)) {
        abandon(QStringLiteral("Pytanie usunięto, ale nie można ponownie otworzyć zestawu „%1”.\r%2")
                    .arg(path, nrpliku.errorString()));
        return;
    }
    iloscrekordow_ = qint32(std::min<qint64>(nrpliku.count(), std::numeric_limits<qint32>::max()));
    if (iloscrekordow_ == 0) {
        // The only question went: the set starts again as one empty question.
        const rekord empty = rekord::pusty();
        if (!nrpliku.write(1, empty)) {
            abandon(QStringLiteral("Nie można zapisać zestawu „%1”.\r%2").arg(path, nrpliku.errorString()));
            return;
        }
        iloscrekordow_ = 1;
    }
    nrrekordu_ = std::min(remembered, iloscrekordow_);
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

    SetFile other;
    QString error;
    qint64 appended = 0;
    if (!other.open(chosen, SetFile::Mode::ReadOnlyFallback)) {
        error = other.errorString();
    } else {
        const qint64 room = std::numeric_limits<qint32>::max() - qint64(iloscrekordow_);
        if (zestaw::pelneRekordy(other.length()) > room) {
            error = QStringLiteral("zestaw byłby za duży");
        } else {
            const zestaw::WynikDolaczania result =
                zestaw::dolaczZestaw(nrpliku.device(), iloscrekordow_, other.device());
            appended = result.appended;
            if (appended > 0)
                bufor = result.last;
            if (!result.ok)
                error = result.error;
        }
        other.close();
    }
    if (appended > 0) {
        iloscrekordow_ += qint32(appended);
        nrrekordu_ = iloscrekordow_;
    }
    if (!error.isEmpty())
        dialogs_.message(this,
                         QStringLiteral("Nie udało się dołączyć zestawu „%1”.\r%2\rDołączone pytania: %3.")
                             .arg(chosen, error)
                             .arg(appended),
                         Dialogs::Buttons::Ok, Dialogs::Icon::Stop, editorTitle);
    ui->lbliloscpytan->setText(QString::number(iloscrekordow_));
    if (pokazrekord())
        ui->txtpytanie->setFocus();
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
