#include "ui/trans_page_dlg.h"

#include "storage/data_file.h"
#include "storage/xml_document.h"
#include "ui/platform/scripted_runner.h"

#include "support/tz_guard.h"
#include "trans_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using testing_support::kEastern;
using testing_support::TzGuard;
using trans_testing::TransactionsHarness;

class TransPageDlgTest : public ::testing::Test {
protected:
    std::string Saved()
    {
        CXmlDocument document;
        DataFile::StartDocument(document);
        m_harness.page.Save(document);
        return document.GetDocument();
    }

    TzGuard m_tz{kEastern};
    TransactionsHarness m_harness{MakeDate(2026, 3, 7), 13, 0};
    CTransListCtrl& m_list = m_harness.List();
};

TEST_F(TransPageDlgTest, AnEmptyListWritesNoTransactionsElement)
{
    EXPECT_EQ(Saved(), "<TILLANE Format=\"1\"/>\r\n");
}

TEST_F(TransPageDlgTest, RowsAreWrittenInTheOrderShownWithDayForMonthlyRulesAndWeeksAsDelta)
{
    m_list.AddTransaction(MakeDate(2026, 3, 1), "Rent/Mortgage", -600,
                          std::make_unique<CDateRepeaterMonthly>(1, 0, 1), true);
    m_list.AddTransaction(MakeDate(2026, 3, 13), "Payday", 400, std::make_unique<CDateRepeaterWeekly>(2, 0), true);
    m_list.AddTransaction(MakeDate(2026, 4, 2), "Car & <tax>", -120, std::make_unique<CDateRepeaterYearly>(1, 5),
                          true);
    // Sorted by amount, descending: the order on screen is the order saved.
    m_list.SortByColumn(CTransListCtrl::AmountColumn);
    EXPECT_EQ(Saved(), "<TILLANE Format=\"1\">\r\n"
                       "<TRANSACTIONS>\r\n"
                       "<TRANSACTION Type=\"Weekly\">\r\n"
                       "<DESCRIPTION>Payday</DESCRIPTION>\r\n"
                       "<DATE>03/13/2026</DATE>\r\n"
                       "<AMOUNT>400</AMOUNT>\r\n"
                       "<REPEAT Type=\"Weekly\" Delta=\"2\" Count=\"0\"/>\r\n"
                       "</TRANSACTION>\r\n"
                       "<TRANSACTION Type=\"Yearly\">\r\n"
                       "<DESCRIPTION>Car &amp; &lt;tax&gt;</DESCRIPTION>\r\n"
                       "<DATE>04/02/2026</DATE>\r\n"
                       "<AMOUNT>-120</AMOUNT>\r\n"
                       "<REPEAT Type=\"Yearly\" Delta=\"1\" Count=\"5\"/>\r\n"
                       "</TRANSACTION>\r\n"
                       "<TRANSACTION Type=\"Monthly\">\r\n"
                       "<DESCRIPTION>Rent/Mortgage</DESCRIPTION>\r\n"
                       "<DATE>03/01/2026</DATE>\r\n"
                       "<AMOUNT>-600</AMOUNT>\r\n"
                       "<REPEAT Type=\"Monthly\" Delta=\"1\" Count=\"0\" Day=\"1\"/>\r\n"
                       "</TRANSACTION>\r\n"
                       "</TRANSACTIONS>\r\n"
                       "</TILLANE>\r\n");
    CTransListCtrl::ResetSortDirections();

    // What is saved reads back as the same transactions.
    const DataFile::LoadResult loaded = DataFile::ParseDocument(Saved(), 0);
    ASSERT_EQ(loaded.status, DataFile::Status::Loaded);
    ASSERT_EQ(loaded.contents.transactions.size(), 3u);
    for (int row = 0; row < 3; ++row) {
        const DataFile::Transaction& read = loaded.contents.transactions[std::size_t(row)];
        const TransactionData& record = *m_list.GetRecord(row);
        EXPECT_EQ(read.description, record.description);
        EXPECT_EQ(read.date, record.date);
        EXPECT_EQ(read.amount, record.amount);
        EXPECT_EQ(read.rule->GetType(), record.repeater->GetType());
        EXPECT_EQ(read.rule->delta, record.repeater->delta);
        EXPECT_EQ(read.rule->count, record.repeater->count);
    }
}

TEST_F(TransPageDlgTest, DeleteSelectedAsksAndDeletesOnlyOnYes)
{
    win::ScriptedRunner runner;
    m_list.AddTransaction(MakeDate(2026, 3, 9), "Payday", 400, std::make_unique<CDateRepeaterOnce>(), true);
    m_list.AddTransaction(MakeDate(2026, 3, 10), "Rent", -600, std::make_unique<CDateRepeaterOnce>(), true);
    ASSERT_EQ(m_list.GetSelectedIndex(), 1);

    runner.AnswerNextMessageBox(win::IDNO);
    m_harness.page.DeleteSelected();
    EXPECT_EQ(m_list.GetItemCount(), 2);
    EXPECT_EQ(m_harness.projection.GetCount(), 3);
    ASSERT_EQ(runner.MessageBoxes().size(), 1u);
    EXPECT_EQ(runner.MessageBoxes()[0].text, "Are you sure you want to delete the selected entry?");

    runner.AnswerNextMessageBox(win::IDYES);
    m_harness.page.DeleteSelected();
    ASSERT_EQ(m_list.GetItemCount(), 1);
    EXPECT_EQ(m_list.GetItemText(0, 0), "Payday");
    EXPECT_EQ(m_harness.projection.GetCount(), 2);
    EXPECT_EQ(m_harness.projection.GetBalance(1), 400);

    // Nothing selected: nothing asked.
    m_list.SetItemState(0, 0, win::LVIS_SELECTED);
    m_harness.page.DeleteSelected();
    EXPECT_EQ(runner.MessageBoxes().size(), 2u);
    EXPECT_EQ(m_list.GetItemCount(), 1);
}

} // namespace
