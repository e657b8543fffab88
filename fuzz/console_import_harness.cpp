#include "console_import_harness.h"

#include "fuzz_require.h"

#include "console/console_import.h"
#include "console/paradox_writer.h"
#include "core/memory_layout.h"
#include "core/variant.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

namespace talvir {

namespace {

constexpr qint32 kFactoryNumber = 12345;
const char *const kTables[] = {"ObjList.db", "TrnObj.db", "CentralList.db", "CentralType.db"};

ParadoxField field(const char *name, ParadoxType type, int size) { return {QString::fromLatin1(name), type, size}; }

// A small sound console: two objects of the transceiver, one of another, panels with long phone
// numbers and type names, a type without a protocol code. Written once; the folder lives as long as
// the process.
struct Console {
    QTemporaryDir dir;
    QByteArray good[4];

    Console()
    {
        const ParadoxType L = ParadoxType::Long, A = ParadoxType::Alpha, B = ParadoxType::Logical;
        const QList<QList<ParadoxField>> fields{
            {field("Id", L, 4), field("Name", A, 100), field("Enabled", B, 1)},
            {field("ObjRef", L, 4), field("TrName", A, 20), field("IdType", L, 4)},
            {field("ObjRef", L, 4), field("Account", A, 10), field("TypeRef", L, 4), field("DefCId", B, 1),
             field("PhoneM", A, 20), field("PhoneM1", A, 20), field("WT_GSM", L, 4), field("GSM", B, 1)},
            {field("TypeId", L, 4), field("NameCentral", A, 40)},
        };
        const QList<QList<QVariantList>> rows{
            {{1, QStringLiteral("Магазин №5"), true}, {10, QStringLiteral("Склад"), true}, {7, QStringLiteral("Чужой"), true}},
            {{1, QStringLiteral("N12345"), 1}, {10, QStringLiteral("N12345"), 1}, {7, QStringLiteral("N54321"), 1}},
            {{1, QStringLiteral("0120"), 400, true, QStringLiteral("806712345678901"), QString(), 10, true},
             {10, QStringLiteral("12345"), 531, false, QStringLiteral("80501000011"), QStringLiteral("8067"), 30, true},
             {10, QStringLiteral("0003"), 24, false, QString(), QString(), 0, false}},
            {{400, QStringLiteral("Тип с очень длинным названием из консоли")}, {531, QStringLiteral("Без кода")},
             {24, QStringLiteral("ППК 24")}},
        };
        QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, dir.path());
        QDir(dir.path()).mkpath(QStringLiteral("Talvir"));
        QFile ini(dir.filePath(QStringLiteral("Talvir/console.ini")));
        const QByteArray aliases = "[Aliases]\nTraficDB=" + QFile::encodeName(dir.path()) + "\nEditDB="
                                 + QFile::encodeName(dir.path()) + "\n";
        FUZZ_REQUIRE(ini.open(QIODevice::WriteOnly) && ini.write(aliases) == aliases.size());
        ini.close();
        for (int t = 0; t < 4; ++t) {
            QString error;
            FUZZ_REQUIRE(writeParadoxTable(path(t), fields[t], rows[t], error));
            QFile f(path(t));
            FUZZ_REQUIRE(f.open(QIODevice::ReadOnly));
            good[t] = f.readAll();
        }
    }

    QString path(int table) const { return dir.filePath(QString::fromLatin1(kTables[table])); }

    void put(int table, const QByteArray &bytes) const
    {
        QFile f(path(table));
        FUZZ_REQUIRE(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size());
    }
};

Console &console()
{
    // Qt's SQL driver wants an application object; a fuzzer has none of its own.
    static int argc = 1;
    static char name[] = "fuzz_console_import";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    Q_UNUSED(app);
    static Console c;
    return c;
}

void checkImport(const Variant &variant)
{
    ConsoleImport import(variant);
    const bool opened = import.openObjectList(kFactoryNumber);
    FUZZ_REQUIRE(opened == import.error().isEmpty());
    if (!opened)
        return;
    const QList<ConsoleObject> &objects = import.objects();
    for (int i = 0; i < objects.size(); ++i) {
        const ConsoleObject &o = objects.at(i);
        FUZZ_REQUIRE(o.line == objectLine(o.id, o.name));
        FUZZ_REQUIRE(i == 0 || objects.at(i - 1).line.compare(o.line, Qt::CaseInsensitive) <= 0);
    }
    for (int i = 0; i < objects.size(); ++i) {
        QList<ConsolePanel> panels;
        const bool ok = import.panelsOf(objects.at(i).id, panels);
        FUZZ_REQUIRE(ok == import.error().isEmpty());
        if (!ok) {
            FUZZ_REQUIRE(panels.isEmpty());
            return;
        }
        // Each row fits the panel table and the transceiver's slot as it is shown.
        for (const ConsolePanel &p : std::as_const(panels)) {
            const std::optional<PanelRecord> row = panelRecordFrom(p, i, variant);
            if (!row)
                continue;
            FUZZ_REQUIRE(row->slot == i);
            FUZZ_REQUIRE(row->obj.size() == 4 && row->account.size() <= 4);
            FUZZ_REQUIRE(row->phone1.size() <= PanelSlot::PhoneWidth && row->phone2.size() <= PanelSlot::PhoneWidth);
            FUZZ_REQUIRE(row->typeName.size() <= 20);
        }
    }
}

} // namespace

int fuzzConsoleImport(const std::uint8_t *data, std::size_t size)
{
    Console &c = console();
    const int table = size > 0 && data[0] < 4 ? data[0] : -1;
    if (table >= 0)
        c.put(table, QByteArray(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1)));
    for (const Variant *variant : {&Variant::mxr600r(), &Variant::mxrDuziv()})
        checkImport(*variant);
    if (table >= 0)
        c.put(table, c.good[table]);
    return 0;
}

} // namespace talvir
