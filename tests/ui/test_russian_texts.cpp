// Qt's own texts in Russian on a machine whose locale is not Russian.
#include "ui/russian_texts.h"

#include <QApplication>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

class TestRussianTexts : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        QVERIFY2(talvir::installRussianQtTexts(*qApp), "qtbase_ru.qm not found (Debian: qt6-translations-l10n)");
    }

    void standardButtonsAreRussian_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("text");
        QTest::newRow("yes") << int(QMessageBox::Yes) << QStringLiteral("Да");
        QTest::newRow("no") << int(QMessageBox::No) << QStringLiteral("Нет");
        QTest::newRow("cancel") << int(QMessageBox::Cancel) << QStringLiteral("Отмена");
    }

    void standardButtonsAreRussian()
    {
        QFETCH(int, button);
        QFETCH(QString, text);
        QMessageBox box(QMessageBox::Question, QStringLiteral("Завершение работы"),
                        QStringLiteral("Завершить работу приложения?"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QAbstractButton *shown = box.button(QMessageBox::StandardButton(button));
        QVERIFY(shown);
        QCOMPARE(shown->text().remove(QLatin1Char('&')), text);
    }
};

QTEST_MAIN(TestRussianTexts)
#include "test_russian_texts.moc"
