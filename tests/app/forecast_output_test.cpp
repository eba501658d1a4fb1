#include "app/command_line.h"
#include "app/forecast_output.h"
#include "model/cash_flow_projection.h"
#include "model/transaction_schedule.h"

#include "support/tz_guard.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

// What the printer writes for a projection, captured from a memory stream.
std::string Written(CashFlowProjection& projection, bool csv)
{
    char* data = nullptr;
    std::size_t size = 0;
    std::FILE* stream = open_memstream(&data, &size);
    {
        OutputBuffer out(stream);
        WriteForecast(projection, csv, out);
        EXPECT_TRUE(out.Finish());
    }
    std::fclose(stream);
    std::string text(data, size);
    std::free(data);
    return text;
}

// The rows as the cash-flow list shows them: texts made one cell at a time.
std::vector<ForecastRow> Cells(CashFlowProjection& projection)
{
    std::vector<ForecastRow> rows;
    for (int row = 0; row < projection.GetCount(); ++row)
        rows.push_back({FormatDate(projection.GetDate(row)), projection.GetDescription(row),
                        std::to_string(projection.GetAmount(row)), std::to_string(projection.GetBalance(row))});
    return rows;
}

TEST(ForecastOutput, PrintsWhatTheCellsFormatOverRandomSchedules)
{
    testing_support::TzGuard zone(testing_support::kEastern);
    std::mt19937 random(7);
    const std::vector<std::string> names = {"Rent", "rent", "Pay, \"net\"", "Café crème", "a\nb", "", "Groceries",
                                            "\"quoted\"", "Zebra"};
    std::uniform_int_distribution<int> pick(0, static_cast<int>(names.size()) - 1), kind(0, 4), step(1, 3),
        amount(-5000000, 5000000), offset(-400, 400), count(0, 5), accounts(-3, 3);
    for (int round = 0; round < 40; ++round) {
        TransactionSchedule schedule;
        for (int a = accounts(random); a > 0; --a)
            schedule.AddAccount(amount(random) * 100);
        ProjectionStartDate() = MakeDate(2026, 3, 7);
        for (int t = 0; t < 12; ++t) {
            std::unique_ptr<CDateRepeater> rule;
            switch (kind(random)) {
            case 0: rule = std::make_unique<CDateRepeaterOnce>(); break;
            case 1: rule = std::make_unique<CDateRepeaterDaily>(step(random) * 9, count(random)); break;
            case 2: rule = std::make_unique<CDateRepeaterWeekly>(step(random), count(random)); break;
            case 3: rule = std::make_unique<CDateRepeaterMonthly>(step(random), count(random), offset(random) % 30); break;
            default: rule = std::make_unique<CDateRepeaterYearly>(1, count(random)); break;
            }
            schedule.AddTransaction(std::make_unique<TransactionData>(
                AddDays(ProjectionStartDate(), offset(random)), names[static_cast<std::size_t>(pick(random))],
                amount(random), std::move(rule)));
        }
        CashFlowProjection projection(schedule, schedule, static_cast<unsigned>(step(random) * 4), "Current Accounts");
        schedule.SetProjection(projection);
        projection.Rebuild();
        const std::vector<ForecastRow> cells = Cells(projection);
        ASSERT_EQ(Written(projection, false), FormatForecastText(cells)) << "round " << round;
        ASSERT_EQ(Written(projection, true), FormatForecastCsv(cells)) << "round " << round;
    }
}

TEST(ForecastOutput, ScheduleKeepsTheTransactionsListsOrder)
{
    TransactionSchedule schedule;
    for (const char* name : {"b", "A", "a", "B", "_", "ab"})
        schedule.AddTransaction(
            std::make_unique<TransactionData>(0, name, 1, std::make_unique<CDateRepeaterOnce>()));
    std::string order;
    for (const auto& record : schedule.Transactions())
        order += record->description + " ";
    // Capitals fold to small letters; equal texts stay in the order they came.
    EXPECT_EQ(order, "_ A a ab b B ");
}

TEST(ForecastOutput, AFailedWriteIsReported)
{
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    OutputBuffer out(full);
    out.Append(std::string(100000, 'x'));
    EXPECT_FALSE(out.Finish());
    std::fclose(full);
}

} // namespace
