#pragma once
// What the GPX and TCX readers share: finding an XML document's root element
// without parsing the document, reading the ISO 8601 times and the decimal
// numbers both formats write, and matching element names in the document's
// own namespace only, so that extension elements of other namespaces are
// skipped rather than misread.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "base/Result.h"
#include "import/Track.h"

namespace vb {

/// The local name of the root element (the part after any "prefix:") of the
/// XML document that `head` starts, after an optional UTF-8 byte order mark,
/// XML declaration, processing instructions, comments, a document type and
/// white space; empty when `head` does not start an XML document or ends
/// before the root element's name.
std::string_view xmlRootElement(std::span<const std::byte> head);

/// True when `head` starts an XML document but ends before its root
/// element's name does: more of the file is needed to recognise it.
bool xmlRootPending(std::span<const std::byte> head);

/// Seconds since 1970-01-01T00:00:00Z of an ISO 8601 date and time
/// ("2025-05-09T12:38:04Z", fractions of a second and "+02:00" offsets
/// allowed; no zone means UTC); NaN when `text` is not one.
double parseIsoTime(std::string_view text);

/// The decimal number that `text` holds (surrounding white space allowed);
/// NaN when it holds anything else or is not finite.
double parseXmlNumber(std::string_view text);

/// The elements of a document in the namespace of its root: a child matches a
/// local name when it carries the root's own prefix (or none when the root has
/// none).
class XmlNames {
public:
    explicit XmlNames(const pugi::xml_node& root);
    /// The child of `parent` named `local` in the document's namespace.
    pugi::xml_node child(const pugi::xml_node& parent, std::string_view local) const;
    /// True when `node` is named `local` in the document's namespace.
    bool is(const pugi::xml_node& node, std::string_view local) const;
    /// The number in child `local` of `parent`; NaN when it has none.
    double number(const pugi::xml_node& parent, std::string_view local) const;

private:
    std::string m_prefix;  // "p:" or empty
};

/// Parses `data` as an XML document whose root element is `root` (local name),
/// or an error that names the byte offset where parsing failed.
Result<pugi::xml_node> parseXmlDocument(pugi::xml_document& document, std::span<const std::byte> data,
                                        std::string_view root, std::string_view format);

}  // namespace vb
