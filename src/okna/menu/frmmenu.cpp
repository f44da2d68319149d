#include "frmmenu.h"

#include "dialogs.h"
#include "frmnowy.h"
#include "frmtest.h"
#include "frmwyb.h"
#include "ikony.h"
#include "nowyzestaw.h"
#include "ui_frmmenu.h"

FrmMenu::FrmMenu(Dialogs& dialogs, QWidget* parent) : QWidget(parent), ui(new Ui::frmMenu), dialogs_(dialogs)
{
    ui->setupUi(this);
    setWindowTitle(programName);
    setWindowIcon(ikony::ikona(QStringLiteral("program.png")));
    ui->Command3->setIcon(ikony::ikona(QStringLiteral("zestaw.png")));
    ui->Command2->setIcon(ikony::ikona(QStringLiteral("test.png")));
    ui->Command1->setIcon(ikony::ikona(QStringLiteral("koniec.png")));
    for (QPushButton* button : {ui->Command3, ui->Command2, ui->Command1})
        button->setIconSize(QSize(32, 32));
    ui->Image1->setPixmap(ikony::obrazek(QStringLiteral("program.png")));
    connect(ui->cmdpomoc, &QPushButton::clicked, this, &FrmMenu::cmdpomoc);
    connect(ui->Command3, &QPushButton::clicked, this, &FrmMenu::Command3);
    connect(ui->Command2, &QPushButton::clicked, this, &FrmMenu::Command2);
    connect(ui->Command1, &QPushButton::clicked, this, &FrmMenu::Command1);
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

void FrmMenu::Command3()
{
    if (!chooser_) {
        chooser_ = new FrmNowy(this);
        chooser_->setAttribute(Qt::WA_DeleteOnClose);
        connect(chooser_, &FrmNowy::showEditor, this, &FrmMenu::showEditor);
    }
    chooser_->show();
    chooser_->raise();
}

void FrmMenu::showEditor()
{
    if (!editor_) {
        auto* editor = new FrmWyb(dialogs_, this);
        if (!editor->load(nowyzestaw)) {
            delete editor;
            return;
        }
        editor->setAttribute(Qt::WA_DeleteOnClose);
        editor_ = editor;
    }
    editor_->show();
    editor_->raise();
}

void FrmMenu::Command2()
{
    if (!generator_) {
        auto* generator = new FrmTest(dialogs_, this);
        generator->setWindowFlag(Qt::Window);
        if (!generator->load()) {
            delete generator;
            dialogs_.message(this, QStringLiteral("Nie wybrałeś pliku z pytaniami"), Dialogs::Buttons::Ok,
                             Dialogs::Icon::Information, QStringLiteral("TEST"));
            return;
        }
        generator->setAttribute(Qt::WA_DeleteOnClose);
        generator_ = generator;
    }
    generator_->show();
    generator_->raise();
}

void FrmMenu::Command1()
{
    dialogs_.endProgram();
}
