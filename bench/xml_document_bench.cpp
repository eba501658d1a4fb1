// Speed of the markup document on data files of about 1 MB and 10 MB, made of the
// TRANSACTION elements of the sample stress file repeated: parsing and reading every text
// and attribute, building the same document with the writing operations, and the data
// file's whole load with and without its comparison with what a save would write.

#include "storage/data_file.h"
#include "storage/text_file.h"
#include "storage/xml_document.h"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const char* const kRepeatAttributes[] = {"Type", "Delta", "Count", "Day"};

struct Transaction {
    std::string type;
    std::string description;
    std::string date;
    std::string amount;
    std::string repeat[4]; // by kRepeatAttributes; empty when absent
};

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::cerr << "cannot read " << path << '\n';
        std::exit(1);
    }
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

const std::string& StressFile()
{
    static const std::string text = ReadFile(TILLANE_SAMPLE_DATA "/stress.Tillane");
    return text;
}

// The stress file's TRANSACTION elements, line ends included, as one block of text.
std::string TransactionBlock()
{
    const std::string& text = StressFile();
    const std::size_t begin = text.find("<TRANSACTION ");
    std::size_t end = text.rfind("</TRANSACTION>");
    if (begin == std::string::npos || end == std::string::npos) {
        std::cerr << "no TRANSACTION elements in the stress file\n";
        std::exit(1);
    }
    end = text.find('\n', end) + 1;
    return text.substr(begin, end - begin);
}

// A data file of at least `bytes` bytes, with the line ends of the files the program writes.
std::string DataFileOfSize(std::size_t bytes)
{
    const std::string block = TransactionBlock();
    std::string text = "<TILLANE Format=\"1\">\r\r\n<TRANSACTIONS>\r\r\n";
    while (text.size() < bytes)
        text += block;
    text += "</TRANSACTIONS>\r\r\n</TILLANE>\r\r\n";
    return text;
}

// Reads everything the transactions page reads; returns the number of bytes read.
std::size_t ReadTransactions(CXmlDocument& document)
{
    std::size_t read = 0;
    document.FindElement("TILLANE");
    document.FindChildElement("TRANSACTIONS");
    document.EnterElement();
    while (document.FindChildElement("TRANSACTION")) {
        read += document.GetChildAttribute("Type").size();
        document.EnterElement();
        for (const char* child : {"DESCRIPTION", "DATE", "AMOUNT"}) {
            if (document.FindChildElement(child))
                read += document.GetChildText().size();
        }
        if (document.FindChildElement("REPEAT")) {
            for (const char* attribute : kRepeatAttributes)
                read += document.GetChildAttribute(attribute).size();
        }
        document.LeaveElement();
    }
    return read;
}

std::vector<Transaction> TransactionsOfSize(std::size_t bytes)
{
    CXmlDocument document;
    if (!document.SetDocument(DataFileOfSize(bytes))) {
        std::cerr << "the stress file does not parse: " << document.GetErrorText() << '\n';
        std::exit(1);
    }
    std::vector<Transaction> transactions;
    document.FindElement("TILLANE");
    document.FindChildElement("TRANSACTIONS");
    document.EnterElement();
    while (document.FindChildElement("TRANSACTION")) {
        Transaction transaction;
        transaction.type = document.GetChildAttribute("Type");
        document.EnterElement();
        document.FindChildElement("DESCRIPTION");
        transaction.description = document.GetChildText();
        document.FindChildElement("DATE");
        transaction.date = document.GetChildText();
        document.FindChildElement("AMOUNT");
        transaction.amount = document.GetChildText();
        document.FindChildElement("REPEAT");
        for (int i = 0; i < 4; ++i)
            transaction.repeat[i] = document.GetChildAttribute(kRepeatAttributes[i]);
        document.LeaveElement();
        transactions.push_back(std::move(transaction));
    }
    return transactions;
}

std::string Build(const std::vector<Transaction>& transactions)
{
    CXmlDocument document;
    document.AddElement("TILLANE");
    document.SetAttribute("Format", "1");
    document.AddChildElement("TRANSACTIONS");
    document.EnterElement();
    for (const Transaction& transaction : transactions) {
        document.AddChildElement("TRANSACTION");
        document.SetChildAttribute("Type", transaction.type);
        document.EnterElement();
        document.AddChildElement("DESCRIPTION", transaction.description);
        document.AddChildElement("DATE", transaction.date);
        document.AddChildElement("AMOUNT", transaction.amount);
        document.AddChildElement("REPEAT");
        for (int i = 0; i < 4; ++i) {
            if (!transaction.repeat[i].empty())
                document.SetChildAttribute(kRepeatAttributes[i], transaction.repeat[i]);
        }
        document.LeaveElement();
    }
    return document.GetDocument();
}

void ParseAndReadEverything(benchmark::State& state)
{
    const std::string text = DataFileOfSize(static_cast<std::size_t>(state.range(0)) << 20);
    CXmlDocument document;
    for (auto _ : state) {
        state.PauseTiming();
        std::string copy = text;
        state.ResumeTiming();
        if (!document.SetDocument(std::move(copy)))
            state.SkipWithError("the document does not parse");
        benchmark::DoNotOptimize(ReadTransactions(document));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["MB"] = static_cast<double>(text.size()) / (1 << 20);
}

void BuildDocument(benchmark::State& state)
{
    const std::size_t bytes = static_cast<std::size_t>(state.range(0)) << 20;
    const std::vector<Transaction> transactions = TransactionsOfSize(bytes);

    // The built text is the data file, with the line ends before text-mode writing.
    std::string expected;
    for (const char c : DataFileOfSize(bytes)) {
        if (c != '\r' || expected.empty() || expected.back() != '\r')
            expected += c;
    }
    if (Build(transactions) != expected) {
        state.SkipWithError("the built document differs from the data file");
        return;
    }

    std::size_t size = 0;
    for (auto _ : state) {
        const std::string text = Build(transactions);
        size = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
    state.counters["MB"] = static_cast<double>(size) / (1 << 20);
}

// The data file's whole load as the program does it: the text read into accounts and
// transactions and, with the second argument 1, compared with what a save would write
// (a file the program wrote, so with nothing to note).
void LoadDataFile(benchmark::State& state)
{
    std::string bytes = DataFileOfSize(static_cast<std::size_t>(state.range(0)) << 20);
    const std::string firstLine = "<TILLANE Format=\"1\">\r\r\n";
    bytes.insert(firstLine.size(), "<CASHFLOW StartDate=\"03/07/2026\" Duration=\"99\"/>\r\r\n");
    const std::string text = TextFile::JoinLines(bytes);
    const bool compare = state.range(1) != 0;
    const TimeValue today = MakeDate(2026, 3, 7);
    if (compare && DataFile::ParseDocument(text, today).differences != 0) {
        state.SkipWithError("the data file differs from what a save writes");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        std::string copy = text;
        state.ResumeTiming();
        const DataFile::LoadResult result = DataFile::ParseDocument(std::move(copy), today, compare);
        benchmark::DoNotOptimize(result.contents.transactions.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["MB"] = static_cast<double>(text.size()) / (1 << 20);
}

} // namespace

BENCHMARK(ParseAndReadEverything)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildDocument)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadDataFile)->Args({1, 0})->Args({1, 1})->Args({10, 0})->Args({10, 1})->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
