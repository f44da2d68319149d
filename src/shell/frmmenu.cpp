#include "frmmenu.h"

#include "dialogs.h"
#include "frmnowy.h"
#include "frmwyb.h"
#include "ui_frmmenu.h"

#include <QStyle>

FrmMenu::FrmMenu(Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), ui(new Ui::frmMenu), dialogs_(dialogs)
{
    ui->setupUi(this);
    setWindowTitle(programName);
    ui->Command3->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    ui->Command1->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    ui->Image1->setPixmap(style()->standardIcon(QStyle::SP_FileDialogInfoView).pixmap(64, 64));
    connect(ui->cmdpomoc, &QPushButton::clicked, this, &FrmMenu::cmdpomoc);
    connect(ui->Command3, &QPushButton::clicked, this, &FrmMenu::Command3);
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
        editor->setAttribute(Qt::WA_DeleteOnClose);
        if (!editor->load()) {
            delete editor;
            return;
        }
        editor_ = editor;
    }
    editor_->show();
    editor_->raise();
}

void FrmMenu::Command1()
{
    dialogs_.endProgram();
}
