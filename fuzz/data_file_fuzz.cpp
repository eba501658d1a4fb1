// Feeds arbitrary bytes to the data file's reader as if they were a file on disk: line
// ends are dropped the text-mode way, then the document is read into accounts and
// transactions with their rules, and compared with what a save would write. Whatever was
// read must survive a save and a re-read with its descriptions, amounts, counts and dates
// unchanged, and the saved file, read back from the disk, must differ in nothing from what
// a save of it would write.
#include "storage/data_file.h"
#include "storage/text_file.h"

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("TZ", "EST5EDT,M3.2.0,M11.1.0", 1);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const TimeValue today = MakeDate(2010, 6, 15);
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const DataFile::LoadResult first = DataFile::ParseDocument(TextFile::JoinLines(bytes), today);
    if (first.status != DataFile::Status::Loaded)
        return 0;

    const std::string saved = DataFile::WriteDocument(first.contents, today);
    const DataFile::LoadResult second = DataFile::ParseDocument(saved, today);
    if (second.status != DataFile::Status::Loaded)
        std::abort();
    const DataFile::LoadResult reread = DataFile::ParseDocument(TextFile::JoinLines(TextFile::ToTextMode(saved)), today);
    if (reread.status != DataFile::Status::Loaded || reread.differences != 0 || !reread.notes.empty())
        std::abort();
    if (second.contents.accounts.size() != first.contents.accounts.size()
        || second.contents.transactions.size() != first.contents.transactions.size())
        std::abort();
    for (std::size_t i = 0; i < first.contents.accounts.size(); ++i) {
        if (second.contents.accounts[i].description != first.contents.accounts[i].description
            || second.contents.accounts[i].balance != first.contents.accounts[i].balance)
            std::abort();
    }
    // Dates too: the start date and every transaction's day come back as they were read.
    if (second.contents.startDate != first.contents.startDate.value_or(today))
        std::abort();
    for (std::size_t i = 0; i < first.contents.transactions.size(); ++i) {
        if (second.contents.transactions[i].date != first.contents.transactions[i].date)
            std::abort();
        const DataFile::Transaction& before = first.contents.transactions[i];
        const DataFile::Transaction& after = second.contents.transactions[i];
        if (!before.rule || !after.rule || after.description != before.description || after.amount != before.amount
            || after.rule->GetType() != before.rule->GetType() || after.rule->count != before.rule->count)
            std::abort();
    }
    return 0;
}
