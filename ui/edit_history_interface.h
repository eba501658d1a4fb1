#pragma once

// The interface through which the lists and the pages ask for the user's changes; the
// edit history (edit_history.h) implements it. The lists include this header only, so
// they do not depend on the history that depends on them.

#include "model/dates.h"

#include <cstdint>
#include <memory>
#include <string>

class CDateRepeater;
struct TransactionData;

// What the pages and the main window call to change the data. A list without one (a list
// tested on its own) makes its changes itself.
class IEditHistory {
public:
    virtual void AddAccount(const std::string& description, std::int32_t balance) = 0;
    virtual void UpdateAccount(int row, const std::string& description, std::int32_t balance) = 0;
    virtual void DeleteAccount(int row) = 0;
    virtual void AddTransaction(TimeValue date, const std::string& description, std::int32_t amount,
                                std::unique_ptr<CDateRepeater> rule) = 0;
    virtual void UpdateTransaction(int row, TimeValue date, const std::string& description, std::int32_t amount,
                                   std::unique_ptr<CDateRepeater> rule) = 0;
    virtual void DeleteTransaction(int row) = 0;
    // The same with whole records: every value the record carries is added or kept.
    virtual void AddTransaction(std::unique_ptr<TransactionData> record) = 0;
    virtual void UpdateTransaction(int row, std::unique_ptr<TransactionData> record) = 0;
    // A series cut in two, as one change: the record at row replaced by first (the
    // payments before the cut), and later (those from it on) added.
    virtual void SplitTransaction(int row, std::unique_ptr<TransactionData> first,
                                  std::unique_ptr<TransactionData> later) = 0;
    // A date picked in the Starting Date dialog.
    virtual void SetStartDate(TimeValue date) = 0;
    // "<<" (-1) and ">>" (+1): presses in quick succession make one step.
    virtual void MoveStartDate(int days) = 0;
    // A click of the Duration spin; clicks in quick succession make one step.
    virtual void SetDuration(unsigned months) = 0;

protected:
    ~IEditHistory() = default;
};
