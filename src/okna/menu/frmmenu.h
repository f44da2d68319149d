#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>

class BiezacyFolder;
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

    FrmMenu(Dialogs& dialogs, BiezacyFolder& folder, QWidget* parent = nullptr);
    ~FrmMenu() override;

    FrmNowy* chooser() const;
    FrmWyb* editor() const;
    FrmTest* generator() const;

    // Shows the editor, loading it for a new set or an existing one only when it is not open yet.
    void showEditor(bool nowy);

signals:
    // "Koniec", or the editor found no set: the program ends at once.
    void koniec();

private slots:
    void cmdpomoc();
    void cmdzestaw();
    void cmdtest();

private:
    const std::unique_ptr<Ui::frmMenu> ui;
    Dialogs& dialogs_;
    BiezacyFolder& folder_;
    QPointer<FrmNowy> chooser_;
    QPointer<FrmWyb> editor_;
    QPointer<FrmTest> generator_;
};
