// The `profile` command: the route view of a ride drawn as SVG, the way the
// window shows it after an import and two slider moves: the black profile
// with the stretch in red, and the "Start:" and "Route:" labels.

#include <memory>

#include "base/Files.h"
#include "cli/Commands.h"
#include "route/RouteView.h"
#include "route/SvgCanvas.h"

namespace vb::cli {

namespace {

namespace fs = std::filesystem;

// The route area of the window (its outline) and the two labels, in twips.
constexpr int kAreaLeft = 120;
constexpr int kAreaTop = 3840;
constexpr int kAreaWidth = 7575;
constexpr int kAreaHeight = 3975;
constexpr int kLabelLeft = 240;
constexpr int kStartLabelTop = 3870;
constexpr int kRouteLabelTop = 4110;

struct ProfileOptions {
    std::string ride;
    int from = 0;
    int to = 0;
    std::string svg;
    CLI::Option* toGiven = nullptr;
};

void runProfile(Context& ctx, const ProfileOptions& o) {
    const fs::path rideFile = pathFromUtf8(o.ride);
    ctx.inputs.push_back(rideFile);
    RideRecord ride;
    if (!loadRideFile(ctx, rideFile, ride)) return;
    if (ride.samples.sampleCount() <= 0) {
        ctx.status = refuse(ctx, rideFile, "the ride holds no samples");
        return;
    }

    RouteView view;
    refreshRouteView(view, ride);
    const int to = o.toGiven->count() ? o.to : view.lastRow;
    if (auto refused = rowsProblem(o.from, to, view.lastRow)) {
        ctx.status = refuse(ctx, rideFile, *refused);
        return;
    }
    view.startPos = o.from;
    view.endPos = to;
    Show_RouteDetail(view, ride);

    SvgCanvas canvas(kAreaLeft, kAreaTop, kAreaWidth, kAreaHeight);
    canvas.outline(kAreaLeft, kAreaTop, kAreaWidth, kAreaHeight);
    canvas.text(kLabelLeft, kStartLabelTop, "Start: " + view.startLabel);
    canvas.text(kLabelLeft, kRouteLabelTop, "Route: " + view.routeLabel);
    Paint_Route(view, ride, canvas);
    const std::string svg = canvas.svg();

    const fs::path out = pathFromUtf8(o.svg);
    if (!mayWrite(ctx, out)) return;
    if (auto saved = saveFile(out, toBytes(svg)); !saved) {
        ctx.status = refuse(ctx, out, saved.error().message);
        return;
    }
    if (!hasProfileScale(view))
        warn(ctx, rideFile, "the ride has no distance or no altitude above 0; the profile is empty");
    ctx.out << "wrote: " << displayPath(out) << '\n'
            << "rows: " << view.startPos << ".." << view.endPos << " of 0.." << view.lastRow << '\n'
            << "start: " << view.startLabel << '\n'
            << "route: " << view.routeLabel << '\n';
}

}  // namespace

void addProfileCommand(CLI::App& app, Context& ctx) {
    auto* sub = app.add_subcommand("profile", "draw a ride's route profile with the chosen stretch as SVG");
    auto o = std::make_shared<ProfileOptions>();
    sub->add_option("RIDE", o->ride, "HRM, HAC4, FIT, GPX or TCX ride file")->required();
    sub->add_option("--from", o->from, "the start slider's row (default 0)");
    o->toGiven = sub->add_option("--to", o->to, "the end slider's row (default the last row)");
    sub->add_option("--svg", o->svg, "the SVG file to write")->required();
    addSettingsOption(*sub, ctx);
    addSmoothOption(*sub, ctx);
    sub->callback([&ctx, o] { runProfile(ctx, *o); });
}

}  // namespace vb::cli
