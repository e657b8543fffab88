#include "tform_al.h"

#include "app/ui/prompts.h"
#include "app/variant.h"
#include "edit/ui/db_navigator.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace talvir {

TForm_AL::TForm_AL(const Variant &variant, PromptService &prompts, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), variant_(variant), prompts_(prompts)
{
    setObjectName(QStringLiteral("TForm_AL"));
    setWindowTitle(QStringLiteral("Список IP-адресов резервных СИ"));
    setModal(true);

    TrListDB = new QStandardItemModel(0, 1, this);
    TrListDB->setObjectName(QStringLiteral("TrListDB"));
    TrListDB->setHorizontalHeaderLabels({QStringLiteral("IP-адрес резервного СИ")});

    auto *layout = new QVBoxLayout(this);
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setModel(TrListDB);
    DBGrid1->verticalHeader()->setDefaultSectionSize(22);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(DBGrid1, 1);

    Nav = new DbNavigator(DbNavigator::allButtons(), this);
    Nav->setObjectName(QStringLiteral("Nav"));
    layout->addWidget(Nav);

    auto *bottom = new QHBoxLayout;
    Button1 = new QPushButton(QStringLiteral("Очистить список"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    TrCnt = new QLabel(this);
    TrCnt->setObjectName(QStringLiteral("TrCnt"));
    bottom->addWidget(Button1);
    bottom->addStretch();
    bottom->addWidget(TrCnt);
    layout->addLayout(bottom);

    setFixedSize(340, 440);
}

void TForm_AL::clearList()
{
    TrListDB->removeRows(0, TrListDB->rowCount());
    TrCnt->setText(QString::number(TrListDB->rowCount()));
}

void TForm_AL::setAddressTexts(const QStringList &texts)
{
    clearList();
    for (const QString &text : texts)
        TrListDB->appendRow(new QStandardItem(text));
    TrCnt->setText(QString::number(TrListDB->rowCount()));
}

QStringList TForm_AL::addressTexts() const
{
    QStringList out;
    for (int r = 0; r < TrListDB->rowCount(); ++r)
        out << TrListDB->index(r, 0).data().toString();
    return out;
}

int TForm_AL::rowCount() const
{
    return TrListDB->rowCount();
}

} // namespace talvir
