#include "app/documents_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace app {

QString ChooseDocumentsFolder(const QString& documents, const QString& home)
{
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return documents;
    return home;
}

std::string DocumentsFolder::GetDocumentsFolder() const
{
    const QString folder = ChooseDocumentsFolder(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                                                 QDir::homePath());
    // File names are the system's bytes, not necessarily the text Qt shows.
    return QFile::encodeName(folder).toStdString();
}

void InstallDocumentsFolder()
{
    static const DocumentsFolder provider;
    InstallDocumentsFolderProvider(provider);
}

} // namespace app
