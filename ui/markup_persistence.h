#pragma once

// How a page writes its part of the data file and reads it back.

class CXmlDocument;

namespace app {

class IMarkupPersistence {
public:
    // Adds the page's element below the document's current element.
    virtual void Save(CXmlDocument& document) = 0;
    // Reads the page's element from the document.
    virtual void Load(CXmlDocument& document) = 0;

protected:
    ~IMarkupPersistence() = default;
};

} // namespace app
