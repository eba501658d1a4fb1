#pragma once

// A profile store in memory that records every write, for the list and page tests.

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "storage/config_data_manager.h"

class FakeConfig : public IConfigDataManager {
public:
    void WriteInt(const std::string& section, const std::string& key, int value) override
    {
        ints[{section, key}] = value;
        writes.push_back(section + "/" + key + "=" + std::to_string(value));
    }
    void WriteString(const std::string& section, const std::string& key, const std::string& value) override
    {
        strings[{section, key}] = value;
        writes.push_back(section + "/" + key + "=" + value);
    }
    int ReadInt(const std::string& section, const std::string& key, int defaultValue) override
    {
        const auto found = ints.find({section, key});
        return found == ints.end() ? defaultValue : found->second;
    }
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) override
    {
        const auto found = strings.find({section, key});
        return found == strings.end() ? defaultValue : found->second;
    }

    std::map<std::pair<std::string, std::string>, int> ints;
    std::map<std::pair<std::string, std::string>, std::string> strings;
    std::vector<std::string> writes;
};
