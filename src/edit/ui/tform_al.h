// TForm_AL: the list of reserve notification servers ("Список IP-адресов резервных СИ"), one IPv4
// address text per row in the in-memory table TrListDB, with its navigator, the clear button and the
// row counter. The main window opens it modally from AddAltIPBtn.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace talvir {

class DbNavigator;
class PromptService;
struct Variant;

class TForm_AL : public QDialog {
    Q_OBJECT
public:
    TForm_AL(const Variant &variant, PromptService &prompts, QWidget *parent = nullptr);

    // Empties the list (start-up, and before it is made anew from stored addresses).
    void clearList();
    QStringList addressTexts() const;
    // The list made anew from stored addresses (a read or a load): one row per text, in order.
    void setAddressTexts(const QStringList &texts);
    int rowCount() const;

    QStandardItemModel *TrListDB = nullptr; // one column TrnIP
    QTableView *DBGrid1 = nullptr;
    DbNavigator *Nav = nullptr;
    QPushButton *Button1 = nullptr;
    QLabel *TrCnt = nullptr;

private:
    const Variant &variant_;
    PromptService &prompts_;
};

} // namespace talvir
