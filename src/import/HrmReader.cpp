// The HRM reader: a Polar HRM text file, read line by line. Header lines fill
// the RideHeader; once the header is complete (the "[HRData]" line, one
// "Interval=" line and an accepted mode line, ECode 49), every line is a data
// line whose speed and altitude fields go into one SampleTable row.
//
// The reader works on a copy of the ride record and hands it back only when
// the load is not refused, so a refused ride leaves the record as it was.

#include "import/HrmReader.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string>

#include "base/Bytes.h"
#include "base/Text.h"
#include "import/RideImport.h"

namespace vb {

namespace {

constexpr std::size_t kHeaderValueMax = 99;  // header texts keep at most 99 characters
constexpr std::size_t kFieldMax = 999;       // a last field keeps at most 999 characters
constexpr std::size_t kTitleMax = 999;
constexpr int kHeaderComplete = 49;
constexpr int kECodeHrData = 16;
constexpr int kECodeInterval = 32;
constexpr int kECodeMode = 1;

// Characters from 1-based position `from` on, at most `count` of them.
std::string_view mid(std::string_view s, std::size_t from, std::size_t count = std::string_view::npos) {
    if (from > s.size()) return {};
    return s.substr(from - 1, count);
}

// 1-based position of the first tab at or after 1-based position `from`, 0 when none.
std::size_t tabFrom(std::string_view s, std::size_t from) {
    if (from > s.size()) return 0;
    const auto pos = s.find('\t', from - 1);
    return pos == std::string_view::npos ? 0 : pos + 1;
}

bool isAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string toUtf8(std::string_view bytes) {
    return isAscii(bytes) ? std::string(bytes) : cp1252ToUtf8(bytes);
}

std::string headerValue(std::string_view line, std::size_t from) {
    return toUtf8(trimSpaces(mid(line, from, kHeaderValueMax)));
}

bool isHeaderLine(std::string_view line) {
    static constexpr std::array<std::string_view, 5> kKeys{
        "Interval=", "Version=", "Date=", "SMode=", "Mode="};
    if (line == "[HRData]" || line == "[Params]") return true;
    return std::any_of(kKeys.begin(), kKeys.end(),
                       [line](std::string_view key) { return line.starts_with(key); });
}

// One run of Load_Polar_File over one file.
class PolarLoad {
public:
    PolarLoad(RideRecord& ride, Prompter& prompter) : m_ride(ride), m_prompter(prompter) {
        m_ride.ModeFlags.fill(0);
        m_ride.RecordInterval = 0;
        std::copy_n(m_ride.header.fields.begin(), kComparedFields, m_previous.begin());
        for (std::size_t i = 0; i < kComparedFields; ++i) m_ride.header.fields[i].assign(1, '-');
    }

    // Handles one line (without its line end); false when reading stops here.
    bool line(std::string_view text, int lineNumber);
    // Ends the load after the last line.
    ImportReport finish();

private:
    static constexpr std::size_t kComparedFields = 5;  // Version, Date, Mode, Type, Interval

    bool headerTests(std::string_view line);
    void modeLine(std::string_view line, std::size_t digitsFrom, std::size_t digitCount);
    void dataLine(std::string_view line);
    bool refuse(std::string text);
    void show(std::string_view text, MessageIcon icon) { m_prompter.showMessage(kTitleMsg, text, icon); }

    RideRecord& m_ride;
    Prompter& m_prompter;
    std::array<std::string, kComparedFields> m_previous;
    int m_ecode = 0;
    int m_index = -1;
    int m_appendState = 0;
    bool m_appending = false;
    int m_baseRows = 0;
    bool m_inData = false;
    ImportReport m_report;
};

bool PolarLoad::line(std::string_view text, int lineNumber) {
    if (m_ecode == kHeaderComplete && isHeaderLine(text)) {
        // Another ride's header among the data, as in two files joined into one.
        m_report.message = "Reading stopped at line " + std::to_string(lineNumber) +
                           ", where another ride's header begins; the samples before it were kept.";
        show(m_report.message, MessageIcon::information);
        return false;
    }
    if (!headerTests(text)) return false;
    if (m_ecode != kHeaderComplete) return true;
    dataLine(text);
    return !m_report.refused;
}

bool PolarLoad::headerTests(std::string_view line) {
    if (line == "[HRData]") {
        m_ecode += kECodeHrData;
    } else if (line.starts_with("Interval=")) {
        m_ride.header.Interval() = headerValue(line, 10);
        const auto interval = toInt16(leadingNumber(mid(line, 10)));
        if (!interval)
            return refuse("The recording interval \"" + m_ride.header.Interval() +
                          "\" is out of range (at most 32767 seconds); the ride was not loaded.");
        m_ride.RecordInterval = *interval;
        if (*interval == 60) m_ride.Calc15Available = true;
        m_ecode += kECodeInterval;
    } else if (line.starts_with("Version=")) {
        m_ride.header.Version() = headerValue(line, 9);
    } else if (line.starts_with("Date=")) {
        m_ride.header.Date() = headerValue(line, 6);
    } else if (line.starts_with("SMode=")) {
        modeLine(line, 7, 8);
    } else if (line.starts_with("Mode=")) {
        modeLine(line, 6, 3);
    }
    if (m_ecode > std::numeric_limits<std::int16_t>::max())
        return refuse("The file's header repeats its Interval line too often; the ride was not loaded.");
    return true;
}

// "SMode=" (8 digits read from character 7) or "Mode=" (3 digits from character 6).
void PolarLoad::modeLine(std::string_view line, std::size_t digitsFrom, std::size_t digitCount) {
    auto& flags = m_ride.ModeFlags;
    m_ride.header.Mode() = headerValue(line, digitsFrom);
    const std::string_view digits = mid(line, digitsFrom, digitCount);
    for (std::size_t i = 0; i < digits.size(); ++i)
        if (digits[i] == '1') flags[i] = 1;
    const bool v106 = digitCount == 8;
    const bool imperial = flags[v106 ? 7 : 2] == 1;
    m_ride.header.Type() = std::string(imperial ? kTypeImperial : kTypeMetric);
    const bool altitude = flags[v106 ? 2 : 0] == 1;
    const bool cycling = flags[v106 ? 6 : 1] == 1;
    if (altitude && cycling) {
        m_ecode += kECodeMode;
        return;
    }
    if (!altitude) show(kMsgNoAltitude, MessageIcon::critical);
    if (!cycling) show(kMsgNoSpeed, MessageIcon::critical);
}

void PolarLoad::dataLine(std::string_view line) {
    bool skipLine = false;
    if (!m_inData) {
        m_inData = true;
        m_ride.ImportStatus = std::string(kStatusHrm);
        if (std::equal(m_previous.begin(), m_previous.end(), m_ride.header.fields.begin())) m_appendState = 1;
    }
    if (m_appendState == 1) {
        if (m_prompter.askYesNo(kTitleApp, kAskAppend)) {
            // New samples go after the last row, whatever the table holds; the
            // line that completed the header is not a sample.
            m_appending = true;
            m_index = m_ride.samples.rowCount() - 2;
            skipLine = true;
        } else {
            m_index = -1;
        }
    }
    if (m_appendState != 2) {
        m_appendState = 2;
        m_baseRows = m_appending ? m_ride.samples.rowCount() : 1;
    }
    if (!skipLine && !trimSpaces(line).empty()) {
        if (m_index + 1 > SampleTable::kMaxSamples) {
            refuse(m_appending ? "Adding this file would make the ride longer than 32765 samples; "
                                 "the ride was left as it was."
                               : "The ride has more than 32765 samples, more than can be held; "
                                 "it was not loaded.");
            return;
        }
        Store_Polar_Data(m_ride, line, static_cast<std::int16_t>(m_index));
    }
    ++m_index;
}

bool PolarLoad::refuse(std::string text) {
    m_report.refused = true;
    m_report.message = std::move(text);
    show(m_report.message, MessageIcon::critical);
    return false;
}

ImportReport PolarLoad::finish() {
    if (m_report.refused) return m_report;
    if (m_ecode != kHeaderComplete) {
        m_report.noData = true;
        m_report.message = std::string(kMsgHeaderIncomplete);
        show(m_report.message, MessageIcon::critical);
    }
    m_ride.header.ECode() = std::to_string(m_ecode);
    m_report.samples = m_inData ? m_ride.samples.rowCount() - m_baseRows : 0;
    return m_report;
}

}  // namespace

std::string polarTitle(std::string_view myfile) {
    const auto slash = myfile.find_last_of("\\/");
    std::string_view title = slash == std::string_view::npos ? myfile : myfile.substr(slash + 1);
    title = title.substr(0, title.find('.'));
    // A path that is not UTF-8 is taken as 8-bit text of the ANSI code page.
    std::string utf8 = isUtf8(title) ? std::string(title) : cp1252ToUtf8(title);
    return utf8Length(utf8) > kTitleMax ? utf8Left(utf8, kTitleMax) : utf8;
}

void Store_Polar_Data(RideRecord& ride, std::string_view mypolar, std::int16_t Index) {
    SampleTable& table = ride.samples;
    table.setRowCount(Index + 2);
    if (Index < 0) return;
    if (Index == 0) Format_SampleTable(table);
    const int row = Index + 1;
    table.setText(row, 0, std::to_string(row));

    const auto flag = [&ride](int i) { return ride.ModeFlags[static_cast<std::size_t>(i)] == 1 ? 1 : 0; };
    const int s = flag(0);
    const int a = flag(0) + flag(1) + flag(2);
    // t[i]: 1-based position of the tab before field i. A search that finds
    // none gives 0, and the next one starts again at the line's start.
    std::array<std::size_t, 4> t{};
    for (int i = 1; i <= std::max(s, a); ++i) t[i] = tabFrom(mypolar, t[i - 1] + 1);

    const auto field = [mypolar](std::size_t tab) {
        const std::size_t from = tab + 1;
        const std::size_t next = tabFrom(mypolar, from);
        // Without a further tab the field is the rest of the line; with one,
        // it ends there (and is empty when the tab follows at once).
        return toUtf8(next == 0 ? mid(mypolar, from, kFieldMax) : mid(mypolar, from, next - from));
    };
    if (t[s] > 0) table.setText(row, 1, field(t[s]));
    if (t[a] > 0) table.setText(row, 2, field(t[a]));
}

ImportReport Load_Polar_File(RideRecord& ride, std::string_view myfile, std::span<const std::byte> data,
                             Prompter& prompter) {
    if (myfile.empty()) return {};
    RideRecord work = ride;
    const std::string title = polarTitle(myfile);
    work.ProgramName = title;
    PolarLoad load(work, prompter);
    setFilenameBox(work, title);

    // A line ends at a line feed; carriage returns are dropped. A last line
    // without a line feed is a line like any other.
    const std::string_view text = asText(data);
    std::string withoutCr;
    int lineNumber = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (line.find('\r') != std::string_view::npos) {
            withoutCr.assign(line);
            std::erase(withoutCr, '\r');
            line = withoutCr;
            if (line.empty() && end == text.size()) break;
        }
        if (!load.line(line, lineNumber)) break;
    }
    ImportReport report = load.finish();
    if (!report.refused) ride = std::move(work);
    return report;
}

}  // namespace vb
