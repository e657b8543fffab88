// Our Windows-1251 table against the platform's decoder, and the fixed-width text fields.
#include "core/cp1251.h"

#include <QStringDecoder>
#include <QtTest>

using namespace talvir;

class TestCp1251 : public QObject {
    Q_OBJECT
private slots:
    void matchesPlatformDecoder()
    {
        QStringDecoder platform("windows-1251");
        if (!platform.isValid())
            QSKIP("this Qt has no windows-1251 decoder (no ICU)");
        for (int b = 0x80; b <= 0xFF; ++b) {
            if (b == 0x98)
                continue; // unassigned; decoders differ on what they return
            const QByteArray one(1, char(b));
            QCOMPARE(fromCp1251(one), platform.decode(one));
        }
    }

    void roundTripsCyrillicAndNumeroSign()
    {
        const QString text = QStringLiteral("Тип ППК № 5 ёЁ «»");
        QCOMPARE(fromCp1251(toCp1251(text)), text);
        QCOMPARE(toCp1251(QStringLiteral("№")), QByteArray("\xB9"));
        QCOMPARE(toCp1251(QStringLiteral("П")), QByteArray("\xCF"));
    }

    void unmappableBecomesQuestionMark() { QCOMPARE(toCp1251(QStringLiteral("a中b")), QByteArray("a?b")); }

    void fields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QString>("decoded");
        QTest::newRow("short text zero-filled") << "+38" << 6 << QByteArray("+38\0\0\0", 6) << "+38";
        QTest::newRow("full field no terminator") << "115200" << 6 << QByteArray("115200") << "115200";
        QTest::newRow("longer text cut") << "12345678" << 4 << QByteArray("1234") << "1234";
        QTest::newRow("empty") << "" << 4 << QByteArray(4, '\0') << "";
    }
    void fields()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QByteArray, field);
        QFETCH(QString, decoded);
        QByteArray buf(width, '\x55');
        toCp1251Field(text, buf.data(), width);
        QCOMPARE(buf, field);
        QCOMPARE(fromCp1251Field(buf.constData(), width), decoded);
    }

    void decodingStopsAtFirstZero()
    {
        const QByteArray raw("AB\0CD", 5);
        QCOMPARE(fromCp1251Field(raw.constData(), 5), QStringLiteral("AB"));
    }
};

QTEST_GUILESS_MAIN(TestCp1251)
#include "test_cp1251.moc"
