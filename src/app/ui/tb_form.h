// TB_Form: the start-up choice between console mode (the console's own software) and standalone
// mode. Clicking an item closes the window with the item's index + 1; closing it without a choice
// gives 0, which means standalone mode.
#pragma once

#include <QDialog>

namespace talvir {

class RadioGroup;
struct Variant;

class TB_Form : public QDialog {
    Q_OBJECT
public:
    explicit TB_Form(const Variant &variant, QWidget *parent = nullptr);

    RadioGroup *RadioGroup1 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void RadioGroup1Click(int index);

    const Variant &variant_;
};

} // namespace talvir
