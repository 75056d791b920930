#include "app/DelimitedText.h"

namespace vb {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

/// Reads one item starting at `pos`; leaves `pos` after the comma that ends it,
/// or at the line's end.
std::string readItem(std::string_view line, std::size_t& pos) {
    while (pos < line.size() && isBlank(line[pos])) ++pos;
    std::string item;
    if (pos < line.size() && line[pos] == '"') {
        const std::size_t close = line.find('"', pos + 1);
        const std::size_t end = close == std::string_view::npos ? line.size() : close;
        item.assign(line.substr(pos + 1, end - pos - 1));
        pos = end;
        const std::size_t comma = line.find(',', pos);
        pos = comma == std::string_view::npos ? line.size() : comma + 1;
        return item;
    }
    const std::size_t comma = line.find(',', pos);
    const std::size_t end = comma == std::string_view::npos ? line.size() : comma;
    std::size_t last = end;
    while (last > pos && isBlank(line[last - 1])) --last;
    item.assign(line.substr(pos, last - pos));
    pos = comma == std::string_view::npos ? line.size() : comma + 1;
    return item;
}

}  // namespace

std::vector<std::string_view> textLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t feed = text.find('\n', start);
        const std::size_t end = feed == std::string_view::npos ? text.size() : feed;
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = feed == std::string_view::npos ? text.size() : feed + 1;
    }
    return lines;
}

std::vector<std::string> delimitedItems(std::string_view line) {
    std::vector<std::string> items;
    std::size_t pos = 0;
    do {
        items.push_back(readItem(line, pos));
    } while (pos < line.size());
    return items;
}

std::string firstItem(std::string_view line) {
    std::size_t pos = 0;
    return readItem(line, pos);
}

}  // namespace vb
