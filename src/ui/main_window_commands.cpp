// The main window's import commands (the links are in main_window_link.cpp, the write and read in
// main_window_write.cpp, saving and loading files in main_window_files.cpp). Each runs under the general
// error report, so a conversion error or another failure of the command is shown to the technician
// and the command stops there.
#include "main_window.h"

#include "tables/panel_editing.h"

#include "core/int_text.h"
#include "files/panel_append.h"
#include "workspace/workspace.h"
#include "tables/panel_table.h"
#include "ui/dataset_navigator.h"
#include "ui/object_list_dialog.h"
#include "ui/panel_table_view.h"
#include "core/prompts.h"
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
    whenIdle([&] {
        if (prompts_.message(PanelAppend::questionBox()) != MessageAnswer::Yes)
            return;
        const std::optional<QString> path = askConfigFileToOpen();
        if (!path)
            return;
        // A row being typed is stored first. One the row check refuses has had its message and is
        // left out: the append goes on without it, as the console import's does. The file is decoded
        // whole before the table changes.
        workspace_->editing().settle();
        panelView_->lockNavigator(true);
        const PanelAppend found = workspace_->appendFromFile(*path);
        if (!found.ok()) {
            panelView_->lockNavigator(false);
            prompts_.message(found.failureBox());
            return;
        }
        if (found.leftOut > 0)
            prompts_.message(found.limitBox());
        panelView_->showFilledTable();
        panelView_->lockNavigator(false);
    });
}

void MainWindow::addFromConsole()
{
    guarded([&] { openObjectList(int(ObjectListDialog::Mode::Add)); });
}

void MainWindow::openObjectList(int mode)
{
    const QString number = settings_->factoryNumber();
    if (number.isEmpty()) {
        prompts_.message(QStringLiteral("Загрузка списка объектов"), QStringLiteral("Необходимо определить заводской номер!"),
                         MessageIcon::Error, MessageButtons::Ok, MessageAnswer::None, true);
        return;
    }
    QString error;
    const std::optional<qint32> factoryNumber = strToInt(number, &error);
    if (!factoryNumber)
        reportConversionError(error);
    else if (objectList_)
        objectList_->openList(ObjectListDialog::Mode(mode), *factoryNumber);
}

void MainWindow::runObjectImport()
{
    // A row the navigator's Insert left open is settled through the check first, as a write does.
    workspace_->editing().settleChecked();
    const ObjectListDialog::Import import = objectList_->importInto(workspace_->panels().rows());
    panelView_->showImported(import.rows);
    if (import.complete)
        objectList_->close();
}

void MainWindow::editReserveServers()
{
    guarded([&] {
        // The list is saved into the stored addresses only when the technician agrees (or empties
        // them with the clear button).
        if (reserveList_)
            reserveList_->exec();
    });
}

} // namespace talvir
