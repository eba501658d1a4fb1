#include "app/version.h"

std::string FormatVersionText(const std::string& productVersion, unsigned build)
{
    if (build <= 1)
        return productVersion;
    return productVersion + " Build #" + std::to_string(build);
}

std::string VersionText()
{
    // The product version and the build number come from the build's project version.
    return FormatVersionText(TILLANE_VERSION_TEXT, TILLANE_BUILD_NUMBER & 0xFFFFu);
}
