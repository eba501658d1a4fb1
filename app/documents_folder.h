#pragma once

#include "storage/file_locations.h"

#include <QString>

namespace app {

// The user's documents folder: the XDG documents folder when it exists, else the home
// folder (a data file in a folder that is not there could never be saved).
class DocumentsFolder : public IDocumentsFolderProvider {
public:
    std::string GetDocumentsFolder() const override;
};

// The choice itself: the documents folder when it names an existing folder, else home.
QString ChooseDocumentsFolder(const QString& documents, const QString& home);

// Makes DocumentsFolder the provider GetDocumentsFolder asks. Start-up calls it once,
// before the data file's path is first needed.
void InstallDocumentsFolder();

} // namespace app
