#pragma once

#include "app/command_line.h"
#include "storage/data_file.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

class CashFlowProjection;

// The command line's forecast on the core alone: the data file loaded as the window loads
// it, projected once, and printed straight from the projection's rows.

// Collects text and hands it to a C stream in large blocks.
class OutputBuffer {
public:
    explicit OutputBuffer(std::FILE* stream);
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;
    ~OutputBuffer();

    void Append(std::string_view text)
    {
        if (m_size + text.size() <= kBlock) {
            std::memcpy(m_data.get() + m_size, text.data(), text.size());
            m_size += text.size();
        } else {
            AppendBeyondBlock(text);
        }
    }
    void Append(char c, std::size_t count)
    {
        if (m_size + count <= kBlock) {
            std::memset(m_data.get() + m_size, c, count);
            m_size += count;
        } else {
            AppendBeyondBlock(std::string(count, c));
        }
    }
    // Writes what is left and flushes the stream; false when any write failed.
    bool Finish();
    // The errno of the first write that failed (0 when unknown).
    int Error() const { return m_error; }

private:
    static constexpr std::size_t kBlock = 1 << 16;

    void AppendBeyondBlock(std::string_view text);
    void Drain();
    // Hands the text to the stream unless a write failed before.
    void Write(std::string_view text);

    std::FILE* m_stream;
    std::unique_ptr<char[]> m_data;
    std::size_t m_size = 0;
    bool m_failed = false;
    int m_error = 0;
};

// The projection's rows under a heading line, in columns (text left-aligned, numbers
// right-aligned), or as CSV; the same text as FormatForecastText and FormatForecastCsv
// give for the rows' texts.
void WriteForecast(CashFlowProjection& projection, bool csv, OutputBuffer& out);

// "tillane: cannot use the data file PATH: <why>\n" for a data file that is unreadable,
// malformed or not a data file; an unreadable file's own reason when there is one.
std::string DataFileRefusal(const std::string& path, DataFile::Status status, const std::string& reason = {});

// The sample data is for the default file's first run only: a file named on the command
// line that is not there is a mistake, never a forecast to make up.
bool NamedFileMissing(const std::string& path);

// "tillane: cannot write the <what> to standard output: <why>\n", for an errno (0 when
// unknown).
std::string StandardOutputFailure(const std::string& what, int error);

// The line that says the projection stopped at its row limit.
std::string ProjectionCapNotice(const std::string& path, std::size_t limit);

// What a save would change of the data file, as loading found it: one line
// "tillane: PATH: <note>" per note, then "tillane: PATH: and N more differences" when
// there are more than the notes; nothing when there are none.
std::string LoadNotesText(const std::string& path, const DataFile::Notes& notes, std::size_t differences);

// Prints the forecast (or, in the summary mode, the summary) of the data file at path: exit
// status 0, or 1 when the file cannot be used (said on err), the projection stopped at its
// row limit (said too) or the output cannot be written; 3 when a summary's balance goes
// below its threshold. What loading read differently from the file is said on err
// (LoadNotesText).
int RunForecast(const CommandLine& line, const std::string& path, std::FILE* out, std::FILE* err);
