// StartupDialog: the start-up choice between console mode (the console's own software) and standalone
// mode. Clicking an item closes the window with the item's index + 1; closing it without a choice
// gives 0, which means standalone mode.
#pragma once

#include <QDialog>

namespace talvir {

class RadioGroup;
struct Variant;

class StartupDialog : public QDialog {
    Q_OBJECT
public:
    explicit StartupDialog(const Variant &variant, QWidget *parent = nullptr);

    RadioGroup *choiceGroup = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void choose(int index);

    const Variant &variant_;
};

} // namespace talvir
