// bench_panel_entry: a full panel table typed through the main window's own boxes and navigator
// (offscreen): Insert, the object and panel numbers, a phone, Post, until the table is full; then
// the first row changed 100 times. Prints the median and the worst time of a post, so that a sort or
// a grid refresh that grows with the square of the rows shows.
//
//   bench_panel_entry [--variant 600r|duziv]
#include "console/paradox_writer.h"
#include "core/variant.h"
#include "tables/panel_table.h"
#include "ui/dataset_navigator.h"
#include "ui/main_window.h"
#include "ui/panel_table_view.h"
#include "core/prompts.h"
#include "ui/window_parts.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <cstdio>

using namespace talvir;

namespace {

class SilentPrompts : public PromptService {
public:
    int messages = 0;
    using PromptService::message;
    MessageAnswer message(const UserMessage &) override { return ++messages, MessageAnswer::Ok; }
    std::optional<QString> inputBox(const QString &, const QString &, const QString &) override { return {}; }
    std::optional<QString> openFile(const FileRequest &) override { return {}; }
    std::optional<QString> saveFile(const FileRequest &) override { return {}; }
    std::optional<QString> pickSerialPort(const QString &) override { return {}; }
};

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v.at(v.size() / 2);
}

void report(const char *what, const QList<double> &ms)
{
    std::printf("%-34s posts %4lld  median %6.3f ms  worst %7.3f ms\n", what, qsizetype(ms.size()), median(ms),
                ms.isEmpty() ? 0.0 : *std::max_element(ms.begin(), ms.end()));
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const Variant *variant = &Variant::mxr600r();
    const QStringList args = app.arguments();
    const int at = int(args.indexOf(QStringLiteral("--variant")));
    if (at > 0 && at + 1 < args.size())
        variant = Variant::byName(args.at(at + 1));
    if (!variant) {
        std::fprintf(stderr, "usage: bench_panel_entry [--variant 600r|duziv]\n");
        return 2;
    }

    QTemporaryDir types;
    QString error;
    QList<QVariantList> rows;
    for (int id : {24, 101, 400, 530})
        rows.append(QVariantList{id, QStringLiteral("Type %1").arg(id)});
    if (!writeParadoxTable(types.filePath(QStringLiteral("CentralType.db")),
                           {{QStringLiteral("TypeId"), ParadoxType::Long, 4},
                            {QStringLiteral("NameCentral"), ParadoxType::Alpha, 40}},
                           rows, error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }

    SilentPrompts prompts;
    MainWindow window(*variant, prompts, types.path());
    window.setStartupChooser([] { return 2; });
    window.show();
    // The view's boxes, found once by their names.
    const guitest::PanelViewParts parts(window);
    auto press = [&](DatasetNavigator::Button b) { parts.panelNavigator->button(b)->click(); };

    // Object numbers in descending order, so every post sorts the new row to the top.
    QList<double> entry, late, edits;
    QElapsedTimer clock;
    for (int n = variant->maxPanels; n > 0; --n) {
        press(DatasetNavigator::Insert);
        QTest::keyClicks(parts.objectEdit, QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0')));
        QTest::keyClicks(parts.accountEdit, QStringLiteral("0001"));
        QTest::keyClicks(parts.phone1Edit, QStringLiteral("+380501234567"));
        clock.start();
        press(DatasetNavigator::Post);
        QCoreApplication::processEvents(); // the grid's layout and repaint belong to the post
        const double ms = clock.nsecsElapsed() / 1e6;
        entry << ms;
        if (n <= 50)
            late << ms;
    }
    for (int i = 0; i < 100; ++i) {
        guitest::panelTableOf(window)->first();
        parts.phone2Edit->selectAll();
        QTest::keyClicks(parts.phone2Edit, QString::number(i));
        clock.start();
        press(DatasetNavigator::Post);
        QCoreApplication::processEvents();
        edits << clock.nsecsElapsed() / 1e6;
    }
    if (guitest::panelTableOf(window)->recordCount() != variant->maxPanels || prompts.messages != 0) {
        std::fprintf(stderr, "expected %d rows and no message, got %d rows and %d messages\n", variant->maxPanels,
                     guitest::panelTableOf(window)->recordCount(), prompts.messages);
        return 1;
    }
    std::printf("%s, %d rows typed through the boxes and the navigator\n", qPrintable(variant->programName),
                variant->maxPanels);
    report("every post while filling", entry);
    report("the last 50 posts (table nearly full)", late);
    report("first row changed, full table", edits);
    return 0;
}
