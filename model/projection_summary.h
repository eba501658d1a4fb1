#pragma once

#include "model/dates.h"

#include <cstddef>
#include <cstdint>
#include <optional>

class CashFlowProjection;

// What a projection comes to, in the terms a reader asks first: how low the balance goes
// and when, whether and when it drops under a chosen threshold and comes back, and where
// it ends. Each date is that of a row of the projection (the opening row included), and
// each row's balance is the one after it.
struct ProjectionSummary {
    // A dip: the first row whose balance is below the threshold, and the first row after
    // it whose balance is back at the threshold or above (none when it never recovers
    // within the projection).
    struct Dip {
        std::size_t fromRow = 0;
        TimeValue from = 0;
        std::optional<std::size_t> backRow;
        std::optional<TimeValue> back;
    };

    std::int64_t threshold = 0;
    // False for a projection without rows; everything below is then meaningless.
    bool hasRows = false;
    // The lowest balance and the first row that reaches it.
    std::int64_t lowestBalance = 0;
    std::size_t lowestRow = 0;
    TimeValue lowestDate = 0;
    std::optional<Dip> below;
    std::int64_t closingBalance = 0;
    TimeValue closingDate = 0;

    bool GoesBelow() const { return below.has_value(); }
};

// Builds a summary from the rows given one by one in projection order, in one pass and
// without keeping them.
class ProjectionSummaryBuilder {
public:
    explicit ProjectionSummaryBuilder(std::int64_t threshold);

    void Add(TimeValue date, std::int64_t balance);
    const ProjectionSummary& Result() const { return m_summary; }

private:
    ProjectionSummary m_summary;
    std::size_t m_rows = 0;
};

// The summary of a projection's rows as they stand now (their balances brought up to
// date first).
ProjectionSummary SummarizeProjection(CashFlowProjection& projection, std::int64_t threshold);
