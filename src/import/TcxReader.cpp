#include "import/TcxReader.h"

#include <cmath>

#include "import/XmlTrack.h"

namespace vb {

namespace {

class TcxParts {
public:
    TcxParts(const XmlNames& names, Track& track) : m_names(names), m_track(track) {}

    // An activity or a course: its laps' tracks and its own tracks, in order.
    void part(const pugi::xml_node& node) {
        for (pugi::xml_node child : node.children()) {
            if (m_names.is(child, "Track")) points(child);
            else if (m_names.is(child, "Lap"))
                for (pugi::xml_node track : child.children())
                    if (m_names.is(track, "Track")) points(track);
        }
        ++m_part;
    }

private:
    void points(const pugi::xml_node& track) {
        for (pugi::xml_node node : track.children()) {
            if (!m_names.is(node, "Trackpoint")) continue;
            TrackPoint point;
            point.part = m_part;
            if (const pugi::xml_node time = m_names.child(node, "Time")) point.time = parseIsoTime(time.child_value());
            if (const pugi::xml_node position = m_names.child(node, "Position")) {
                const double latitude = m_names.number(position, "LatitudeDegrees");
                const double longitude = m_names.number(position, "LongitudeDegrees");
                if (std::abs(latitude) <= 90 && std::abs(longitude) <= 180) {
                    point.latitude = latitude;
                    point.longitude = longitude;
                }
            }
            point.altitude = m_names.number(node, "AltitudeMeters");
            point.distance = m_names.number(node, "DistanceMeters");
            m_track.points.push_back(point);
        }
    }

    const XmlNames& m_names;
    Track& m_track;
    int m_part = 0;
};

}  // namespace

bool looksLikeTcx(std::span<const std::byte> head) { return xmlRootElement(head) == "TrainingCenterDatabase"; }

Result<Track> readTcxTrack(std::span<const std::byte> data) {
    pugi::xml_document document;
    auto root = parseXmlDocument(document, data, "TrainingCenterDatabase", "TCX");
    if (!root) return root.error();
    const XmlNames names(*root);
    Track track;
    track.format = TrackFormat::tcx;
    track.version = "TCX";
    TcxParts parts(names, track);
    for (const char* group : {"Activities", "Courses"}) {
        for (pugi::xml_node node : names.child(*root, group).children()) {
            if (!names.is(node, "Activity") && !names.is(node, "Course")) continue;
            if (track.creator.empty())
                track.creator = names.child(names.child(node, "Creator"), "Name").child_value();
            parts.part(node);
        }
    }
    return track;
}

}  // namespace vb
