// The prompt service on real Qt dialogs. The only place in the program that shows a QMessageBox.
#pragma once

#include "core/prompts.h"

#include <QPointer>
#include <QWidget>

namespace talvir {

class QtPrompts : public PromptService {
public:
    // Dialogs are centred on the parent when one is given (it may be set later).
    explicit QtPrompts(QWidget *parent = nullptr) : parent_(parent) {}
    void setParent(QWidget *parent) { parent_ = parent; }

    using PromptService::message;
    MessageAnswer message(const UserMessage &request) override;
    std::optional<QString> inputBox(const QString &caption, const QString &prompt,
                                    const QString &initialText) override;
    std::optional<QString> openFile(const FileRequest &request) override;
    std::optional<QString> saveFile(const FileRequest &request) override;
    std::optional<QString> pickSerialPort(const QString &title) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace talvir
