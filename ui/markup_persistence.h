#pragma once

// How a page writes its part of the data file (the data file is read by storage/data_file.h).

class CXmlDocument;

namespace app {

class IMarkupPersistence {
public:
    // Adds the page's element below the document's current element.
    virtual void Save(CXmlDocument& document) = 0;

protected:
    ~IMarkupPersistence() = default;
};

} // namespace app
