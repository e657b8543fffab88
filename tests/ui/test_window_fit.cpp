// The main window on small laptop screens: every box in view and wide enough for its longest text.
#include "gui_fixture.h"

#include "ui/panel_table_view.h"
#include "ui/radio_group.h"
#include "ui/settings_panel.h"
#include "ui/status_light.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>

using namespace guitest;

namespace {

// The widest text each box must show whole.
QString sampleOf(const QString &box)
{
    if (box.endsWith(QLatin1String("IpEdit")))
        return QStringLiteral("255.255.255.255");
    if (box.endsWith(QLatin1String("PortEdit")))
        return QStringLiteral("65535");
    if (box.startsWith(QLatin1String("phone")))
        return QStringLiteral("+000000000000");
    if (box == QLatin1String("factoryNumberEdit"))
        return QStringLiteral("4294967295");
    if (box == QLatin1String("apnEdit"))
        return QStringLiteral("internet");
    return QStringLiteral("0100");
}

// The room QLineEdit paints its text in: the style's contents rectangle less 2 pixels on each side.
int textRoom(const QLineEdit *box)
{
    QStyleOptionFrame opt;
    opt.initFrom(box);
    opt.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, box);
    const QMargins tm = box->textMargins();
    return box->style()->subElementRect(QStyle::SE_LineEditContents, &opt, box).width() - 4 - tm.left() - tm.right();
}

// The controls under root that take input or act and that assistive tools find without a name.
QStringList unnamedControls(QWidget *root)
{
    QStringList unnamed;
    QList<QWidget *> all = root->findChildren<QWidget *>();
    all.prepend(root);
    for (QWidget *wgt : all) {
        // The edit inside a combo or spin box is read as part of its box.
        if (qobject_cast<QComboBox *>(wgt->parentWidget()) || qobject_cast<QAbstractSpinBox *>(wgt->parentWidget()))
            continue;
        // Qt's own helpers (the menu bar's overflow button) and the drop-down lists, which are
        // windows of their own read with their combo box, are not ours to name.
        if (wgt->objectName().startsWith(QLatin1String("qt_")) || wgt->window() != root)
            continue;
        // Nor are the unnamed parts Qt keeps out of sight (a grid's corner button without its header).
        if (wgt->objectName().isEmpty() && !wgt->isVisibleTo(root))
            continue;
        const bool acts = qobject_cast<QAbstractButton *>(wgt) || wgt->focusPolicy() != Qt::NoFocus;
        if (!acts)
            continue;
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(wgt);
        if (!face || face->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << QStringLiteral("%1 (%2)").arg(wgt->objectName(), QLatin1String(wgt->metaObject()->className()));
    }
    return unnamed;
}

} // namespace

class TestWindowFit : public WindowTest {
    Q_OBJECT

private slots:
    void boxesFitSmallScreens_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("allInView"); // at 1024 x 600 the settings may scroll
        for (const char *v : {"600r", "duziv"})
            for (int protocol : {0, 1}) {
                QTest::addRow("%s protocol %d 1280x680", v, protocol) << v << protocol << QSize(1280, 680) << true;
                QTest::addRow("%s protocol %d 1024x600", v, protocol) << v << protocol << QSize(1024, 600) << false;
            }
    }

    void boxesFitSmallScreens()
    {
        QFETCH(int, protocol);
        QFETCH(QSize, size);
        QFETCH(bool, allInView);
        Windows w(fetchVariant(), types_.path());
        w.start(2);
        MainParts(*w.main).writeButton->setVisible(true); // as with the link up
        SettingsParts(*w.main).protocolGroup->setItemIndex(protocol);
        w.main->resize(size);
        QVERIFY(QTest::qWaitForWindowExposed(w.main.get()));
        QCoreApplication::processEvents();
        QVERIFY(w.main->width() <= size.width() && w.main->height() <= size.height());

        int checked = 0;
        for (QWidget *part : {static_cast<QWidget *>(settingsOf(*w.main)), static_cast<QWidget *>(panelViewOf(*w.main))}) {
            for (QLineEdit *box : part->findChildren<QLineEdit *>()) {
                if (box->objectName().isEmpty() || !box->isVisibleTo(w.main.get()))
                    continue; // the line edits inside combo and spin boxes
                ++checked;
                const int needed = box->fontMetrics().horizontalAdvance(sampleOf(box->objectName()));
                QVERIFY2(textRoom(box) >= needed,
                         qPrintable(QStringLiteral("%1: %2 < %3").arg(box->objectName()).arg(textRoom(box)).arg(needed)));
                if (allInView)
                    QVERIFY2(box->visibleRegion().boundingRect() == box->rect(), qPrintable(box->objectName()));
            }
        }
        QVERIFY(checked >= 11);
        if (allInView)
            QVERIFY(MainParts(*w.main).writeButton->visibleRegion().boundingRect() == MainParts(*w.main).writeButton->rect());
    }

    void everyControlHasAName_data() { variants(); }

    void everyControlHasAName()
    {
        Windows w(fetchVariant(), types_.path());
        w.start(2);
        for (QWidget *window : std::initializer_list<QWidget *>{w.main.get(), w.reserveList.get(), w.objectList.get(),
                                                                w.startup.get()}) {
            const QStringList unnamed = unnamedControls(window);
            QVERIFY2(unnamed.isEmpty(), qPrintable(window->objectName() + QStringLiteral(": ") + unnamed.join(", ")));
        }
        if (MainParts(*w.main).linkLight) {
            QAccessibleInterface *light = QAccessible::queryAccessibleInterface(MainParts(*w.main).linkLight);
            QVERIFY(!light->text(QAccessible::Name).isEmpty());
            QVERIFY(!light->text(QAccessible::Description).isEmpty());
        }
    }
};

QTEST_MAIN(TestWindowFit)
#include "test_window_fit.moc"
