// The HRM reader: a Polar HRM text file, read line by line. Header lines fill
// the RideHeader; once the header is complete (the "[HRData]" line, one
// "Interval=" line and an accepted mode line, ECode 49), every line is a data
// line whose speed and altitude fields go into one SampleTable row.
//
// The parse never touches the ride record; the load works on a copy of it and
// hands it back only when the load is not refused, so a refused ride leaves
// the record as it was.

#include "import/HrmReader.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <vector>
#include <string>

#include "base/Bytes.h"
#include "base/Text.h"

namespace vb {

namespace {

constexpr std::size_t kHeaderValueMax = 99;  // header texts keep at most 99 characters
constexpr std::size_t kFieldMax = 999;       // a last field keeps at most 999 characters
constexpr std::size_t kTitleMax = 999;
constexpr int kECodeHrData = 16;
constexpr int kECodeInterval = 32;
constexpr int kECodeMode = 1;
constexpr std::size_t kComparedFields = 5;  // Version, Date, Mode, Type, Interval

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

// Reads the header lines into `file` until the header is complete; the line
// that completes it and every later one, up to another ride's header, are
// kept as they are for the merge.
class PolarParse {
public:
    explicit PolarParse(PolarFile& file) : m_file(file) {}

    // Handles one line (without its line end); false when reading stops here.
    bool line(std::string_view text, int lineNumber);
    const std::optional<Error>& refusal() const { return m_refusal; }
    std::vector<Error> takeWarnings() { return std::move(m_warnings); }

private:
    bool headerTests(std::string_view line);
    void modeLine(std::string_view line, std::size_t digitsFrom, std::size_t digitCount);
    bool refuse(ErrorCode code, std::string text) {
        m_refusal = makeError(code, std::move(text));
        return false;
    }

    PolarFile& m_file;
    std::optional<Error> m_refusal;
    std::vector<Error> m_warnings;
};

bool PolarParse::line(std::string_view text, int lineNumber) {
    if (m_file.complete()) {
        if (isHeaderLine(text)) {
            // Another ride's header among the data, as in two files joined into one.
            m_file.stoppedAt = lineNumber;
            return false;
        }
        m_file.lines.emplace_back(text);
        return true;
    }
    if (!headerTests(text)) return false;
    if (m_file.complete()) m_file.lines.emplace_back(text);
    return true;
}

bool PolarParse::headerTests(std::string_view line) {
    RideHeader& header = m_file.header;
    if (line == "[HRData]") {
        m_file.ECode += kECodeHrData;
    } else if (line.starts_with("Interval=")) {
        header.Interval() = headerValue(line, 10);
        const auto interval = toInt16(leadingNumber(mid(line, 10)));
        if (!interval)
            return refuse(ErrorCode::range, "The recording interval \"" + header.Interval() +
                                                "\" is out of range (at most 32767 seconds); the ride was not loaded.");
        m_file.RecordInterval = *interval;
        m_file.ECode += kECodeInterval;
    } else if (line.starts_with("Version=")) {
        header.Version() = headerValue(line, 9);
    } else if (line.starts_with("Date=")) {
        header.Date() = headerValue(line, 6);
    } else if (line.starts_with("SMode=")) {
        modeLine(line, 7, 8);
    } else if (line.starts_with("Mode=")) {
        modeLine(line, 6, 3);
    }
    if (m_file.ECode > std::numeric_limits<std::int16_t>::max())
        return refuse(ErrorCode::range, "The file's header repeats its Interval line too often; the ride was not loaded.");
    return true;
}

// "SMode=" (8 digits read from character 7) or "Mode=" (3 digits from character 6).
void PolarParse::modeLine(std::string_view line, std::size_t digitsFrom, std::size_t digitCount) {
    auto& flags = m_file.ModeFlags;
    m_file.header.Mode() = headerValue(line, digitsFrom);
    const std::string_view digits = mid(line, digitsFrom, digitCount);
    for (std::size_t i = 0; i < digits.size(); ++i)
        if (digits[i] == '1') flags[i] = 1;
    const bool v106 = digitCount == 8;
    const bool imperial = flags[v106 ? 7 : 2] == 1;
    m_file.header.Type() = std::string(imperial ? kTypeImperial : kTypeMetric);
    const bool altitude = flags[v106 ? 2 : 0] == 1;
    const bool cycling = flags[v106 ? 6 : 1] == 1;
    if (altitude && cycling) {
        m_file.ECode += kECodeMode;
        return;
    }
    if (!altitude) m_warnings.push_back(makeError(ErrorCode::invalid, std::string(kMsgNoAltitudeData)));
    if (!cycling) m_warnings.push_back(makeError(ErrorCode::invalid, std::string(kMsgNoSpeedData)));
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

Result<PolarFile> readPolarFile(std::string_view myfile, std::span<const std::byte> data) {
    PolarFile file;
    file.title = polarTitle(myfile);
    PolarParse parse(file);

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
        if (!parse.line(line, lineNumber)) break;
    }
    std::vector<Error> warnings = parse.takeWarnings();
    Result<PolarFile> result = parse.refusal() ? Result<PolarFile>(*parse.refusal()) : Result<PolarFile>(std::move(file));
    for (Error& warning : warnings) result.addWarning(std::move(warning));
    return result;
}

bool appendsTo(const RideRecord& ride, const PolarFile& file) {
    return file.complete() && std::equal(ride.header.fields.begin(), ride.header.fields.begin() + kComparedFields,
                                         file.header.fields.begin());
}

Result<int> loadPolarFile(RideRecord& ride, const PolarFile& file, bool append) {
    RideRecord work = ride;
    work.ProgramName = file.title;
    setFilenameBox(work, file.title);
    work.ModeFlags = file.ModeFlags;
    work.RecordInterval = file.RecordInterval;
    std::copy_n(file.header.fields.begin(), kComparedFields, work.header.fields.begin());
    work.header.ECode() = std::to_string(file.ECode);
    work.Calc15Available = file.complete() && file.RecordInterval == 60;
    if (!file.complete()) {
        ride = std::move(work);
        return makeError(ErrorCode::empty, std::string(kMsgHeaderIncomplete));
    }

    work.ImportStatus = std::string(kStatusHrm);
    // New samples go after the last row, whatever the table holds; the line
    // that completed the header is not a sample. Without appending, that line
    // empties the table down to its title row.
    int index = append ? work.samples.rowCount() - 1 : -1;
    const int baseRows = append ? work.samples.rowCount() : 1;
    for (std::size_t i = append ? 1 : 0; i < file.lines.size(); ++i) {
        const std::string& line = file.lines[i];
        if (!trimSpaces(line).empty()) {
            if (index + 1 > SampleTable::kMaxSamples)
                return makeError(ErrorCode::range,
                                 append ? "Adding this file would make the ride longer than 32765 samples; "
                                          "the ride was left as it was."
                                        : "The ride has more than 32765 samples, more than can be held; "
                                          "it was not loaded.");
            Store_Polar_Data(work, line, static_cast<std::int16_t>(index));
        }
        ++index;
    }
    ride = std::move(work);
    Result<int> samples(ride.samples.rowCount() - baseRows);
    if (file.stoppedAt > 0)
        samples.addWarning(makeError(ErrorCode::truncated,
                                     "Reading stopped at line " + std::to_string(file.stoppedAt) +
                                         ", where another ride's header begins; the samples before it were kept."));
    return samples;
}

}  // namespace vb
