#pragma once

#include "dialogs.h"
#include "otwartyzestaw.h"
#include "rekord.h"

#include <QWidget>

#include <array>
#include <memory>

class OknoSprawdzenia;
class QCheckBox;
class QRadioButton;
namespace Ui {
class FrmWyb;
}

// The set editor: one question of the open set on screen; every move writes it back first.
class FrmWyb : public QWidget
{
    Q_OBJECT
public:
    explicit FrmWyb(Dialogs& dialogs, QWidget* parent = nullptr);
    ~FrmWyb() override;

    // The window's load: chooses and opens the set (a new one when nowyzestaw is 1) and shows
    // question 1. False when the window must not be shown (the program ended, or the set could
    // not be opened).
    bool load(qint16 nowyzestaw);

    qint32 nrrekordu() const { return nrrekordu_; }
    qint32 iloscrekordow() const { return zestaw_.iloscrekordow(); }
    QString nazwapliku() const { return zestaw_.nazwapliku(); }
    QString nazwarysunku() const { return nazwarysunku_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private slots:
    void cmdwstecz();
    void cmddalej();
    void cmdkoniec();
    void cmdnowepytanie();
    void cmdopcja();
    void cmdwybor();
    void cmdtekst();
    void cmdKasuj();
    void Command1();
    void cmdeksport();
    void cmdsprawdz();
    void cmddrukuj();
    void pokazPytanie(int nr);
    void Image1Click();
    void Label2Click();

private:
    // Display: reads record nrrekordu into bufor and fills the controls. False when the
    // editor can go on no longer (the program ended, or the editor was closed).
    bool pokazrekord();
    // Save: fills bufor from the controls and writes it as record nrrekordu. False when the
    // write failed (the user has been told; the question stays on screen).
    bool zachowajrekord();

    // The answer type of the question on screen, from the panels' own shown flags.
    qint16 tryb() const;
    bool ensureSetInPlace();
    void blad(const QString& text);
    void raport(const QStringList& lines);
    // Saves the question on screen, asks where to write and reads the whole set. False when the
    // dialog was cancelled or the set could not be read (the user has been told).
    bool calyZestawDo(SaveFileDialog& dialog, QList<rekord>& rekordy);
    void nieJestZestawem();
    void zlyRysunek();
    void showCounts();
    void showPicture();
    void setPicture(const QPixmap& picture);
    void abandon(const QString& text);
    bool zakoncz();

    QString answerText(int k) const;
    void setAnswerText(int k, const QString& text);
    qint16 checkValue(int k) const;
    bool setCheckValue(int k, qint16 value);
    void clearOptions();

    const std::unique_ptr<Ui::FrmWyb> ui;
    Dialogs& dialogs_;
    std::array<QWidget*, 5> txtodp{};
    std::array<QRadioButton*, 5> Opt{};
    std::array<QCheckBox*, 5> wy1{};
    QList<QWidget*> tabOrder_;

    OpenFileDialog CmDialog2;
    SaveFileDialog CmDruk, CmEksport;
    OknoSprawdzenia* sprawdzenie_ = nullptr;
    QString File1; // the folder that was current when the window loaded

    rekord bufor;
    OtwartyZestaw zestaw_;
    qint32 nrrekordu_ = 0;
    QString nazwarysunku_;
    bool closed_ = false;
};
