#pragma once

// Data files the program cannot load, each kept aside rather than written over.

#include <string>

namespace testing_support {

struct FileNotUnderstood {
    const char* name;
    std::string bytes;
};

inline const FileNotUnderstood kNotUnderstood[] = {
    {"cut short", "<TILLANE Format=\"1\">\r\r\n<ACCOUNTS>\r\r\n<ACCOUNT Balance=\"7\">Che"},
    {"not markup", "Checking,120\nSavings,300\n"},
    {"another program's document", "<?xml version=\"1.0\"?>\n<html><body>Checking 120</body></html>\n"},
    {"a format of another version", "<TILLANE Format=\"2\">\r\r\n</TILLANE>\r\r\n"},
};

} // namespace testing_support
