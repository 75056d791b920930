#include "import/XmlTrack.h"

#include <chrono>
#include <charconv>
#include <cmath>
#include <optional>

namespace vb {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trim(std::string_view text) {
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

// Reads exactly `count` digits at `pos`; -1 when they are not all digits.
int digits(std::string_view text, std::size_t pos, std::size_t count) {
    if (pos + count > text.size()) return -1;
    int value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

constexpr double kNaN = TrackPoint::kNone;

}  // namespace

namespace {

// The root element's name, empty when `head` is no XML document, nullopt
// when it ends before the name does.
std::optional<std::string_view> rootName(std::span<const std::byte> head) {
    std::string_view text(reinterpret_cast<const char*>(head.data()), head.size());
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    bool cut = false;
    const auto skipPast = [&text, &cut](std::string_view end) {
        const auto at = text.find(end);
        cut = at == std::string_view::npos;
        text.remove_prefix(cut ? text.size() : at + end.size());
    };
    for (;;) {
        while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
        if (text.starts_with("<?")) skipPast("?>");
        else if (text.starts_with("<!--")) skipPast("-->");
        else if (text.starts_with("<!")) skipPast(">");  // a document type without an internal subset
        else break;
        if (cut) return std::nullopt;
    }
    if (text.empty() || text == "<" || (text.size() < 4 && std::string_view("<!--").starts_with(text)))
        return std::nullopt;
    if (!text.starts_with('<')) return std::string_view();
    text.remove_prefix(1);
    std::size_t end = 0;
    while (end < text.size() && !isSpace(text[end]) && text[end] != '>' && text[end] != '/') ++end;
    if (end == text.size()) return std::nullopt;
    std::string_view name = text.substr(0, end);
    if (const auto colon = name.find(':'); colon != std::string_view::npos) name.remove_prefix(colon + 1);
    return name;
}

}  // namespace

std::string_view xmlRootElement(std::span<const std::byte> head) { return rootName(head).value_or(""); }

bool xmlRootPending(std::span<const std::byte> head) {
    // Only what began like XML (a byte order mark, white space or "<") is worth reading on.
    return !head.empty() && !rootName(head).has_value();
}

double parseIsoTime(std::string_view text) {
    text = trim(text);
    const int year = digits(text, 0, 4), month = digits(text, 5, 2), day = digits(text, 8, 2);
    const int hour = digits(text, 11, 2), minute = digits(text, 14, 2), second = digits(text, 17, 2);
    if (year < 0 || month < 1 || day < 1 || hour < 0 || minute < 0 || second < 0 || text[4] != '-' ||
        text[7] != '-' || (text[10] != 'T' && text[10] != 't' && text[10] != ' ') || text[13] != ':' ||
        text[16] != ':' || hour > 23 || minute > 59 || second > 60)
        return kNaN;
    const std::chrono::year_month_day date{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                                           std::chrono::day(static_cast<unsigned>(day))};
    if (!date.ok()) return kNaN;
    double seconds = static_cast<double>(std::chrono::sys_days(date).time_since_epoch().count()) * 86400.0 +
                     hour * 3600.0 + minute * 60.0 + second;
    std::size_t pos = 19;
    if (pos < text.size() && (text[pos] == '.' || text[pos] == ',')) {
        double scale = 0.1;
        for (++pos; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos, scale /= 10)
            seconds += (text[pos] - '0') * scale;
    }
    const std::string_view zone = text.substr(pos);
    if (zone.empty() || zone == "Z" || zone == "z") return seconds;
    if (zone[0] != '+' && zone[0] != '-') return kNaN;
    const int zoneHours = digits(zone, 1, 2);
    const std::size_t minutesAt = zone.size() > 3 && zone[3] == ':' ? 4 : 3;
    const int zoneMinutes = zone.size() == 3 ? 0 : digits(zone, minutesAt, 2);
    if (zoneHours < 0 || zoneHours > 23 || zoneMinutes < 0 || zoneMinutes > 59 ||
        (zone.size() != 3 && zone.size() != minutesAt + 2))
        return kNaN;
    const double offset = zoneHours * 3600.0 + zoneMinutes * 60.0;
    return zone[0] == '+' ? seconds - offset : seconds + offset;
}

double parseXmlNumber(std::string_view text) {
    text = trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty() || !std::isfinite(value)) return kNaN;
    return value;
}

XmlNames::XmlNames(const pugi::xml_node& root) {
    const std::string_view name = root.name();
    if (const auto colon = name.find(':'); colon != std::string_view::npos) m_prefix = name.substr(0, colon + 1);
}

bool XmlNames::is(const pugi::xml_node& node, std::string_view local) const {
    const std::string_view name = node.name();
    return node.type() == pugi::node_element && name.size() == m_prefix.size() + local.size() &&
           name.starts_with(m_prefix) && name.ends_with(local);
}

pugi::xml_node XmlNames::child(const pugi::xml_node& parent, std::string_view local) const {
    for (pugi::xml_node node : parent.children())
        if (is(node, local)) return node;
    return {};
}

double XmlNames::number(const pugi::xml_node& parent, std::string_view local) const {
    const pugi::xml_node node = child(parent, local);
    return node ? parseXmlNumber(node.child_value()) : kNaN;
}

Result<pugi::xml_node> parseXmlDocument(pugi::xml_document& document, std::span<const std::byte> data,
                                        std::string_view root, std::string_view format) {
    // Entities are not expanded beyond the predefined ones, so a document
    // cannot grow in memory beyond its own size; an element keeps its text
    // itself rather than in a node of its own, a third fewer nodes a point.
    const pugi::xml_parse_result parsed = document.load_buffer(
        data.data(), data.size(), pugi::parse_minimal | pugi::parse_escapes | pugi::parse_embed_pcdata,
        pugi::encoding_auto);
    if (!parsed)
        return Error{ErrorCode::invalid, static_cast<std::int64_t>(parsed.offset),
                     "not a well-formed " + std::string(format) + " file: " + parsed.description() + " at byte " +
                         std::to_string(parsed.offset)};
    const pugi::xml_node element = document.document_element();
    std::string_view name = element.name();
    if (const auto colon = name.find(':'); colon != std::string_view::npos) name.remove_prefix(colon + 1);
    if (name != root)
        return makeError(ErrorCode::invalid, "not a " + std::string(format) + " file: its root element is <" +
                                                 std::string(element.name()) + ">, not <" + std::string(root) + ">");
    return element;
}

}  // namespace vb
