#include "frmnowy.h"

#include "nowyzestaw.h"
#include "ui_frmnowy.h"

#include <QIcon>

FrmNowy::FrmNowy(QWidget* parent) : QWidget(parent, Qt::Window), ui(new Ui::FrmNowy)
{
    ui->setupUi(this);
    ui->Command1->setIcon(QIcon(QPixmap(QStringLiteral(":/icons/nowy.png"), "PNG")));
    ui->Command2->setIcon(QIcon(QPixmap(QStringLiteral(":/icons/otworz.png"), "PNG")));
    for (QPushButton* button : {ui->Command1, ui->Command2})
        button->setIconSize(QSize(32, 32));
    ui->Image1->setPixmap(QPixmap(QStringLiteral(":/icons/zestaw.png"), "PNG")
                              .scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation));
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
