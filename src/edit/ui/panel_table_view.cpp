#include "panel_table_view.h"

#include "app/db/type_table.h"
#include "app/variant.h"
#include "edit/ui/db_navigator.h"
#include "edit/ui/key_filter.h"
#include "edit/ui/panel_table_model.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace talvir {

namespace {

QLineEdit *makeEdit(const char *name, int maxLength, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    return e;
}

QLabel *makeLabel(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

} // namespace

PanelTableView::PanelTableView(const Variant &variant, PanelTableModel *model, QWidget *parent)
    : QWidget(parent), variant_(variant), model_(model)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setModel(model_);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setAlternatingRowColors(true);
    DBGrid1->verticalHeader()->setVisible(false);
    DBGrid1->verticalHeader()->setDefaultSectionSize(22);
    DBGrid1->horizontalHeader()->setHighlightSections(false);
    DBGrid1->setColumnWidth(PanelTableModel::ColRecNmb, 44);
    DBGrid1->setColumnWidth(PanelTableModel::ColObj, 64);
    DBGrid1->setColumnWidth(PanelTableModel::ColAccount, 52);
    DBGrid1->setColumnWidth(PanelTableModel::ColP1, 116);
    DBGrid1->setColumnWidth(PanelTableModel::ColP2, 116);
    DBGrid1->setColumnWidth(PanelTableModel::ColWaitTest, 50);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(DBGrid1, 1);

    // The edit boxes of the current row and the type selector.
    auto *editors = new QWidget(this);
    auto *form = new QGridLayout(editors);
    form->setContentsMargins(0, 4, 0, 0);
    form->setHorizontalSpacing(8);
    form->setVerticalSpacing(4);

    ObjId = makeEdit("ObjId", 4, editors);
    Accnt = makeEdit("Accnt", 4, editors);
    P1 = makeEdit("P1", 13, editors);
    P2 = makeEdit("P2", 13, editors);
    WaitTest = makeEdit("WaitTest", 0, editors);
    WaitTest->setToolTip(QStringLiteral("Период ожидания теста  GSM-канала "));
    installKeyFilter(ObjId, KeyFilterKind::Hex);
    installKeyFilter(Accnt, KeyFilterKind::Hex);
    installKeyFilter(P1, KeyFilterKind::Phone);
    installKeyFilter(P2, KeyFilterKind::Phone);
    installKeyFilter(WaitTest, KeyFilterKind::Digits);
    for (QLineEdit *e : {ObjId, Accnt, WaitTest})
        e->setMaximumWidth(90);
    for (QLineEdit *e : {P1, P2})
        e->setFixedWidth(160);

    form->addWidget(makeLabel(QStringLiteral("Номер объекта"), ObjId, editors), 0, 0);
    form->addWidget(ObjId, 0, 1);
    form->addWidget(makeLabel(QStringLiteral("Телефон 1"), P1, editors), 0, 2);
    form->addWidget(P1, 0, 3, Qt::AlignLeft);
    form->addWidget(makeLabel(QStringLiteral("Номер ППК"), Accnt, editors), 1, 0);
    form->addWidget(Accnt, 1, 1);
    form->addWidget(makeLabel(QStringLiteral("Телефон 2"), P2, editors), 1, 2);
    form->addWidget(P2, 1, 3, Qt::AlignLeft);
    form->addWidget(makeLabel(QStringLiteral("Тест, мин."), WaitTest, editors), 2, 0);
    form->addWidget(WaitTest, 2, 1);
    form->setColumnStretch(3, 1);
    form->setRowStretch(3, 1); // the boxes stay at the top beside the taller type grid

    if (variant_.hasTypeSelector) {
        TypePPK = new QComboBox(editors);
        TypePPK->setObjectName(QStringLiteral("TypePPK"));
        TypePPK->setEnabled(false); // locked until an insertion or an edit begins
        TypePPK->setMinimumContentsLength(20);
        TypePPK->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        form->addWidget(makeLabel(QStringLiteral("Тип ППК"), TypePPK, editors), 2, 2);
        form->addWidget(TypePPK, 2, 3);
        layout->addWidget(editors);
    } else {
        auto *bottom = new QHBoxLayout;
        bottom->addWidget(editors, 1);
        buildTypeGrid(this);
        auto *typeColumn = new QVBoxLayout;
        typeColumn->setSpacing(2);
        typeColumn->addWidget(N_PPK, 1);
        typeColumn->addWidget(DBNavigator2);
        bottom->addLayout(typeColumn);
        layout->addLayout(bottom);
    }

    auto *navRow = new QHBoxLayout;
    NavObj = new DbNavigator(DbNavigator::allButtons(), this);
    NavObj->setObjectName(QStringLiteral("NavObj"));
    NavObj->setMaximumWidth(360);
    ObjCountLbl = new QLabel(this);
    ObjCountLbl->setObjectName(QStringLiteral("ObjCountLbl"));
    ObjCountLbl->setMinimumWidth(180);
    navRow->addWidget(NavObj, 1);
    navRow->addSpacing(12);
    navRow->addWidget(ObjCountLbl);
    navRow->addStretch();
    layout->addLayout(navRow);

    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { showRow(current.isValid() ? current.row() : -1); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { showRow(currentRow()); });
}

void PanelTableView::buildTypeGrid(QWidget *host)
{
    typeGridModel_ = new QStandardItemModel(0, 1, host);
    N_PPK = new QTableView(host);
    N_PPK->setObjectName(QStringLiteral("N_PPK"));
    N_PPK->setToolTip(QStringLiteral("Выбор типа ППК"));
    N_PPK->setModel(typeGridModel_);
    N_PPK->horizontalHeader()->setVisible(false);
    N_PPK->verticalHeader()->setVisible(false);
    N_PPK->verticalHeader()->setDefaultSectionSize(20);
    N_PPK->horizontalHeader()->setStretchLastSection(true);
    N_PPK->setEditTriggers(QAbstractItemView::NoEditTriggers);
    N_PPK->setSelectionBehavior(QAbstractItemView::SelectRows);
    N_PPK->setSelectionMode(QAbstractItemView::SingleSelection);
    N_PPK->setFixedWidth(200);
    N_PPK->setMinimumHeight(64);
    DBNavigator2 = new DbNavigator({DbNavigator::Prior, DbNavigator::Next}, host);
    DBNavigator2->setObjectName(QStringLiteral("DBNavigator2"));
    DBNavigator2->setFixedWidth(200);
    connect(DBNavigator2, &DbNavigator::clicked, this, [this](DbNavigator::Button b) {
        const int rows = typeGridModel_->rowCount();
        if (rows == 0)
            return;
        int r = N_PPK->currentIndex().isValid() ? N_PPK->currentIndex().row() : 0;
        r = b == DbNavigator::Prior ? qMax(0, r - 1) : qMin(rows - 1, r + 1);
        N_PPK->setCurrentIndex(typeGridModel_->index(r, 0));
    });
}

void PanelTableView::fillTypeList(CntTbl &types)
{
    types.first();
    if (TypePPK) {
        TypePPK->clear();
        // A drop-down of 0 lines cannot be opened; a table of one record still shows one.
        TypePPK->setMaxVisibleItems(qMax(1, types.recordCount() / 2));
        for (; !types.eof(); types.next())
            TypePPK->addItem(types.nameCentral(), types.typeId());
        TypePPK->setCurrentIndex(-1);
        types.first();
        return;
    }
    typeGridModel_->removeRows(0, typeGridModel_->rowCount());
    for (; !types.eof(); types.next()) {
        auto *item = new QStandardItem(types.nameCentral());
        item->setData(types.typeId(), Qt::UserRole);
        typeGridModel_->appendRow(item);
    }
    types.first();
    if (typeGridModel_->rowCount() > 0)
        N_PPK->setCurrentIndex(typeGridModel_->index(0, 0));
}

int PanelTableView::typeCount() const
{
    return TypePPK ? TypePPK->count() : typeGridModel_->rowCount();
}

QString PanelTableView::typeName(int index) const
{
    return TypePPK ? TypePPK->itemText(index) : typeGridModel_->index(index, 0).data().toString();
}

int PanelTableView::typeIdAt(int index) const
{
    return TypePPK ? TypePPK->itemData(index).toInt() : typeGridModel_->index(index, 0).data(Qt::UserRole).toInt();
}

int PanelTableView::currentRow() const
{
    const QModelIndex i = DBGrid1->currentIndex();
    return i.isValid() ? i.row() : -1;
}

void PanelTableView::setCurrentRow(int row)
{
    if (row < 0 || row >= model_->rowCount())
        return;
    DBGrid1->setCurrentIndex(model_->index(row, PanelTableModel::ColObj));
}

void PanelTableView::showRow(int row)
{
    const bool valid = row >= 0 && row < model_->rowCount();
    const PanelRecord empty;
    const PanelRecord &r = valid ? model_->row(row) : empty;
    ObjId->setText(r.obj);
    Accnt->setText(r.account);
    P1->setText(r.p1);
    P2->setText(r.p2);
    WaitTest->setText(valid ? QString::number(r.waitTest) : QString());
    if (!valid)
        return;
    if (TypePPK) {
        const int entry = TypePPK->findData(int(r.typeId));
        TypePPK->setCurrentIndex(entry);
    } else {
        for (int i = 0; i < typeGridModel_->rowCount(); ++i) {
            if (typeGridModel_->index(i, 0).data(Qt::UserRole).toInt() == r.typeId) {
                N_PPK->setCurrentIndex(typeGridModel_->index(i, 0));
                break;
            }
        }
    }
}

} // namespace talvir
