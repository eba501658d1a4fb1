#pragma once

// The program's resource data, as tables. Reached through the lookups of
// ui/platform/resources.h (FindDialogTemplate, LoadString, ...), not directly.

#include <map>
#include <string>
#include <vector>

#include "ui/platform/resources.h"

namespace res {

const std::vector<win::DialogTemplate>& DialogTemplates();
const std::vector<win::MenuTemplate>& MenuTemplates();
const std::vector<win::AcceleratorTable>& AcceleratorTables();
const std::map<int, std::string>& StringTable();

} // namespace res
