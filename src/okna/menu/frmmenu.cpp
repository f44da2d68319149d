#include "frmmenu.h"

#include "dialogs.h"
#include "frmnowy.h"
#include "frmtest.h"
#include "frmwyb.h"
#include "ikony.h"
#include "komunikaty.h"
#include "ui_frmmenu.h"

FrmMenu::FrmMenu(Dialogs& dialogs, BiezacyFolder& folder, QWidget* parent)
    : QWidget(parent), ui(new Ui::frmMenu), dialogs_(dialogs), folder_(folder)
{
    ui->setupUi(this);
    setWindowTitle(programName);
    setWindowIcon(ikony::ikona(QStringLiteral("program.png")));
    ui->cmdzestaw->setIcon(ikony::ikona(QStringLiteral("zestaw.png")));
    ui->cmdtest->setIcon(ikony::ikona(QStringLiteral("test.png")));
    ui->cmdkoniec->setIcon(ikony::ikona(QStringLiteral("koniec.png")));
    for (QPushButton* button : {ui->cmdzestaw, ui->cmdtest, ui->cmdkoniec})
        button->setIconSize(QSize(32, 32));
    ui->imgprogram->setPixmap(ikony::obrazek(QStringLiteral("program.png")));
    connect(ui->cmdpomoc, &QPushButton::clicked, this, &FrmMenu::cmdpomoc);
    connect(ui->cmdzestaw, &QPushButton::clicked, this, &FrmMenu::cmdzestaw);
    connect(ui->cmdtest, &QPushButton::clicked, this, &FrmMenu::cmdtest);
    connect(ui->cmdkoniec, &QPushButton::clicked, this, &FrmMenu::koniec);
}

FrmMenu::~FrmMenu() = default;

FrmNowy* FrmMenu::chooser() const
{
    return chooser_;
}

FrmWyb* FrmMenu::editor() const
{
    return editor_;
}

FrmTest* FrmMenu::generator() const
{
    return generator_;
}

void FrmMenu::cmdpomoc()
{
    dialogs_.help(this, QStringLiteral("test.hlp"), 1, 0);
}

void FrmMenu::cmdzestaw()
{
    if (!chooser_) {
        chooser_ = new FrmNowy(this);
        chooser_->setAttribute(Qt::WA_DeleteOnClose);
        connect(chooser_, &FrmNowy::wybrano, this, &FrmMenu::showEditor);
    }
    chooser_->show();
    chooser_->raise();
}

void FrmMenu::showEditor(bool nowy)
{
    if (!editor_) {
        auto* editor = new FrmWyb(dialogs_, folder_, this);
        connect(editor, &FrmWyb::koniecProgramu, this, &FrmMenu::koniec);
        if (!editor->load(nowy)) {
            editor->deleteLater();
            return;
        }
        editor->setAttribute(Qt::WA_DeleteOnClose);
        editor_ = editor;
    }
    editor_->show();
    editor_->raise();
}

void FrmMenu::cmdtest()
{
    if (!generator_) {
        auto* generator = new FrmTest(dialogs_, folder_, this);
        generator->setWindowFlag(Qt::Window);
        if (!generator->load()) {
            delete generator;
            komunikaty::pokaz(dialogs_, this, {Komunikat::NieWybranoPliku, {}});
            return;
        }
        generator->setAttribute(Qt::WA_DeleteOnClose);
        generator_ = generator;
    }
    generator_->show();
    generator_->raise();
}
