#include "import/GpxReader.h"

#include <cmath>

#include "import/XmlTrack.h"

namespace vb {

namespace {

TrackPoint gpxPoint(const XmlNames& names, const pugi::xml_node& node, int part) {
    TrackPoint point;
    point.part = part;
    const double latitude = parseXmlNumber(node.attribute("lat").value());
    const double longitude = parseXmlNumber(node.attribute("lon").value());
    if (std::abs(latitude) <= 90 && std::abs(longitude) <= 180) {
        point.latitude = latitude;
        point.longitude = longitude;
    }
    point.altitude = names.number(node, "ele");
    if (const pugi::xml_node time = names.child(node, "time")) point.time = parseIsoTime(time.child_value());
    return point;
}

}  // namespace

bool looksLikeGpx(std::span<const std::byte> head) { return xmlRootElement(head) == "gpx"; }

Result<Track> readGpxTrack(std::span<const std::byte> data) {
    pugi::xml_document document;
    auto root = parseXmlDocument(document, data, "gpx", "GPX");
    if (!root) return root.error();
    const XmlNames names(*root);
    Track track;
    track.format = TrackFormat::gpx;
    const std::string version = root->attribute("version").value();
    track.version = version.empty() ? "GPX" : "GPX " + version;
    track.creator = root->attribute("creator").value();

    int part = 0;
    for (pugi::xml_node trk : root->children()) {
        if (!names.is(trk, "trk")) continue;
        for (pugi::xml_node segment : trk.children()) {
            if (!names.is(segment, "trkseg")) continue;
            for (pugi::xml_node point : segment.children())
                if (names.is(point, "trkpt")) track.points.push_back(gpxPoint(names, point, part));
        }
        ++part;
    }
    if (!track.points.empty()) return track;
    for (pugi::xml_node route : root->children()) {
        if (!names.is(route, "rte")) continue;
        for (pugi::xml_node point : route.children())
            if (names.is(point, "rtept")) track.points.push_back(gpxPoint(names, point, part));
        ++part;
    }
    return track;
}

}  // namespace vb
