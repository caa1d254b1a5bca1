// Writes the example's button pictures: a circle, a star and a rounded arrow, each as a
// normal, a hover and a pressed 24-bit BMP, on magenta (255, 0, 255), the colour the
// buttons cut away. Edges are hard on purpose: a pixel blended towards magenta would fall
// outside the transparent range and show as a pink fringe.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Rgb {
    double r, g, b;
};

constexpr Rgb MAGENTA{255, 0, 255};
constexpr double BORDER = 2.5; // width of the dark rim inside each outline, in pixels

struct Point {
    double x, y;
};

double Length(double x, double y) {
    return std::sqrt(x * x + y * y);
}

double SegmentDistance(Point p, Point a, Point b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double t =
        std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return Length(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

// Signed distance to a closed polygon: negative inside (even-odd rule), positive outside.
double PolygonDistance(Point p, const std::vector<Point>& poly) {
    double d = 1e9;
    bool inside = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        d = std::min(d, SegmentDistance(p, poly[j], poly[i]));
        if ((poly[i].y > p.y) != (poly[j].y > p.y) &&
            p.x < (poly[j].x - poly[i].x) * (p.y - poly[i].y) / (poly[j].y - poly[i].y) + poly[i].x)
            inside = !inside;
    }
    return inside ? -d : d;
}

struct Shape {
    const char* name;
    int width, height;
    Rgb colour;                            // the normal picture's middle tone
    std::function<double(Point)> distance; // signed distance to the outline
};

std::vector<Point> Star(Point centre, double outer, double inner) {
    std::vector<Point> p;
    for (int i = 0; i < 10; ++i) {
        const double angle = -M_PI / 2 + i * M_PI / 5;
        const double r = i % 2 ? inner : outer;
        p.push_back({centre.x + r * std::cos(angle), centre.y + r * std::sin(angle)});
    }
    return p;
}

std::vector<Shape> Shapes() {
    const std::vector<Point> star = Star({36, 38}, 35, 15);
    // The arrow's head is a triangle shrunk by its rounding radius; the shaft a capsule.
    const std::vector<Point> head = {{54, 9}, {86, 28}, {54, 47}};
    return {
        {"circle", 72, 72, {40, 150, 160}, [](Point p) { return Length(p.x - 36, p.y - 36) - 34; }},
        {"star", 72, 72, {230, 180, 40}, [star](Point p) { return PolygonDistance(p, star); }},
        {"arrow",
         96,
         56,
         {220, 90, 70},
         [head](Point p) {
             const double shaft = SegmentDistance(p, {14, 28}, {60, 28}) - 11;
             const double tip = PolygonDistance(p, head) - 5;
             return std::min(shaft, tip);
         }},
    };
}

Rgb Scale(Rgb c, double k) {
    auto ch = [k](double v) { return std::clamp(v * k, 0.0, 250.0); };
    return {ch(c.r), ch(c.g), ch(c.b)};
}

// State 'N' normal, 'H' hover (brighter, with a light inner rim), 'P' pressed (darker,
// lit from below as if pushed in).
Rgb Shade(const Shape& s, char state, Point p, double d) {
    if (d > -BORDER) return Scale(s.colour, state == 'H' ? 0.55 : 0.35);
    if (state == 'H' && d > -BORDER - 2) return {250, 250, 235};
    const double t = p.y / s.height; // 0 at the top, 1 at the bottom
    if (state == 'P') return Scale(s.colour, 0.6 + 0.3 * t);
    return Scale(s.colour, (state == 'H' ? 1.5 : 1.2) - 0.4 * t);
}

bool WriteBmp(const std::filesystem::path& path, int width, int height,
              const std::vector<Rgb>& pixels) {
    const int stride = (width * 3 + 3) / 4 * 4;
    const uint32_t imageBytes = static_cast<uint32_t>(stride * height);
    std::vector<uint8_t> out;
    auto put16 = [&](uint32_t v) {
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
    };
    auto put32 = [&](uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    out.push_back('B');
    out.push_back('M');
    put32(54 + imageBytes);
    put32(0);
    put32(54);
    put32(40);
    put32(static_cast<uint32_t>(width));
    put32(static_cast<uint32_t>(height)); // bottom row first
    put16(1);
    put16(24);
    put32(0); // BI_RGB
    put32(imageBytes);
    put32(2835);
    put32(2835);
    put32(0);
    put32(0);
    for (int y = height - 1; y >= 0; --y) {
        const size_t start = out.size();
        for (int x = 0; x < width; ++x) {
            const Rgb& c = pixels[static_cast<size_t>(y) * width + x];
            out.push_back(static_cast<uint8_t>(std::lround(c.b)));
            out.push_back(static_cast<uint8_t>(std::lround(c.g)));
            out.push_back(static_cast<uint8_t>(std::lround(c.r)));
        }
        out.resize(start + static_cast<size_t>(stride), 0);
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_button_pictures OUTPUT_FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    for (const Shape& s : Shapes()) {
        for (char state : {'N', 'H', 'P'}) {
            std::vector<Rgb> pixels;
            for (int y = 0; y < s.height; ++y)
                for (int x = 0; x < s.width; ++x) {
                    const Point p{x + 0.5, y + 0.5};
                    const double d = s.distance(p);
                    pixels.push_back(d <= 0 ? Shade(s, state, p, d) : MAGENTA);
                }
            const std::filesystem::path path = folder / (std::string(s.name) + state + ".BMP");
            if (!WriteBmp(path, s.width, s.height, pixels)) {
                std::fprintf(stderr, "make_button_pictures: cannot write %s\n", path.c_str());
                return 1;
            }
        }
    }
    return 0;
}
