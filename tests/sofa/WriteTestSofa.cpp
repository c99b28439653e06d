// Writes a SOFA file's CDL text (for ncgen) holding the spherical head of SphericalHead.h, or one
// of the faults the table generator must refuse (a response with a NaN in it, one 100 dB too
// loud), or a dense set for timing a load (2,592 directions, 5 degrees apart, at 96 kHz):
//   write-test-sofa good|convention|one-receiver|no-horizontal|nan|loud|dense OUTPUT.cdl
#include "tests/sofa/SphericalHead.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Direction {
    double azimuth, elevation; // degrees, azimuth counter-clockwise from the front
};

std::vector<Direction> grid(bool horizontal, bool dense) {
    std::vector<Direction> all;
    if (dense) {
        for (int e = 0; e < 36; ++e)
            for (int a = 0; a < 72; ++a)
                all.push_back({5.0 * a, -87.5 + 5.0 * e});
        return all;
    }
    const std::vector<double> rings =
        horizontal ? std::vector<double>{-30, 0, 30, 60} : std::vector<double>{45, 60};
    for (double elevation : rings)
        for (int a = 0; a < 24; ++a)
            all.push_back({15.0 * a, elevation});
    all.push_back({0, 90});
    return all;
}

} // namespace

int main(int argc, char** argv) {
    const std::string variant = argc == 3 ? argv[1] : "";
    if (variant != "good" && variant != "convention" && variant != "one-receiver" &&
        variant != "no-horizontal" && variant != "nan" && variant != "loud" && variant != "dense") {
        std::fprintf(stderr, "usage: write-test-sofa "
                             "good|convention|one-receiver|no-horizontal|nan|loud|dense OUT\n");
        return 2;
    }
    std::FILE* out = std::fopen(argv[2], "w");
    if (!out) return 1;
    const bool dense = variant == "dense";
    const double rate = dense ? 96000.0 : sphericalhead::kRate;
    const int taps = dense ? 2 * sphericalhead::kTaps : sphericalhead::kTaps;
    const std::vector<Direction> directions = grid(variant != "no-horizontal", dense);
    const int receivers = variant == "one-receiver" ? 1 : 2;
    const char* convention = variant == "convention" ? "GeneralFIR" : "SimpleFreeFieldHRIR";

    std::fprintf(out,
                 "netcdf head {\ndimensions:\n I = 1 ; C = 3 ; R = %d ; E = 1 ; N = %d ;"
                 " M = %zu ;\nvariables:\n",
                 receivers, taps, directions.size());
    std::fprintf(out, " double ListenerPosition(I, C) ; ListenerPosition:Type = \"cartesian\" ;"
                      " ListenerPosition:Units = \"metre\" ;\n"
                      " double ReceiverPosition(R, C, I) ; ReceiverPosition:Type = \"cartesian\" ;"
                      " ReceiverPosition:Units = \"metre\" ;\n"
                      " double SourcePosition(M, C) ; SourcePosition:Type = \"spherical\" ;"
                      " SourcePosition:Units = \"degree, degree, metre\" ;\n"
                      " double EmitterPosition(E, C, I) ; EmitterPosition:Type = \"cartesian\" ;"
                      " EmitterPosition:Units = \"metre\" ;\n"
                      " double ListenerUp(I, C) ;\n"
                      " double ListenerView(I, C) ; ListenerView:Type = \"cartesian\" ;"
                      " ListenerView:Units = \"metre\" ;\n"
                      " double Data.IR(M, R, N) ;\n"
                      " double Data.SamplingRate(I) ; Data.SamplingRate:Units = \"hertz\" ;\n"
                      " double Data.Delay(M, R) ;\n");
    std::fprintf(out,
                 " :Conventions = \"SOFA\" ; :Version = \"1.0\" ; :SOFAConventions = \"%s\" ;"
                 " :SOFAConventionsVersion = \"1.0\" ; :DataType = \"FIR\" ;"
                 " :RoomType = \"free field\" ; :Title = \"spherical head\" ;"
                 " :APIName = \"write-test-sofa\" ; :APIVersion = \"1.0\" ;"
                 " :AuthorContact = \"\" ; :Organization = \"\" ; :License = \"none\" ;"
                 " :Comment = \"\" ; :History = \"\" ; :References = \"\" ; :Origin = \"\" ;"
                 " :DateCreated = \"2026-01-01 00:00:00\" ;"
                 " :DateModified = \"2026-01-01 00:00:00\" ; :DatabaseName = \"test\" ;"
                 " :ListenerShortName = \"sphere\" ;\n",
                 convention);
    std::fprintf(out,
                 "data:\n ListenerPosition = 0, 0, 0 ;\n ReceiverPosition = 0, %s ;\n"
                 " EmitterPosition = 0, 0, 0 ;\n ListenerUp = 0, 0, 1 ;\n"
                 " ListenerView = 1, 0, 0 ;\n Data.SamplingRate = %.0f ;\n",
                 receivers == 2 ? "0.0875, 0, 0, -0.0875, 0" : "0.0875, 0", rate);
    std::string positions, responses, delays;
    char number[64];
    for (const Direction& d : directions) {
        std::snprintf(number, sizeof number, "%s%g, %g, 1.2", positions.empty() ? "" : ", ",
                      d.azimuth, d.elevation);
        positions += number;
        const double az = d.azimuth * std::numbers::pi / 180,
                     el = d.elevation * std::numbers::pi / 180;
        const std::array<double, 3> u = {std::cos(el) * std::cos(az), std::cos(el) * std::sin(az),
                                         std::sin(el)};
        for (int ear = 0; ear < receivers; ++ear) {
            const double angle = sphericalhead::earAngle(u, ear);
            const bool damaged = &d == &directions[5] && ear == 1;
            int t = 0;
            for (double v : sphericalhead::impulseResponse(angle, rate, taps)) {
                const char* separator = responses.empty() ? "" : ", ";
                if (damaged && variant == "nan" && t == 20)
                    std::snprintf(number, sizeof number, "%sNaN", separator);
                else
                    std::snprintf(number, sizeof number, "%s%.17g", separator,
                                  damaged && variant == "loud" ? v * 1e5 : v);
                responses += number;
                ++t;
            }
            std::snprintf(number, sizeof number, "%s%.17g", delays.empty() ? "" : ", ",
                          sphericalhead::delaySamples(angle, rate));
            delays += number;
        }
    }
    std::fprintf(out, " SourcePosition = %s ;\n Data.IR = %s ;\n Data.Delay = %s ;\n}\n",
                 positions.c_str(), responses.c_str(), delays.c_str());
    return std::fclose(out) == 0 ? 0 : 1;
}
