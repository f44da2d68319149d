#include "frmmenu.h"
#include "frmnowy.h"
#include "frmtest.h"
#include "frmwyb.h"
#include "helpwindow.h"
#include "nowyzestaw.h"
#include "scripteddialogs.h"
#include "tempdir.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

class TstShell : public QObject
{
    Q_OBJECT
private slots:
    void menuStartsWithItsButtons();
    void chooserFlagSurvivesTheEditor();
    void editorOpenOnlyOnce();
    void koniecEndsWithoutSaving();
    void generatorThatClosesItselfIsReported();
    void generatorOpensOnAGoodSet();
    void helpOpensTheHelpFile();
    void helpWindowSaysWhenTheFileIsMissing();
};

static void click(QWidget* window, const char* name)
{
    auto* button = window->findChild<QPushButton*>(QLatin1String(name));
    QVERIFY2(button, name);
    QTest::mouseClick(button, Qt::LeftButton);
}

void TstShell::menuStartsWithItsButtons()
{
    ScriptedDialogs dialogs;
    FrmMenu menu(dialogs);
    menu.show();
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
    QCOMPARE(menu.windowTitle(), FrmMenu::programName);
    const QStringList captions{QStringLiteral("&Pomoc"), QStringLiteral("&Zestaw pytań"),
                               QStringLiteral("&Test"), QStringLiteral("&Koniec")};
    const char* names[] = {"cmdpomoc", "Command3", "Command2", "Command1"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(menu.findChild<QPushButton*>(QLatin1String(names[i]))->text(), captions[i]);
    QCOMPARE(menu.findChild<QPushButton*>(QStringLiteral("Command3"))->toolTip(),
             QStringLiteral("Tworzenie nowego lub modyfikacja istniejącego zestawu pytań"));
}

void TstShell::chooserFlagSurvivesTheEditor()
{
    TempCwd dir;
    ScriptedDialogs dialogs;
    FrmMenu menu(dialogs);
    menu.show();

    click(&menu, "Command3");
    QVERIFY(menu.chooser());
    QCOMPARE(menu.chooser()->windowTitle(), QStringLiteral("TEST"));
    dialogs.inputs << QStringLiteral("biologia");
    click(menu.chooser(), "Command1");
    QCOMPARE(nowyzestaw, qint16(1));
    QTRY_VERIFY(!menu.chooser());
    QVERIFY(menu.editor() && menu.editor()->isVisible());
    click(menu.editor(), "cmdkoniec");
    QTRY_VERIFY(!menu.editor());
    QCOMPARE(nowyzestaw, qint16(1));
    QCOMPARE(QFileInfo(QStringLiteral("biologia")).size(), 1314);

    click(&menu, "Command3");
    dialogs.files << dir.file(QStringLiteral("biologia"));
    click(menu.chooser(), "Command2");
    QCOMPARE(nowyzestaw, qint16(0));
    QVERIFY(menu.editor());
    QVERIFY(dialogs.prompts.size() == 1 && dialogs.fileDialogs.size() == 1);
}

void TstShell::editorOpenOnlyOnce()
{
    TempCwd dir;
    ScriptedDialogs dialogs;
    FrmMenu menu(dialogs);
    menu.show();
    click(&menu, "Command3");
    dialogs.inputs << QStringLiteral("a");
    click(menu.chooser(), "Command1");
    FrmWyb* first = menu.editor();
    // Choosing again while the editor is open sets the flag but loads nothing.
    click(&menu, "Command3");
    click(menu.chooser(), "Command2");
    QCOMPARE(nowyzestaw, qint16(0));
    QCOMPARE(menu.editor(), first);
    QVERIFY(dialogs.fileDialogs.isEmpty());
}

void TstShell::koniecEndsWithoutSaving()
{
    TempCwd dir;
    ScriptedDialogs dialogs;
    FrmMenu menu(dialogs);
    menu.show();
    click(&menu, "Command3");
    dialogs.inputs << QStringLiteral("s");
    click(menu.chooser(), "Command1");
    menu.editor()
        ->findChild<QPlainTextEdit*>(QStringLiteral("txtpytanie"))
        ->setPlainText(QStringLiteral("nie zapisane"));
    click(&menu, "Command1");
    QVERIFY(dialogs.ended());
    if (menu.editor())
        menu.editor()->close();
    QCOMPARE(readAll(QStringLiteral("s")).left(12), QByteArray(12, '\0'));
}

void TstShell::generatorThatClosesItselfIsReported()
{
    TempCwd dir;
    QDir().mkdir(QStringLiteral("folder"));
    ScriptedDialogs dialogs;
    FrmMenu menu(dialogs);
    menu.show();
    dialogs.files << dir.file(QStringLiteral("folder"));
    click(&menu, "Command2");
    QCOMPARE(dialogs.messageTexts(), (QStringList{QStringLiteral("Wybrałeś niewłaściwy plik źródłowy"),
                                                  QStringLiteral("Nie wybrałeś pliku z pytaniami")}));
    QCOMPARE(dialogs.messages[1].icon, Dialogs::Icon::Information);
    QCOMPARE(dialogs.messages[1].title, QStringLiteral("TEST"));
    QVERIFY(!menu.generator());
    QVERIFY(menu.isVisible());
}

void TstShell::generatorOpensOnAGoodSet()
{
    TempCwd dir;
    QVERIFY(writeAll(QStringLiteral("zestaw"), QByteArray(2 * 1314, '\0')));
    ScriptedDialogs dialogs;
    FrmMenu menu(dialogs);
    menu.show();
    dialogs.files << dir.file(QStringLiteral("zestaw"));
    click(&menu, "Command2");
    QVERIFY(menu.generator());
    QVERIFY(menu.generator()->isVisible());
    QVERIFY(menu.generator()->isWindow());
    QCOMPARE(menu.generator()->windowTitle(), QStringLiteral("Generowanie Testu"));
    // Every control that takes the keyboard has a name for assistive technology.
    for (QWidget* window : {static_cast<QWidget*>(&menu), static_cast<QWidget*>(menu.generator())})
        for (QWidget* widget : window->findChildren<QWidget*>())
            if (widget->isVisible() && (widget->focusPolicy() & Qt::TabFocus))
                QVERIFY2(!widget->accessibleName().isEmpty(), qPrintable(widget->objectName()));
    // Shown again while open: nothing is loaded again.
    click(&menu, "Command2");
    QCOMPARE(dialogs.fileDialogs.size(), 1);
    QVERIFY(dialogs.messages.isEmpty());
}

void TstShell::helpOpensTheHelpFile()
{
    ScriptedDialogs dialogs;
    FrmMenu menu(dialogs);
    click(&menu, "cmdpomoc");
    QCOMPARE(dialogs.helpCalls, QStringList{QStringLiteral("test.hlp 1 0")});
}

void TstShell::helpWindowSaysWhenTheFileIsMissing()
{
    TempCwd dir;
    HelpWindow window;
    window.showFile(QStringLiteral("nie-ma-takiego.hlp"));
    QVERIFY(window.shownText().contains(QStringLiteral("Brak pliku pomocy")));

    QVERIFY(writeAll(QStringLiteral("test.hlp"), "<html><body><p>Pomoc: zestawy pyta\xf1</p></body></html>"));
    window.showFile(QStringLiteral("test.hlp"));
    QVERIFY(window.shownText().contains(QStringLiteral("zestawy pytań")));
}

QTEST_MAIN(TstShell)
#include "tst_shell.moc"
