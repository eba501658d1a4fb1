#pragma once

#include <cstdint>
#include <string>

// The record each row of the accounts list carries as its item data, for the column
// sort only; every other use of an account reads the row's texts.
struct AccountData {
    std::string description;
    std::int32_t balance = 0;
};
