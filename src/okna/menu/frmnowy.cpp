#include "frmnowy.h"

#include "ikony.h"
#include "ui_frmnowy.h"

FrmNowy::FrmNowy(QWidget* parent) : QWidget(parent, Qt::Window), ui(new Ui::FrmNowy)
{
    ui->setupUi(this);
    ui->cmdnowy->setIcon(ikony::ikona(QStringLiteral("nowy.png")));
    ui->cmdistniejacy->setIcon(ikony::ikona(QStringLiteral("otworz.png")));
    for (QPushButton* button : {ui->cmdnowy, ui->cmdistniejacy})
        button->setIconSize(QSize(32, 32));
    ui->imgzestaw->setPixmap(ikony::obrazek(QStringLiteral("zestaw.png"))
                                 .scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    connect(ui->cmdnowy, &QPushButton::clicked, this, [this] { wybierz(true); });
    connect(ui->cmdistniejacy, &QPushButton::clicked, this, [this] { wybierz(false); });
}

FrmNowy::~FrmNowy() = default;

void FrmNowy::wybierz(bool nowy)
{
    emit wybrano(nowy);
    close();
}
