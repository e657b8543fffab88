// The navigator's commands on a dataset, as a data grid runs them.
#pragma once

namespace talvir {

class Dataset;
class PromptService;

// The navigator's commands, in the order of its buttons.
enum class DatasetCommand { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel };

// Runs a command: a move stores a pending row through the checks first; Delete asks "Delete record?"
// and does nothing in an empty table.
void runDatasetCommand(Dataset &data, DatasetCommand command, PromptService &prompts);

} // namespace talvir
