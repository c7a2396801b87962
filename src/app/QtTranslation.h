#pragma once
// Qt's own texts (the file dialogs' "Открыть", "Имя файла", "Отмена") in
// Russian, like the rest of the program.
namespace plendoro {

// Loads Qt's Russian translation into the application; false when it is not
// installed (Qt then speaks English and nothing else changes).
bool InstallQtTranslation();

} // namespace plendoro
