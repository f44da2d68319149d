#include "frmnowy.h"

#include "nowyzestaw.h"
#include "ui_frmnowy.h"

#include <QStyle>

FrmNowy::FrmNowy(QWidget* parent) : QWidget(parent, Qt::Window), ui(new Ui::FrmNowy)
{
    ui->setupUi(this);
    ui->Command1->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    ui->Command2->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    ui->Image1->setPixmap(style()->standardIcon(QStyle::SP_FileDialogContentsView).pixmap(48, 48));
    connect(ui->Command1, &QPushButton::clicked, this, &FrmNowy::Command1);
    connect(ui->Command2, &QPushButton::clicked, this, &FrmNowy::Command2);
}

FrmNowy::~FrmNowy() = default;

void FrmNowy::Command1()
{
    choose(1);
}

void FrmNowy::Command2()
{
    choose(0);
}

void FrmNowy::choose(qint16 value)
{
    nowyzestaw = value;
    emit showEditor();
    close();
}
