#pragma once

#include <string>

// The version text: the product version alone up to build 1, else "<version> Build #<n>".
std::string FormatVersionText(const std::string& productVersion, unsigned build);
// The program's own version text.
std::string VersionText();
