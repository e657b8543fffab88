// The console import against a large console: opening the object list of a transceiver with 5 000
// objects and importing 600 panels, against pxlib alone reading the same tables.
//   bench_console                  generates the console in a temporary folder (in a child process)
//   bench_console --generate DIR   only generates
//   bench_console DIR              measures an existing console
#include "large_console.h"

#include "console/console_aliases.h"
#include "console/console_import.h"
#include "console/pxlib_doc.h"
#include "core/variant.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace talvir;

namespace {

// pxlib alone: open the file and fetch every record, nothing decoded.
int pxlibRead(const QString &path)
{
    FILE *fp = px::openFile(path, "rb");
    if (!fp)
        return -1;
    int records = 0;
    {
        px::Doc doc;
        if (PX_open_fp(doc.get(), fp) >= 0) {
            doc.setOpened();
            std::vector<char> record(size_t(PX_get_recordsize(doc.get())));
            const int n = PX_get_num_records(doc.get());
            for (int r = 0; r < n; ++r)
                records += PX_get_record(doc.get(), r, record.data()) ? 1 : 0;
        }
        doc.finish();
    }
    std::fclose(fp);
    return records;
}

double medianMs(int runs, const std::function<void()> &job)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        job();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

long peakRssKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

QByteArray loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed() : QByteArray("?");
}

// The import as "Выполнить" runs it: objects in list order, panels mapped, until 600 rows.
int importPanels(ConsoleImport &import, const Variant &variant, int limit)
{
    int rows = 0;
    QList<ConsolePanel> panels;
    for (int i = 0; i < import.objects().size() && rows < limit; ++i) {
        if (!import.panelsOf(import.objects().at(i).id, panels))
            return -1;
        for (const ConsolePanel &p : std::as_const(panels)) {
            if (rows < limit && panelRecordFrom(p, i, variant))
                ++rows;
        }
    }
    return rows;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    QString error;
    if (args.size() == 2 && args.at(0) == QLatin1String("--generate")) {
        if (!bench::writeLargeConsole(args.at(1), error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        return 0;
    }
    QTemporaryDir temp;
    QString folder = args.value(0);
    if (folder.isEmpty()) {
        folder = temp.path();
        QElapsedTimer t;
        t.start();
        // A child process writes the tables, so this one's peak memory is the import's.
        if (QProcess::execute(QCoreApplication::applicationFilePath(), {QStringLiteral("--generate"), folder}) != 0)
            return 1;
        std::printf("generated %d objects (%d on %d), %d panels in %.1f s\n", bench::kLargeObjects,
                    bench::kObjectsOnTransceiver, bench::kTransceiver, bench::kLargePanels, double(t.elapsed()) / 1000);
    }
    QFile ini(temp.filePath(QStringLiteral("Talvir/console.ini")));
    QDir().mkpath(temp.filePath(QStringLiteral("Talvir")));
    if (!ini.open(QIODevice::WriteOnly))
        return 1;
    ini.write("[Aliases]\nTraficDB=" + folder.toUtf8() + "\nEditDB=" + folder.toUtf8() + "\n");
    ini.close();
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, temp.path());

    const auto path = [&](const char *t) { return folder + QLatin1Char('/') + QLatin1String(t); };
    constexpr int kRuns = 5;
    const double pxList = medianMs(kRuns, [&] { pxlibRead(path("ObjList.db")); pxlibRead(path("TrnObj.db")); });
    const double pxAll = medianMs(kRuns, [&] {
        for (const char *t : {"ObjList.db", "TrnObj.db", "CentralList.db", "CentralType.db"})
            pxlibRead(path(t));
    });

    const Variant &variant = Variant::mxr600r();
    int objects = 0;
    int rows = 0;
    const double open = medianMs(kRuns, [&] {
        ConsoleImport import(variant);
        if (import.openObjectList(bench::kTransceiver))
            objects = int(import.objects().size());
    });
    const double whole = medianMs(kRuns, [&] {
        ConsoleImport import(variant);
        if (import.openObjectList(bench::kTransceiver))
            rows = importPanels(import, variant, variant.maxPanels);
    });
    const long peak = peakRssKb();

    std::printf("load average: %s\n", loadAverage().constData());
    std::printf("pxlib alone, ObjList.db + TrnObj.db:      %8.1f ms\n", pxList);
    std::printf("pxlib alone, all four tables:             %8.1f ms\n", pxAll);
    std::printf("open the object list (%d objects):      %8.1f ms  ratio %.2f (target 2)\n", objects, open, open / pxList);
    std::printf("open the list and import %d panels:     %8.1f ms  ratio %.2f (target 3)\n", rows, whole, whole / pxAll);
    std::printf("peak memory:                              %8.1f MB (target 200)\n", double(peak) / 1024);
    const bool met = objects > 0 && rows == variant.maxPanels && open <= 2 * pxList && whole <= 3 * pxAll && peak < 200 * 1024;
    std::printf("%s\n", met ? "targets met" : "TARGETS MISSED");
    return met ? 0 : 1;
}
