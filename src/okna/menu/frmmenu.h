#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>

class Dialogs;
class FrmNowy;
class FrmWyb;
class FrmTest;
namespace Ui {
class frmMenu;
}

// The main menu: help, the set editor (through the chooser), the generator and the end.
class FrmMenu : public QWidget
{
    Q_OBJECT
public:
    static inline const QString programName = QStringLiteral("Testownik");

    explicit FrmMenu(Dialogs& dialogs, QWidget* parent = nullptr);
    ~FrmMenu() override;

    FrmNowy* chooser() const;
    FrmWyb* editor() const;
    FrmTest* generator() const;

    // Shows the editor, loading it only when it is not open yet.
    void showEditor();

private slots:
    void cmdpomoc();
    void Command3();
    void Command2();
    void Command1();

private:
    const std::unique_ptr<Ui::frmMenu> ui;
    Dialogs& dialogs_;
    QPointer<FrmNowy> chooser_;
    QPointer<FrmWyb> editor_;
    QPointer<FrmTest> generator_;
};
