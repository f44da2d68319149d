#include "frmnowy.h"

#include "ikony.h"
#include "nowyzestaw.h"
#include "ui_frmnowy.h"

FrmNowy::FrmNowy(QWidget* parent) : QWidget(parent, Qt::Window), ui(new Ui::FrmNowy)
{
    ui->setupUi(this);
    ui->Command1->setIcon(ikony::ikona(QStringLiteral("nowy.png")));
    ui->Command2->setIcon(ikony::ikona(QStringLiteral("otworz.png")));
    for (QPushButton* button : {ui->Command1, ui->Command2})
        button->setIconSize(QSize(32, 32));
    ui->Image1->setPixmap(ikony::obrazek(QStringLiteral("zestaw.png"))
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
