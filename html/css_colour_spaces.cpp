#include "html/css_colour_spaces.h"

#include <cmath>
#include <cstdlib>

#include "html/css_values.h"

namespace html {

namespace {

constexpr double kPi = 3.14159265358979323846;

// A number, or a percentage scaled so that 100% is `hundredPercent`; "none" is 0.
bool component(const std::string& s, double hundredPercent, double& out) {
    if (s == "none") {
        out = 0;
        return true;
    }
    char* end = nullptr;
    out = std::strtod(s.c_str(), &end);
    if (end == s.c_str() || !std::isfinite(out)) return false;
    const std::string unit(end);
    if (unit == "%")
        out = out / 100 * hundredPercent;
    else if (!unit.empty())
        return false;
    return true;
}

std::uint32_t channel(double linear) {
    const double c = linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
    const double v = std::lround(c * 255);
    return static_cast<std::uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

std::uint32_t fromLinear(double r, double g, double b) { return channel(r) << 16 | channel(g) << 8 | channel(b); }

std::uint32_t fromLab(double l, double a, double b) {
    const double kappa = 24389.0 / 27, epsilon = 216.0 / 24389;
    const double fy = (l + 16) / 116, fx = a / 500 + fy, fz = fy - b / 200;
    const double x = (fx * fx * fx > epsilon ? fx * fx * fx : (116 * fx - 16) / kappa) * 0.3457 / 0.3585;
    const double y = l > kappa * epsilon ? fy * fy * fy : l / kappa;
    const double z = (fz * fz * fz > epsilon ? fz * fz * fz : (116 * fz - 16) / kappa) * (1 - 0.3457 - 0.3585) / 0.3585;
    // D50 to D65 (Bradford), then XYZ to linear sRGB.
    const double x65 = 0.955473421488075 * x - 0.02309845494876471 * y + 0.06325924320057072 * z;
    const double y65 = -0.0283697093338637 * x + 1.0099953980813041 * y + 0.021041441191917323 * z;
    const double z65 = 0.012314014864481998 * x - 0.020507649298898964 * y + 1.330365926242124 * z;
    return fromLinear(3.2409699419045226 * x65 - 1.537383177570094 * y65 - 0.4986107602930034 * z65,
                      -0.9692436362808796 * x65 + 1.8759675015077202 * y65 + 0.04155505740717559 * z65,
                      0.05563007969699366 * x65 - 0.20397695888897652 * y65 + 1.0569715142428786 * z65);
}

std::uint32_t fromOklab(double l, double a, double b) {
    const double l1 = l + 0.3963377774 * a + 0.2158037573 * b;
    const double m1 = l - 0.1055613458 * a - 0.0638541728 * b;
    const double s1 = l - 0.0894841775 * a - 1.2914855480 * b;
    const double l3 = l1 * l1 * l1, m3 = m1 * m1 * m1, s3 = s1 * s1 * s1;
    return fromLinear(4.0767416621 * l3 - 3.3077115913 * m3 + 0.2309699292 * s3,
                      -1.2684380046 * l3 + 2.6097574011 * m3 - 0.3413193965 * s3,
                      -0.0041960863 * l3 - 0.7034186147 * m3 + 1.7076147010 * s3);
}

}  // namespace

bool colourInOtherSpace(const std::string& function, const std::vector<std::string>& args, std::uint32_t& rgb) {
    if (function == "color") {
        // color(SPACE r g b [/ alpha])
        double r, g, b;
        if ((args.size() != 4 && args.size() != 5) || !component(args[1], 1, r) || !component(args[2], 1, g) ||
            !component(args[3], 1, b))
            return false;
        if (args[0] == "srgb") {
            auto byte = [](double v) {
                const double c = std::lround(v * 255);
                return static_cast<std::uint32_t>(c < 0 ? 0 : c > 255 ? 255 : c);
            };
            rgb = byte(r) << 16 | byte(g) << 8 | byte(b);
            return true;
        }
        if (args[0] == "srgb-linear") {
            rgb = fromLinear(r, g, b);
            return true;
        }
        return false;
    }
    if (args.size() != 3 && args.size() != 4) return false;
    double l, x, y;
    if (function == "lab" || function == "oklab") {
        const bool ok = function == "lab";
        if (!component(args[0], ok ? 100 : 1, l) || !component(args[1], ok ? 125 : 0.4, x) ||
            !component(args[2], ok ? 125 : 0.4, y))
            return false;
        rgb = ok ? fromLab(l, x, y) : fromOklab(l, x, y);
        return true;
    }
    if (function == "lch" || function == "oklch") {
        const bool cie = function == "lch";
        double chroma, hue;
        if (!component(args[0], cie ? 100 : 1, l) || !component(args[1], cie ? 150 : 0.4, chroma) ||
            !parseHue(args[2], hue))
            return false;
        if (chroma < 0) chroma = 0;
        x = chroma * std::cos(hue * kPi / 180);
        y = chroma * std::sin(hue * kPi / 180);
        rgb = cie ? fromLab(l, x, y) : fromOklab(l, x, y);
        return true;
    }
    return false;
}

}  // namespace html
