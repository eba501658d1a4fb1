#pragma once

#include "storage/file_locations.h"

#include <string>

// The user's documents folder found without any toolkit, the way the desktop's
// user-dirs settings name it: XDG_DOCUMENTS_DIR in $XDG_CONFIG_HOME/user-dirs.dirs
// ("$HOME/..." expanded), else $HOME/Documents; the home folder when that is not an
// existing folder. The same choice the window's documents folder makes.
class XdgDocumentsFolder : public IDocumentsFolderProvider {
public:
    std::string GetDocumentsFolder() const override;
};

// The choice from the environment's values and the user-dirs text (empty when there is
// no such file).
std::string ChooseXdgDocumentsFolder(const std::string& home, const std::string& userDirsText);
