// BCD values as pxlib keeps them: for every count of decimal places a table may declare (0..32), a
// value pxlib stores reads back with exactly those places, and the writer stores the bytes pxlib
// would.
#include "console/paradox_values.h"

#include <QTest>

extern "C" {
#include <paradox.h>
}

using namespace talvir;

class TestParadoxBcd : public QObject {
    Q_OBJECT
private slots:
    void readAndWrittenAsPxlibDoes_data()
    {
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text"); // as pxlib is given it and as we read it back
        QTest::newRow("2 places") << 2 << "12.50";
        QTest::newRow("2 places, negative") << 2 << "-3.75";
        QTest::newRow("2 places, zero") << 2 << "0.00";
        QTest::newRow("2 places, under one") << 2 << "-0.01";
        QTest::newRow("no places") << 0 << "123456";
        QTest::newRow("5 places") << 5 << "-1.25000";
        QTest::newRow("32 places") << 32 << "0.50000000000000000000000000000001";
        QTest::newRow("32 whole digits") << 0 << "99999999999999999999999999999999";
        QTest::newRow("30 whole digits, 2 places") << 2 << "-123456789012345678901234567890.01";
    }
    void readAndWrittenAsPxlibDoes()
    {
        QFETCH(int, decimals);
        QFETCH(QString, text);
        pxdoc_t *doc = PX_new();
        QVERIFY(doc);
        char stored[17] = {};
        // pxlib's writer reads a value without places only with its point.
        QByteArray latin = (decimals ? text : text + QLatin1Char('.')).toLatin1();
        PX_put_data_bcd(doc, stored, decimals, latin.data());
        char *shown = nullptr;
        QCOMPARE(PX_get_data_bcd(doc, reinterpret_cast<unsigned char *>(stored), decimals, &shown), 1);
        // pxlib ends a value without places with its point: "123456.".
        QCOMPARE(QString::fromLatin1(shown), decimals ? text : text + QLatin1Char('.'));
        doc->free(doc, shown);
        PX_delete(doc);

        QCOMPARE(px::decodeField(ParadoxType::Bcd, stored, 17, decimals).toString(), text);
        char written[17];
        QCOMPARE(px::encodeField(ParadoxType::Bcd, text, written, 17, decimals), QString());
        QCOMPARE(QByteArray(written, 17).toHex(' '), QByteArray(stored, 17).toHex(' '));
    }
};

QTEST_GUILESS_MAIN(TestParadoxBcd)
#include "test_paradox_bcd.moc"
