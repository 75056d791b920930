#include "catalyst/HrmWriter.h"

#include <algorithm>
#include <cmath>

#include "base/Files.h"
#include "base/Text.h"

namespace vb {

namespace {

constexpr int kTripLines = 8;
constexpr int kLineInterval = 5;     // one data line per fifth sample
constexpr double kStepMetres = 5.0;  // one slope profile step

/// The decimal text of v with leading zeros up to `width` characters; nullopt
/// when v is negative or longer than the field.
std::optional<std::string> fill(std::int64_t v, std::size_t width) {
    std::string text = str(v);
    if (v < 0 || text.size() > width) return std::nullopt;
    return std::string(width - text.size(), '0') + text;
}

Error fieldError(std::string_view field, std::int64_t value, int width) {
    return makeError(ErrorCode::range, "start " + std::string(field) + " " + str(value) + " does not fit " +
                                           str(width) + " digits");
}


}  // namespace

Result<std::string> Polar_Date(const CatalystRun& run) {
    const auto& t = run.StartDateTime;
    const auto year = fill(t[kYear], 4);
    const auto month = fill(t[kMonth], 2);
    const auto day = fill(t[kDay], 2);
    if (!year) return fieldError("year", t[kYear], 4);
    if (!month) return fieldError("month", t[kMonth], 2);
    if (!day) return fieldError("day", t[kDay], 2);
    return *year + *month + *day;
}

Result<std::string> Polar_Time(const CatalystRun& run) {
    const auto& t = run.StartDateTime;
    const auto hour = fill(t[kHour], 2);
    const auto minute = fill(t[kMinute], 2);
    if (!hour) return fieldError("hour", t[kHour], 2);
    if (!minute) return fieldError("minute", t[kMinute], 2);
    return *hour + ":" + *minute;
}

std::string Polar_Length(std::int16_t n) {
    int m = n / 60;
    const int s = n % 60;
    int h = 0;
    if (m > 59) {
        h = m / 60;
        m = m % 60;
    }
    // Minutes and seconds are below 60; a negative n keeps its sign as the arithmetic gives it.
    return str(h) + ":" + fill(m, 2).value_or(str(m)) + ":" + fill(s, 2).value_or(str(s)) + ".0";
}

std::optional<std::int16_t> Polar_Altitude(double x) {
    const double r = roundHalfEven(x);
    const double c = std::fmod(roundHalfEven(x * 100), 100.0);  // keeps the sign of x × 100
    return toInt16((r * 100 + c) / 10000);
}

std::filesystem::path hrmFilePath(const Settings& settings, const CatalystRun& run) {
    return pathFromUtf8(joinPath(workingFolder(settings, "HRM"), run.FileName + ".hrm"));
}

Result<Bytes> hrmFileBytes(const CatalystRun& run, std::string_view baseSetting) {
    const std::int16_t last = run.LastSample;
    if (last <= 0) return makeError(ErrorCode::invalid, "the run has no sample to write (last sample " + str(last) + ")");
    if (static_cast<std::size_t>(last) > run.Samples.size())
        return makeError(ErrorCode::range, "last sample " + str(last) + " is beyond the " +
                                               str(static_cast<std::int64_t>(run.Samples.size())) + " samples held");
    auto date = Polar_Date(run);
    if (!date) return date.error();
    auto time = Polar_Time(run);
    if (!time) return time.error();

    std::string text;
    text.reserve(400 + static_cast<std::size_t>(last) / kLineInterval * 32);
    const auto line = [&text](std::string_view s) {
        text += s;
        text += "\r\n";
    };
    line("[Params]");
    line("Version=106");
    line("Monitor=12");
    line("SMode=11111110");
    line("Date=" + *date);
    line("StartTime=" + *time);
    line("Length=" + Polar_Length(last));
    line("Interval=5");
    for (std::string_view section : {"[Note]", "[IntTimes]", "[IntNotes]", "[ExtraData]", "[Summary-123]",
                                     "[Summary-TH]", "[HRZones]", "[SwapTimes]"}) {
        line("");
        line(section);
    }
    line("");
    line("[Trip]");
    for (int i = 0; i < kTripLines; ++i) line("0");
    line("");
    line("[HRData]");

    // The running altitude in centimetres; a line shows the climbs of the
    // samples before it.
    double altitude = leadingNumber(baseSetting) * 100;
    const auto profileSize = static_cast<double>(kSlopeProfileEntries);
    for (std::int16_t i = 0; i < last; ++i) {
        const RunSample& sample = run.Samples[static_cast<std::size_t>(i)];
        if (i % kLineInterval == 0) {
            const auto metres = Polar_Altitude(altitude);
            if (!metres)
                return makeError(ErrorCode::range, "altitude at sample " + str(i) + " does not fit 16 bits (" +
                                                       shortestDouble(altitude / 100) + " m)");
            const auto watts = static_cast<int>(std::floor(sample.power / 10.0));
            line(str(sample.heartRate) + "\t" + str(sample.speed) + "\t" + str(sample.cadence) + "\t" +
                 str(*metres) + "\t" + str(watts) + "\t0");
        }
        const double step = std::trunc(static_cast<double>(sample.distance + run.DistanceOffset) / kStepMetres);
        if (!(step >= 0 && step <= 32767 && step < profileSize))
            return makeError(ErrorCode::range, "sample " + str(i) + " at " +
                                                   shortestFloat(sample.distance + run.DistanceOffset) +
                                                   " m lies outside the slope profile (steps 0 to 32767)");
        const float delta = i == 0 ? sample.distance
                                   : sample.distance - run.Samples[static_cast<std::size_t>(i - 1)].distance;
        const auto at = static_cast<std::size_t>(step);
        const float slope = at < run.SlopeProfile.size() ? run.SlopeProfile[at] : 0.0f;
        altitude += static_cast<double>(slope) * delta;
    }
    return toBytes(text);
}

Result<void> writeHrmFile(const std::filesystem::path& target, const CatalystRun& run, std::string_view baseSetting) {
    auto bytes = hrmFileBytes(run, baseSetting);
    if (!bytes) return bytes.error();
    return saveFile(target, *bytes);
}

Result<std::filesystem::path> writeRunAsHrm(const CatalystRun& run, const std::filesystem::path& hrmFolder,
                                            std::string_view baseSetting) {
    if (run.LastSample <= 0)
        return makeError(ErrorCode::empty, "the run has no sample to write (last sample " + str(run.LastSample) + ")");
    const std::filesystem::path target = hrmFolder / pathFromUtf8(run.FileName + ".hrm");
    if (auto written = writeHrmFile(target, run, baseSetting); !written) return written.error();
    return target;
}

}  // namespace vb
