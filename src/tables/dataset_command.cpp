#include "dataset_command.h"

#include "core/prompts.h"
#include "tables/dataset.h"

namespace talvir {

void runDatasetCommand(Dataset &data, DatasetCommand command, PromptService &prompts)
{
    switch (command) {
    case DatasetCommand::First: data.first(); break;
    case DatasetCommand::Prior: data.prior(); break;
    case DatasetCommand::Next: data.next(); break;
    case DatasetCommand::Last: data.last(); break;
    case DatasetCommand::Insert: data.insert(); break;
    case DatasetCommand::Delete:
        if (data.rowCount() > 0 &&
            prompts.message(QStringLiteral("Confirm"), QStringLiteral("Delete record?"), MessageIcon::Question,
                            MessageButtons::OkCancel) == MessageAnswer::Ok)
            data.remove();
        break;
    case DatasetCommand::Edit: data.edit(); break;
    case DatasetCommand::Post: data.post(); break;
    case DatasetCommand::Cancel: data.cancel(); break;
    }
}

} // namespace talvir
