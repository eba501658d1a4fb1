#include "model/cash_flow_projection.h"
#include "model/date_repeater.h"
#include "model/decimal.h"
#include "model/transaction_data.h"

#include "support/tz_guard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using testing_support::kEastern;
using testing_support::TzGuard;

// The projection done literally, one text row at a time: binary search over the date
// texts, balances recomputed from the texts, nothing cached. The fast projection must
// give exactly the same rows.
class LiteralCashflow : public ICashflowListCtrl {
public:
    struct TextRow {
        std::string date, description, amount, balance;
        TransactionData* record = nullptr;
    };

    LiteralCashflow(IAccountsListCtrl& accounts, unsigned duration) : m_accounts(accounts), m_duration(duration) {}

    int InsertEntry(TimeValue date, const std::string& description, std::int32_t amount, TransactionData* record,
                    bool recalculate) override
    {
        if (date < ProjectionStartDate() || date >= GetEndDate())
            return -1;
        int position = 0;
        if (!rows.empty()) {
            int lo = 0, hi = GetCount() - 1;
            while (lo != hi) {
                const int mid = lo + (hi - lo) / 2;
                if (date >= GetDate(mid))
                    lo = mid + 1;
                else
                    hi = mid;
            }
            position = date >= GetDate(hi) ? hi + 1 : lo;
        }
        rows.insert(rows.begin() + position, TextRow{FormatDate(date), description, std::to_string(amount), "", record});
        if (recalculate)
            Recalculate(position);
        return position;
    }
    TimeValue GetEndDate() const override { return AddDays(ProjectionStartDate(), 31 * std::int64_t(m_duration)); }
    int GetCount() override { return static_cast<int>(rows.size()); }
    std::int64_t GetBalance(int row) override { return ReadLong(rows[std::size_t(row)].balance); }
    TimeValue GetDate(int row) override { return *ParseDate(rows[std::size_t(row)].date); }
    TransactionData* GetTransaction(int row) override { return rows[std::size_t(row)].record; }
    void Recalculate(int first) override
    {
        if (rows.empty())
            InsertEntry(ProjectionStartDate(), "Current Accounts", std::int32_t(m_accounts.GetTotalBalance()),
                        nullptr, true);
        for (int r = first; r < GetCount(); ++r) {
            if (r == 0)
                rows[0].amount = std::to_string(std::int32_t(m_accounts.GetTotalBalance()));
            const std::int64_t previous = r > 0 ? GetBalance(r - 1) : 0;
            rows[std::size_t(r)].balance = std::to_string(previous + Utility::ReadDecimal(rows[std::size_t(r)].amount));
        }
    }
    void DeleteEntry(int row) override { rows.erase(rows.begin() + row); }
    void InsertEntries(const std::vector<TimeValue>&, const std::string&, std::int32_t, TransactionData*) override
    {
        ADD_FAILURE() << "the literal projection inserts one entry at a time";
    }
    int DeleteEntriesOf(const TransactionData*) override
    {
        ADD_FAILURE() << "the literal projection deletes one entry at a time";
        return 0;
    }

    // Project a transaction, one occurrence at a time.
    void Project(TimeValue date, const std::string& description, std::int32_t amount, TransactionData* record)
    {
        if (amount != 0) {
            const CDateRepeater& rule = *record->repeater;
            std::uint32_t n = 0;
            TimeValue occurrence = rule.GetOccurrence(date, n);
            for (;;) {
                if (rule.count != 0 && n >= rule.count)
                    break;
                InsertEntry(occurrence, description, amount, record, false);
                const TimeValue previous = occurrence;
                ++n;
                occurrence = rule.GetOccurrence(date, n);
                if (occurrence >= GetEndDate() || occurrence <= previous)
                    break;
            }
        }
        Recalculate(0);
    }
    void Withdraw(const TransactionData* record, bool recalculate)
    {
        int lowest = GetCount();
        int r = 0;
        while (r < GetCount()) {
            if (GetTransaction(r) == record) {
                lowest = std::min(lowest, r);
                DeleteEntry(r);
            } else {
                ++r;
            }
        }
        if (recalculate && lowest < GetCount())
            Recalculate(lowest);
    }
    void Rebuild(const std::vector<std::unique_ptr<TransactionData>>& transactions)
    {
        rows.clear();
        InsertEntry(ProjectionStartDate(), "Current Accounts", std::int32_t(m_accounts.GetTotalBalance()), nullptr, true);
        for (const auto& t : transactions)
            Project(t->date, t->description, t->amount, t.get());
    }

    static std::int64_t ReadLong(const std::string& text) { return text.empty() ? 0 : std::stoll(text); }

    std::vector<TextRow> rows;
    IAccountsListCtrl& m_accounts;
    unsigned m_duration;
};

struct FixedAccounts : IAccountsListCtrl {
    std::int64_t GetTotalBalance() override { return total; }
    std::int64_t total = 0;
};

// A transactions list reduced to what the projection needs: records in list order.
struct TransactionStore : ITransListCtrl {
    void EditTransaction(int) override {}
    int FindTransaction(const TransactionData* record) override
    {
        for (std::size_t i = 0; i < records.size(); ++i)
            if (records[i].get() == record)
                return int(i);
        return -1;
    }
    int ProjectAllTransactions() override
    {
        for (const auto& t : records)
            ProjectTransactionOccurrences(*cashflow, t->date, t->description, t->amount, t.get(), *t->repeater);
        return int(records.size());
    }
    std::vector<std::unique_ptr<TransactionData>> records;
    ICashflowListCtrl* cashflow = nullptr;
};

struct Fixture {
    explicit Fixture(unsigned duration) : projection(accounts, store, duration, "Current Accounts")
    {
        store.cashflow = &projection;
    }
    FixedAccounts accounts;
    TransactionStore store;
    CashFlowProjection projection;
};

std::vector<std::string> RowTexts(CashFlowProjection& projection)
{
    std::vector<std::string> texts;
    for (int r = 0; r < projection.GetCount(); ++r)
        texts.push_back(FormatDate(projection.GetDate(r)) + "|" + projection.GetDescription(r) + "|" +
                        std::to_string(projection.GetAmount(r)) + "|" + std::to_string(projection.GetBalance(r)));
    return texts;
}

std::vector<std::string> RowTexts(const LiteralCashflow& literal)
{
    std::vector<std::string> texts;
    for (const auto& row : literal.rows)
        texts.push_back(row.date + "|" + row.description + "|" + row.amount + "|" + row.balance);
    return texts;
}

TimeValue Date(int year, int month, int day) { return MakeDate(year, month, day); }

std::unique_ptr<CDateRepeater> RandomRule(std::mt19937& random)
{
    std::uniform_int_distribution<int> kind(0, 4), step(-1, 4), count(0, 6), day(0, 31);
    const std::uint32_t n = std::uint32_t(count(random) == 0 ? 0 : count(random));
    switch (kind(random)) {
    case 0: return std::make_unique<CDateRepeaterOnce>();
    case 1: return std::make_unique<CDateRepeaterDaily>(step(random), n);
    case 2: return std::make_unique<CDateRepeaterWeekly>(step(random), n);
    case 3: return std::make_unique<CDateRepeaterMonthly>(step(random), n, day(random));
    default: return std::make_unique<CDateRepeaterYearly>(step(random), n);
    }
}

TEST(CashFlowProjection, MatchesTheLiteralProjectionOnRandomTransactionSets)
{
    TzGuard zone(kEastern);
    std::mt19937 random(20261208);
    for (int set = 0; set < 1000; ++set) {
        std::uniform_int_distribution<int> durationPick(1, 4), dayOffset(-60, 160), amountPick(-3, 3),
            operation(0, 9), descriptionPick(0, 3);
        const unsigned duration = unsigned(durationPick(random));
        ProjectionStartDate() = Date(2026, 3, 7);
        Fixture fast(duration);
        LiteralCashflow literal(fast.accounts, duration);
        fast.projection.Rebuild();
        literal.Rebuild(fast.store.records);

        const int steps = 1 + set % 12;
        for (int step = 0; step < steps; ++step) {
            const int op = operation(random);
            auto& records = fast.store.records;
            if (op <= 5 || records.empty()) {
                // Equal dates are frequent: days are drawn from a narrow range; now and then
                // a transaction starts years before the window.
                const std::int64_t yearsBefore = set % 3 == 0 ? std::int64_t(random() % 12000) : 0;
                auto record = std::make_unique<TransactionData>(
                    AddDays(ProjectionStartDate(), dayOffset(random) / 4 - yearsBefore),
                    "T" + std::to_string(descriptionPick(random)),
                    amountPick(random) * 100, RandomRule(random));
                TransactionData* t = record.get();
                records.push_back(std::move(record));
                ProjectTransactionOccurrences(fast.projection, t->date, t->description, t->amount, t, *t->repeater);
                literal.Project(t->date, t->description, t->amount, t);
            } else if (op == 6) {
                const std::size_t i = std::size_t(random() % records.size());
                WithdrawTransactionEntries(fast.projection, records[i].get(), true);
                literal.Withdraw(records[i].get(), true);
                records.erase(records.begin() + std::ptrdiff_t(i));
            } else if (op == 7) {
                // An edit: the old rows go without recalculation, the new values are projected.
                const std::size_t i = std::size_t(random() % records.size());
                auto replacement = std::make_unique<TransactionData>(
                    AddDays(ProjectionStartDate(), dayOffset(random) / 4), records[i]->description,
                    amountPick(random) * 50, RandomRule(random));
                WithdrawTransactionEntries(fast.projection, records[i].get(), false);
                literal.Withdraw(records[i].get(), false);
                records[i] = std::move(replacement);
                TransactionData* t = records[i].get();
                ProjectTransactionOccurrences(fast.projection, t->date, t->description, t->amount, t, *t->repeater);
                literal.Project(t->date, t->description, t->amount, t);
            } else if (op == 8) {
                fast.accounts.total += amountPick(random) * 7;
                fast.projection.Recalculate(0);
                literal.Recalculate(0);
            } else {
                const TimeValue start = AddDays(ProjectionStartDate(), dayOffset(random) / 8);
                fast.projection.SetStartDate(start);
                literal.Rebuild(records);
            }
            ASSERT_EQ(RowTexts(fast.projection), RowTexts(literal)) << "set " << set << " step " << step;
        }
    }
}

TEST(CashFlowProjection, WindowIncludesTheStartDateAndExcludesTheEndDate)
{
    TzGuard zone(kEastern);
    ProjectionStartDate() = Date(2026, 1, 1);
    Fixture f(1);
    f.projection.Rebuild();
    EXPECT_EQ(f.projection.GetEndDate(), Date(2026, 2, 1));
    EXPECT_EQ(f.projection.InsertEntry(Date(2026, 1, 1), "At start", 5, nullptr, true), 1);
    EXPECT_EQ(f.projection.InsertEntry(Date(2026, 2, 1), "At end", 5, nullptr, true), -1);
    EXPECT_EQ(f.projection.InsertEntry(Date(2025, 12, 31), "Before", 5, nullptr, true), -1);
    EXPECT_EQ(f.projection.GetCount(), 2);

    ProjectionStartDate() = Date(2026, 2, 1);
    EXPECT_EQ(f.projection.GetEndDate(), Date(2026, 3, 4));
}

TEST(CashFlowProjection, OpeningRowAloneCarriesTheAccountTotal)
{
    TzGuard zone(kEastern);
    ProjectionStartDate() = Date(2026, 3, 7);
    Fixture f(13);
    f.accounts.total = 75;
    f.projection.Rebuild();
    ASSERT_EQ(f.projection.GetCount(), 1);
    EXPECT_EQ(f.projection.GetDescription(0), "Current Accounts");
    EXPECT_EQ(f.projection.GetAmount(0), 75);
    EXPECT_EQ(f.projection.GetBalance(0), 75);
    EXPECT_EQ(f.projection.GetTransaction(0), nullptr);
}

TEST(CashFlowProjection, DurationZeroRefusesEvenTheOpeningRow)
{
    TzGuard zone(kEastern);
    ProjectionStartDate() = Date(2026, 3, 7);
    Fixture f(0);
    f.projection.Rebuild();
    EXPECT_EQ(f.projection.GetCount(), 0);
    f.projection.Recalculate(0);
    EXPECT_EQ(f.projection.GetCount(), 0);
}

TEST(CashFlowProjection, BalancesAreSixtyFourBitSums)
{
    TzGuard zone(kEastern);
    ProjectionStartDate() = Date(2026, 3, 7);
    Fixture f(2);
    f.accounts.total = 2147483647;
    auto& records = f.store.records;
    records.push_back(std::make_unique<TransactionData>(Date(2026, 3, 8), "Windfall", 2147483647,
                                                        std::make_unique<CDateRepeaterDaily>(1, 3)));
    f.projection.Rebuild();
    ASSERT_EQ(f.projection.GetCount(), 4);
    EXPECT_EQ(f.projection.GetBalance(3), 4 * std::int64_t(2147483647));
}

TEST(CashFlowProjection, RuleThatDoesNotMoveForwardStops)
{
    TzGuard zone(kEastern);
    ProjectionStartDate() = Date(2026, 3, 7);
    Fixture f(99);
    auto& records = f.store.records;
    records.push_back(std::make_unique<TransactionData>(Date(2026, 3, 9), "Stuck", 10,
                                                        std::make_unique<CDateRepeaterDaily>(0, 0)));
    records.push_back(std::make_unique<TransactionData>(Date(2026, 6, 9), "Backwards", 10,
                                                        std::make_unique<CDateRepeaterMonthly>(-1, 0, 9)));
    f.projection.Rebuild();
    ASSERT_EQ(f.projection.GetCount(), 3);
    EXPECT_EQ(f.projection.GetDate(1), Date(2026, 3, 9));
    EXPECT_EQ(f.projection.GetDate(2), Date(2026, 6, 9));
}

} // namespace
