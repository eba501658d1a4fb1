#pragma once

#include <string>
#include <string_view>

// Where the data file lives: "default.Tillane" directly in the user's documents folder,
// unless the command line named another file for this run.

// Finds the user's documents folder. The platform layer supplies the program's one
// (see app/documents_folder.h).
class IDocumentsFolderProvider {
public:
    virtual std::string GetDocumentsFolder() const = 0;

protected:
    ~IDocumentsFolderProvider() = default;
};

// Installed once at start-up, before the first GetDocumentsFolder; a second install is
// ignored.
void InstallDocumentsFolderProvider(const IDocumentsFolderProvider& provider);

// The documents folder, asked of the provider on the first call and kept for the whole
// run. Throws std::logic_error when no provider has been installed.
const std::string& GetDocumentsFolder();

// The data file's path inside a folder: the folder with every trailing '/' and ' '
// removed, one '/', then "default.Tillane".
std::string MakeDataFilePath(std::string_view folder);

// Replaces the data file's path for the whole run (the command line's --file). Only the
// first call counts; it returns false for any later one, which changes nothing.
bool SetDataFilePathOverride(std::string path);

// The path given to SetDataFilePathOverride, or else MakeDataFilePath of the documents
// folder. Rebuilt on every call.
std::string GetDataFilePath();
