#include "panel_table_view.h"

#include "console/panel_type_table.h"
#include "core/variant.h"
#include "tables/panel_editing.h"
#include "tables/panel_table.h"
#include "ui/dataset_navigator.h"
#include "ui/grid_follower.h"
#include "ui/key_filter.h"
#include "ui/text_fit.h"
#include "ui/accessible_names.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace talvir {

static_assert(int(DatasetCommand::First) == DatasetNavigator::First && int(DatasetCommand::Cancel) == DatasetNavigator::Cancel,
              "the navigator's buttons are the table's commands, in one order");

namespace {

QLineEdit *makeEdit(const char *name, int maxLength, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setMaxLength(maxLength);
    return e;
}

QLabel *makeLabel(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

QTableView *makeGrid(const char *name, QWidget *parent)
{
    auto *grid = new QTableView(parent);
    grid->setObjectName(QLatin1String(name));
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->verticalHeader()->setVisible(false);
    // Read-only with whole-row selection: Tab and Shift+Tab go to the next control, not the next cell.
    grid->setTabKeyNavigation(false);
    return grid;
}

} // namespace

PanelTableView::PanelTableView(const Variant &variant, PanelEditing &editing, QWidget *parent)
    : QWidget(parent), variant_(variant), editing_(editing), table_(editing.table())
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    panelGrid = makeGrid("panelGrid", this);
    panelGrid->setModel(table_);
    panelGrid->setAccessibleName(QStringLiteral("Список ППК"));
    panelGrid->setAlternatingRowColors(true);
    panelGrid->verticalHeader()->setDefaultSectionSize(22);
    panelGrid->horizontalHeader()->setHighlightSections(false);
    const int widths[PanelTable::kGridColumns] = {44, 64, 52, 116, 116, 50, 0};
    for (int c = 0; c < PanelTable::kGridColumns - 1; ++c)
        panelGrid->setColumnWidth(c, widths[c]);
    for (int c = PanelTable::kGridColumns; c < PanelTable::FieldCount; ++c)
        panelGrid->setColumnHidden(c, true);
    panelGrid->horizontalHeader()->setStretchLastSection(false);
    panelGrid->horizontalHeader()->setSectionResizeMode(PanelTable::NPpk, QHeaderView::Stretch);
    panelGrid->installEventFilter(this);
    layout->addWidget(panelGrid, 1);

    QWidget *editors = buildEditors();
    if (panelTypeCombo) {
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
    connect(panelNavigator, &DatasetNavigator::clicked, this,
            [this](DatasetNavigator::Button b) { editing_.run(DatasetCommand(b)); });

    bindEditors();
    bindEditing();
    nameBoxesByTheirLabels(this);
}

QWidget *PanelTableView::buildEditors()
{
    auto *editors = new QWidget(this);
    auto *form = new QGridLayout(editors);
    form->setContentsMargins(0, 4, 0, 0);
    form->setHorizontalSpacing(8);
    form->setVerticalSpacing(4);

    objectEdit = makeEdit("objectEdit", 4, editors);
    accountEdit = makeEdit("accountEdit", 4, editors);
    phone1Edit = makeEdit("phone1Edit", 13, editors);
    phone2Edit = makeEdit("phone2Edit", 13, editors);
    // Minutes; the transceiver keeps seconds in 32 bits, so nine digits are more than enough.
    testWaitEdit = makeEdit("testWaitEdit", 9, editors);
    testWaitEdit->setToolTip(QStringLiteral("Период ожидания теста  GSM-канала "));
    installKeyFilter(objectEdit, KeyFilter::hexDigits);
    installKeyFilter(accountEdit, KeyFilter::hexDigits);
    installKeyFilter(phone1Edit, KeyFilter::phoneDigits);
    installKeyFilter(phone2Edit, KeyFilter::phoneDigits);
    installKeyFilter(testWaitEdit, KeyFilter::digits);
    // Enter posts the row through the check, Escape cancels it, as in the grids of Windows programs.
    for (QLineEdit *e : {objectEdit, accountEdit, phone1Edit, phone2Edit, testWaitEdit})
        e->installEventFilter(this);
    for (QLineEdit *e : {objectEdit, accountEdit, testWaitEdit})
        e->setMaximumWidth(90);
    keepTextsWhole(objectEdit, fourCharSamples());
    keepTextsWhole(accountEdit, fourCharSamples());
    keepTextsWhole(testWaitEdit, fourCharSamples());
    for (QLineEdit *e : {phone1Edit, phone2Edit}) {
        keepTextsWhole(e, phoneSamples());
        e->setMaximumWidth(160);
    }

    form->addWidget(makeLabel(QStringLiteral("Номер объекта"), objectEdit, editors), 0, 0);
    form->addWidget(objectEdit, 0, 1);
    form->addWidget(makeLabel(QStringLiteral("Телефон 1"), phone1Edit, editors), 0, 2);
    form->addWidget(phone1Edit, 0, 3);
    form->addWidget(makeLabel(QStringLiteral("Номер ППК"), accountEdit, editors), 1, 0);
    form->addWidget(accountEdit, 1, 1);
    form->addWidget(makeLabel(QStringLiteral("Телефон 2"), phone2Edit, editors), 1, 2);
    form->addWidget(phone2Edit, 1, 3);
    form->addWidget(makeLabel(QStringLiteral("Тест, мин."), testWaitEdit, editors), 2, 0);
    form->addWidget(testWaitEdit, 2, 1);
    form->setColumnStretch(4, 1); // the boxes keep their widths; the room left stays empty
    form->setRowStretch(3, 1); // the boxes stay at the top beside the taller type grid

    if (variant_.hasTypeSelector) {
        panelTypeCombo = new QComboBox(editors);
        panelTypeCombo->setObjectName(QStringLiteral("panelTypeCombo"));
        panelTypeCombo->setEnabled(false); // locked until an insertion or an edit begins
        panelTypeCombo->setMinimumContentsLength(20);
        panelTypeCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        form->addWidget(makeLabel(QStringLiteral("Тип ППК"), panelTypeCombo, editors), 2, 2);
        form->addWidget(panelTypeCombo, 2, 3);
        // A choice, by the list or by the keyboard, copies the type; closing the list without a
        // choice leaves the row as it is.
        connect(panelTypeCombo, &QComboBox::activated, this, [this](int index) {
            if (index >= 0)
                editing_.chooseType(types_.at(index));
        });
    }
    return editors;
}

void PanelTableView::buildTypeGrid(QWidget *host)
{
    typeGridModel_ = new QStandardItemModel(0, 1, host);
    panelTypeGrid = makeGrid("panelTypeGrid", host);
    panelTypeGrid->setToolTip(QStringLiteral("Выбор типа ППК"));
    panelTypeGrid->setAccessibleName(QStringLiteral("Выбор типа ППК"));
    panelTypeGrid->setModel(typeGridModel_);
    panelTypeGrid->horizontalHeader()->setVisible(false);
    panelTypeGrid->verticalHeader()->setDefaultSectionSize(20);
    panelTypeGrid->horizontalHeader()->setStretchLastSection(true);
    panelTypeGrid->setFixedWidth(180);
    panelTypeGrid->setMinimumHeight(64);
    typeNavigator = new DatasetNavigator({DatasetNavigator::Prior, DatasetNavigator::Next}, host);
    typeNavigator->setObjectName(QStringLiteral("typeNavigator"));
    typeNavigator->setFixedWidth(180);
    connect(typeNavigator, &DatasetNavigator::clicked, this, [this](DatasetNavigator::Button b) {
        const int rows = typeGridModel_->rowCount();
        if (rows == 0)
            return;
        const int r = qMax(0, currentTypeIndex());
        const int to = b == DatasetNavigator::Prior ? qMax(0, r - 1) : qMin(rows - 1, r + 1);
        panelTypeGrid->setCurrentIndex(typeGridModel_->index(to, 0));
    });
}

void PanelTableView::bindEditors()
{
    const std::pair<QLineEdit *, int> boxes[] = {{objectEdit, PanelTable::Obj},
                                                 {accountEdit, PanelTable::Account},
                                                 {phone1Edit, PanelTable::P1},
                                                 {phone2Edit, PanelTable::P2},
                                                 {testWaitEdit, PanelTable::WaitTest}};
    for (const auto &[box, field] : boxes) {
        connect(box, &QLineEdit::textEdited, this, [this, field = field](const QString &text) {
            fromBox_ = true;
            // Typing into an empty table opens a new row, as typing into a row opens it for change.
            if (table_->currentRow() < 0)
                table_->insert();
            const QVariant value = field != PanelTable::WaitTest ? QVariant(text)
                                   : text.isEmpty()              ? QVariant()
                                                                 : QVariant(text.toInt());
            table_->setFieldValue(field, value);
            fromBox_ = false;
        });
    }
    connect(table_, &Dataset::stateChanged, this, [this](Dataset::State state) {
        if (state != Dataset::State::Browse)
            setTypeSelectorLocked(false);
        else
            showCurrentRow(); // a cancelled change shows the stored values again
    });
    connect(table_, &QAbstractItemModel::modelReset, this, [this] { showCurrentRow(); });
    connect(table_, &QAbstractItemModel::layoutChanged, this, [this] { showCurrentRow(); });
    connect(table_, &Dataset::currentRowChanged, this, [this] { showCurrentRow(); });
    connect(table_, &QAbstractItemModel::dataChanged, this, [this] {
        if (!fromBox_)
            showCurrentRow();
    });
    // A row clicked while one is pending: the pending row is stored (and sorted) first; the move goes
    // to the row that was clicked, wherever the sort put it.
    gridFollower_ = new GridFollower(panelGrid, *table_, PanelTable::Obj, [this](int row) {
        if (table_->isEditing()) {
            const PanelRecord target = table_->row(row);
            if (!table_->checkBrowseMode())
                return;
            row = int(table_->rows().indexOf(target));
        }
        if (row >= 0)
            table_->moveTo(row);
    });
}

void PanelTableView::bindEditing()
{
    connect(&editing_, &PanelEditing::countText, panelCountLabel, &QLabel::setText);
    connect(&editing_, &PanelEditing::typeSelectorLocked, this, &PanelTableView::setTypeSelectorLocked);
    connect(&editing_, &PanelEditing::rowTypeShown, this, &PanelTableView::showRowType);
    connect(&editing_, &PanelEditing::typeListMoved, this, &PanelTableView::moveTypeListTo);
    connect(&editing_, &PanelEditing::focusRequested, this, [this](int field) {
        (field == PanelTable::Account ? accountEdit : objectEdit)->setFocus(Qt::OtherFocusReason);
    });
    if (!panelTypeCombo) {
        // MXR_duziv: a stored row takes the type the type grid shows at that moment.
        editing_.setTypeSource([this]() -> std::optional<PanelEditing::TypeChoice> {
            const int t = currentTypeIndex();
            return t < 0 ? std::nullopt : std::optional(types_.at(t));
        });
    }
}

void PanelTableView::fillTypeList(PanelTypeTable &types)
{
    types_.clear();
    for (types.first(); !types.eof(); types.next())
        types_.append({types.typeId(), types.nameCentral()});
    types.first();
    if (panelTypeCombo) {
        panelTypeCombo->clear();
        // A drop-down of 0 lines cannot be opened; a table of one record still shows one.
        panelTypeCombo->setMaxVisibleItems(qMax(1, int(types_.size()) / 2));
        for (const PanelEditing::TypeChoice &type : std::as_const(types_))
            panelTypeCombo->addItem(type.name, type.typeId);
        panelTypeCombo->setCurrentIndex(-1);
        return;
    }
    typeGridModel_->removeRows(0, typeGridModel_->rowCount());
    for (const PanelEditing::TypeChoice &type : std::as_const(types_))
        typeGridModel_->appendRow(new QStandardItem(type.name));
    if (!types_.isEmpty())
        panelTypeGrid->setCurrentIndex(typeGridModel_->index(0, 0));
}

int PanelTableView::typeIndexOf(int typeId) const
{
    for (int i = 0; i < types_.size(); ++i)
        if (types_.at(i).typeId == typeId)
            return i;
    return -1;
}

int PanelTableView::currentTypeIndex() const
{
    const QModelIndex i = panelTypeGrid->currentIndex();
    return i.isValid() ? i.row() : -1;
}

int PanelTableView::currentRow() const
{
    return table_->currentRow();
}

void PanelTableView::showRowType(int typeId)
{
    if (panelTypeCombo)
        panelTypeCombo->setCurrentIndex(typeIndexOf(typeId)); // -1: empty text
    else
        moveTypeListTo(typeId);
}

void PanelTableView::moveTypeListTo(int typeId)
{
    const int at = typeIndexOf(typeId);
    if (typeGridModel_ && at >= 0)
        panelTypeGrid->setCurrentIndex(typeGridModel_->index(at, 0));
}

void PanelTableView::setTypeSelectorLocked(bool locked)
{
    if (panelTypeCombo)
        panelTypeCombo->setEnabled(!locked);
}

// Boxes and grid following the table

void PanelTableView::showCurrentRow()
{
    if (fromBox_)
        return;
    const int r = table_->currentRow();
    const bool valid = r >= 0;
    const PanelRecord row = valid ? table_->row(r) : PanelRecord();
    objectEdit->setText(row.obj);
    accountEdit->setText(row.account);
    phone1Edit->setText(row.phone1);
    phone2Edit->setText(row.phone2);
    const QVariant wait = valid ? table_->fieldValue(PanelTable::WaitTest) : QVariant();
    testWaitEdit->setText(wait.isNull() ? QString() : QString::number(wait.toInt()));
}

// Keys

bool PanelTableView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers held = key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier |
                                                               Qt::AltModifier | Qt::MetaModifier);
        const int k = key->key();
        int button = -1;
        if (watched == panelGrid) {
            // Insert starts a row, Ctrl+Delete deletes the current one with the navigator's question.
            if (k == Qt::Key_Insert && held == Qt::NoModifier)
                button = DatasetNavigator::Insert;
            else if (k == Qt::Key_Delete && held == Qt::ControlModifier)
                button = DatasetNavigator::Delete;
        } else if (held == Qt::NoModifier && (k == Qt::Key_Return || k == Qt::Key_Enter)) {
            button = DatasetNavigator::Post;
        } else if (held == Qt::NoModifier && k == Qt::Key_Escape) {
            button = DatasetNavigator::Cancel;
        }
        if (button >= 0) {
            editing_.run(DatasetCommand(button));
            return true;
        }
    }
    if (watched == panelGrid && event->type() == QEvent::FocusIn && panelGrid->currentIndex().isValid())
        panelGrid->scrollTo(panelGrid->currentIndex()); // the current row stays in view while the grid has focus
    if (watched == panelGrid && event->type() == QEvent::KeyRelease) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers held = key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier |
                                                               Qt::AltModifier | Qt::MetaModifier);
        if (key->key() == Qt::Key_D && held == (Qt::ControlModifier | Qt::ShiftModifier) && !key->isAutoRepeat())
            editing_.askToEmptyTable();
    }
    return QWidget::eventFilter(watched, event);
}

void PanelTableView::lockNavigator(bool locked) { panelNavigator->setEnabled(!locked); }

void PanelTableView::showImported(const QList<PanelRecord> &rows)
{
    // The grid's repaints wait while the table takes the rows.
    panelGrid->setUpdatesEnabled(false);
    editing_.takeImported(rows);
    panelGrid->setUpdatesEnabled(true);
}

void PanelTableView::showFilledTable()
{
    editing_.showFilledTable();
    showCurrentRow();
    editing_.showRowType();
    gridFollower_->sync();
}

} // namespace talvir
