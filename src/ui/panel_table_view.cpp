#include "panel_table_view.h"

#include "console/panel_type_table.h"
#include "core/variant.h"
#include "ui/dataset_navigator.h"
#include "ui/key_filter.h"
#include "ui/panel_table_model.h"

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

    panelGrid = new QTableView(this);
    panelGrid->setObjectName(QStringLiteral("panelGrid"));
    panelGrid->setModel(model_);
    panelGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    panelGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    panelGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    panelGrid->setAlternatingRowColors(true);
    panelGrid->verticalHeader()->setVisible(false);
    panelGrid->verticalHeader()->setDefaultSectionSize(22);
    panelGrid->horizontalHeader()->setHighlightSections(false);
    panelGrid->setColumnWidth(PanelTableModel::ColRecNmb, 44);
    panelGrid->setColumnWidth(PanelTableModel::ColObj, 64);
    panelGrid->setColumnWidth(PanelTableModel::ColAccount, 52);
    panelGrid->setColumnWidth(PanelTableModel::ColP1, 116);
    panelGrid->setColumnWidth(PanelTableModel::ColP2, 116);
    panelGrid->setColumnWidth(PanelTableModel::ColWaitTest, 50);
    panelGrid->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(panelGrid, 1);

    // The edit boxes of the current row and the type selector.
    auto *editors = new QWidget(this);
    auto *form = new QGridLayout(editors);
    form->setContentsMargins(0, 4, 0, 0);
    form->setHorizontalSpacing(8);
    form->setVerticalSpacing(4);

    objectEdit = makeEdit("objectEdit", 4, editors);
    accountEdit = makeEdit("accountEdit", 4, editors);
    phone1Edit = makeEdit("phone1Edit", 13, editors);
    phone2Edit = makeEdit("phone2Edit", 13, editors);
    testWaitEdit = makeEdit("testWaitEdit", 0, editors);
    testWaitEdit->setToolTip(QStringLiteral("Период ожидания теста  GSM-канала "));
    installKeyFilter(objectEdit, KeyFilter::hexDigits);
    installKeyFilter(accountEdit, KeyFilter::hexDigits);
    installKeyFilter(phone1Edit, KeyFilter::phoneDigits);
    installKeyFilter(phone2Edit, KeyFilter::phoneDigits);
    installKeyFilter(testWaitEdit, KeyFilter::digits);
    for (QLineEdit *e : {objectEdit, accountEdit, testWaitEdit})
        e->setMaximumWidth(90);
    for (QLineEdit *e : {phone1Edit, phone2Edit})
        e->setFixedWidth(160);

    form->addWidget(makeLabel(QStringLiteral("Номер объекта"), objectEdit, editors), 0, 0);
    form->addWidget(objectEdit, 0, 1);
    form->addWidget(makeLabel(QStringLiteral("Телефон 1"), phone1Edit, editors), 0, 2);
    form->addWidget(phone1Edit, 0, 3, Qt::AlignLeft);
    form->addWidget(makeLabel(QStringLiteral("Номер ППК"), accountEdit, editors), 1, 0);
    form->addWidget(accountEdit, 1, 1);
    form->addWidget(makeLabel(QStringLiteral("Телефон 2"), phone2Edit, editors), 1, 2);
    form->addWidget(phone2Edit, 1, 3, Qt::AlignLeft);
    form->addWidget(makeLabel(QStringLiteral("Тест, мин."), testWaitEdit, editors), 2, 0);
    form->addWidget(testWaitEdit, 2, 1);
    form->setColumnStretch(3, 1);
    form->setRowStretch(3, 1); // the boxes stay at the top beside the taller type grid

    if (variant_.hasTypeSelector) {
        panelTypeCombo = new QComboBox(editors);
        panelTypeCombo->setObjectName(QStringLiteral("panelTypeCombo"));
        panelTypeCombo->setEnabled(false); // locked until an insertion or an edit begins
        panelTypeCombo->setMinimumContentsLength(20);
        panelTypeCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        form->addWidget(makeLabel(QStringLiteral("Тип ППК"), panelTypeCombo, editors), 2, 2);
        form->addWidget(panelTypeCombo, 2, 3);
        layout->addWidget(editors);
    } else {
        auto *bottom = new QHBoxLayout;
        bottom->addWidget(editors, 1);
        buildTypeGrid(this);
        auto *typeColumn = new QVBoxLayout;
        typeColumn->setSpacing(2);
        typeColumn->addWidget(panelTypeGrid, 1);
        typeColumn->addWidget(typeNavigator);
        bottom->addLayout(typeColumn);
        layout->addLayout(bottom);
    }

    auto *navRow = new QHBoxLayout;
    panelNavigator = new DatasetNavigator(DatasetNavigator::allButtons(), this);
    panelNavigator->setObjectName(QStringLiteral("panelNavigator"));
    panelNavigator->setMaximumWidth(360);
    panelCountLabel = new QLabel(this);
    panelCountLabel->setObjectName(QStringLiteral("panelCountLabel"));
    panelCountLabel->setMinimumWidth(180);
    navRow->addWidget(panelNavigator, 1);
    navRow->addSpacing(12);
    navRow->addWidget(panelCountLabel);
    navRow->addStretch();
    layout->addLayout(navRow);

    connect(panelGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { showRow(current.isValid() ? current.row() : -1); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { showRow(currentRow()); });
}

void PanelTableView::buildTypeGrid(QWidget *host)
{
    typeGridModel_ = new QStandardItemModel(0, 1, host);
    panelTypeGrid = new QTableView(host);
    panelTypeGrid->setObjectName(QStringLiteral("panelTypeGrid"));
    panelTypeGrid->setToolTip(QStringLiteral("Выбор типа ППК"));
    panelTypeGrid->setModel(typeGridModel_);
    panelTypeGrid->horizontalHeader()->setVisible(false);
    panelTypeGrid->verticalHeader()->setVisible(false);
    panelTypeGrid->verticalHeader()->setDefaultSectionSize(20);
    panelTypeGrid->horizontalHeader()->setStretchLastSection(true);
    panelTypeGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    panelTypeGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    panelTypeGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    panelTypeGrid->setFixedWidth(200);
    panelTypeGrid->setMinimumHeight(64);
    typeNavigator = new DatasetNavigator({DatasetNavigator::Prior, DatasetNavigator::Next}, host);
    typeNavigator->setObjectName(QStringLiteral("typeNavigator"));
    typeNavigator->setFixedWidth(200);
    connect(typeNavigator, &DatasetNavigator::clicked, this, [this](DatasetNavigator::Button b) {
        const int rows = typeGridModel_->rowCount();
        if (rows == 0)
            return;
        int r = panelTypeGrid->currentIndex().isValid() ? panelTypeGrid->currentIndex().row() : 0;
        r = b == DatasetNavigator::Prior ? qMax(0, r - 1) : qMin(rows - 1, r + 1);
        panelTypeGrid->setCurrentIndex(typeGridModel_->index(r, 0));
    });
}

void PanelTableView::fillTypeList(PanelTypeTable &types)
{
    types.first();
    if (panelTypeCombo) {
        panelTypeCombo->clear();
        // A drop-down of 0 lines cannot be opened; a table of one record still shows one.
        panelTypeCombo->setMaxVisibleItems(qMax(1, types.recordCount() / 2));
        for (; !types.eof(); types.next())
            panelTypeCombo->addItem(types.nameCentral(), types.typeId());
        panelTypeCombo->setCurrentIndex(-1);
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
        panelTypeGrid->setCurrentIndex(typeGridModel_->index(0, 0));
}

int PanelTableView::typeCount() const
{
    return panelTypeCombo ? panelTypeCombo->count() : typeGridModel_->rowCount();
}

QString PanelTableView::typeName(int index) const
{
    return panelTypeCombo ? panelTypeCombo->itemText(index) : typeGridModel_->index(index, 0).data().toString();
}

int PanelTableView::typeIdAt(int index) const
{
    return panelTypeCombo ? panelTypeCombo->itemData(index).toInt() : typeGridModel_->index(index, 0).data(Qt::UserRole).toInt();
}

int PanelTableView::currentRow() const
{
    const QModelIndex i = panelGrid->currentIndex();
    return i.isValid() ? i.row() : -1;
}

void PanelTableView::setCurrentRow(int row)
{
    if (row < 0 || row >= model_->rowCount())
        return;
    panelGrid->setCurrentIndex(model_->index(row, PanelTableModel::ColObj));
}

void PanelTableView::showRow(int row)
{
    const bool valid = row >= 0 && row < model_->rowCount();
    const PanelRecord empty;
    const PanelRecord &r = valid ? model_->row(row) : empty;
    objectEdit->setText(r.obj);
    accountEdit->setText(r.account);
    phone1Edit->setText(r.p1);
    phone2Edit->setText(r.p2);
    testWaitEdit->setText(valid ? QString::number(r.waitTest) : QString());
    if (!valid)
        return;
    if (panelTypeCombo) {
        const int entry = panelTypeCombo->findData(int(r.typeId));
        panelTypeCombo->setCurrentIndex(entry);
    } else {
        for (int i = 0; i < typeGridModel_->rowCount(); ++i) {
            if (typeGridModel_->index(i, 0).data(Qt::UserRole).toInt() == r.typeId) {
                panelTypeGrid->setCurrentIndex(typeGridModel_->index(i, 0));
                break;
            }
        }
    }
}

} // namespace talvir
