#pragma once

#include "dialogs.h"
#include "edycjazestawu.h"

#include <QWidget>

#include <array>
#include <memory>

class OknoSprawdzenia;
class QCheckBox;
class QRadioButton;
namespace Ui {
class FrmWyb;
}

// The set editor's window: one question of the open set on screen. It copies between its
// controls and the editing session and shows what the session reports.
class FrmWyb : public QWidget
{
    Q_OBJECT
public:
    FrmWyb(Dialogs& dialogs, BiezacyFolder& folder, QWidget* parent = nullptr);
    ~FrmWyb() override;

    // The window's load: chooses and opens the set (a new one when `nowy`) and shows question 1.
    // False when the window must not be shown (the program ends, or the set could not be opened).
    bool load(bool nowy);
    // Closes without saving: the program is ending.
    void porzuc();

    const EdycjaZestawu& sesja() const { return sesja_; }

signals:
    // The editor met a file that is no set, or its load was cancelled.
    void koniecProgramu();

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
    void cmddolacz();
    void cmdeksport();
    void cmdsprawdz();
    void cmddrukuj();
    void pokazPytanie(int nr);
    void rysunek(EdycjaZestawu::Kontrolka kontrolka);

private:
    // Shows the messages, the question and the labels of an outcome and closes or ends when
    // it says so. False when the operation stopped short.
    bool pokaz(const EdycjaZestawu::Skutek& skutek);
    void pokazWidok(const EdycjaZestawu::Widok& widok);
    void pokazWybor(bool opcja);
    // The controls as the session takes them; the answer type from the panels' own shown flags.
    EdycjaZestawu::Ekran ekran() const;
    void showPicture();
    void setPicture(const QPixmap& picture);
    // Saves, asks for a file to write and hands it on. False when saving failed or the dialog
    // was cancelled.
    bool plikDo(SaveFileDialog& dialog);

    void setAnswerText(int k, const QString& text);
    void clearOptions();

    const std::unique_ptr<Ui::FrmWyb> ui;
    Dialogs& dialogs_;
    BiezacyFolder& folder_;
    EdycjaZestawu sesja_;
    std::array<QWidget*, 5> txtodp{};
    std::array<QRadioButton*, 5> Opt{};
    std::array<QCheckBox*, 5> wy1{};
    QList<QWidget*> tabOrder_;

    OpenFileDialog CmDialog2;
    SaveFileDialog CmDruk, CmEksport;
    OknoSprawdzenia* sprawdzenie_ = nullptr;
    QString pokazany_; // the picture on screen
    bool closed_ = false;
};
