// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Backdrop.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace {

// The light (glow, clouds and vignette together) changes too slowly across the picture to need
// working out at every pixel, which would cost more than decoding a picture of the background: it
// is worked out every LightStep pixels each way and blended in between, within a level of the
// exact value.
constexpr int LightStep = 8;

// The grain is one run of GrainRun values, several rows long, that each row reads from its own
// start: one look-up a pixel, and no pattern that repeats down the columns or along the rows (a
// column of grain repeated shows as a faint stripe). The run's first LightStep values follow it
// once more, so that a span between two nodes of light reads on without wrapping around.
constexpr int GrainRun = 4096;

double SmoothStep(double t) {
    return t * t * (3.0 - 2.0 * t);
}

// Smooth noise in [0, 1): HashNoise on a lattice of `cell` pixels, blended between the nodes.
// The nodes that an area of `extent` (from 0, 0) needs are hashed once.
class ValueNoise {
public:
    ValueNoise(QSize extent, double cell, std::uint32_t seed)
        : m_cell(cell), m_columns(static_cast<int>(extent.width() / cell) + 2) {
        const int rows = static_cast<int>(extent.height() / cell) + 2;
        m_nodes.reserve(static_cast<std::size_t>(m_columns) * static_cast<std::size_t>(rows));
        for (int y = 0; y < rows; ++y) {
            for (int x = 0; x < m_columns; ++x)
                m_nodes.push_back(HashNoise(x, y, seed));
        }
    }

    // At (x, y) within the extent.
    double at(double x, double y) const {
        const double gx = x / m_cell;
        const double gy = y / m_cell;
        const int x0 = static_cast<int>(gx);
        const int y0 = static_cast<int>(gy);
        const double tx = SmoothStep(gx - x0);
        const double ty = SmoothStep(gy - y0);
        const double top = std::lerp(node(x0, y0), node(x0 + 1, y0), tx);
        const double bottom = std::lerp(node(x0, y0 + 1), node(x0 + 1, y0 + 1), tx);
        return std::lerp(top, bottom, ty);
    }

private:
    double node(int x, int y) const {
        return m_nodes[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_columns) +
                       static_cast<std::size_t>(x)];
    }

    double m_cell;
    int m_columns;
    std::vector<double> m_nodes;
};

// Up to `gain` brighter within the glow's ellipse, most in its centre.
double Glow(const Backdrop& backdrop, QPointF point) {
    const double dx = (point.x() - backdrop.glowCentre.x()) / backdrop.glowRadius.width();
    const double dy = (point.y() - backdrop.glowCentre.y()) / backdrop.glowRadius.height();
    const double distance = std::sqrt(dx * dx + dy * dy);
    return distance < 1.0 ? 1.0 + backdrop.glowGain * SmoothStep(1.0 - distance) : 1.0;
}

// Darker towards the edges of the shown area, by `vignette` in its corners.
double Vignette(const Backdrop& backdrop, QPointF point) {
    const QPointF centre = backdrop.shown.center();
    const double dx = (point.x() - centre.x()) / (backdrop.shown.width() / 2);
    const double dy = (point.y() - centre.y()) / (backdrop.shown.height() / 2);
    const double reach = std::min(1.0, (dx * dx + dy * dy) / 2.0); // 1 in the corners
    return 1.0 - backdrop.vignette * SmoothStep(reach);
}

// The light every LightStep pixels each way: node (i, j) is that of pixel (i * LightStep,
// j * LightStep). The last nodes lie at or past the picture's far edges.
class LightGrid {
public:
    LightGrid(QSize size, const Backdrop& backdrop)
        : m_columns((size.width() - 1) / LightStep + 2) {
        const int rows = (size.height() - 1) / LightStep + 2;
        const QSize extent((m_columns - 1) * LightStep + 1, (rows - 1) * LightStep + 1);
        // Patches of no size are no clouds.
        std::optional<ValueNoise> broad, fine;
        if (backdrop.cloudCell > 0) {
            broad.emplace(extent, backdrop.cloudCell, backdrop.cloudSeed);
            fine.emplace(extent, backdrop.cloudCell / 3.0, backdrop.cloudSeed + 1);
        }
        m_nodes.reserve(static_cast<std::size_t>(m_columns) * static_cast<std::size_t>(rows));
        for (int j = 0; j < rows; ++j) {
            for (int i = 0; i < m_columns; ++i) {
                const int x = i * LightStep;
                const int y = j * LightStep;
                const QPointF centre(x + 0.5, y + 0.5);
                const double clouds = broad ? 0.7 * broad->at(x, y) + 0.3 * fine->at(x, y) : 0.5;
                const double light = Glow(backdrop, centre) *
                                     (1.0 + backdrop.cloudDepth * (2.0 * clouds - 1.0)) *
                                     Vignette(backdrop, centre);
                m_nodes.push_back(static_cast<float>(light));
            }
        }
    }

    std::size_t columns() const { return static_cast<std::size_t>(m_columns); }

    // The light on row y at each column of nodes, blended between the rows of nodes around it.
    void alongRow(int y, std::vector<float>& light) const {
        const std::size_t above = static_cast<std::size_t>(y / LightStep) * columns();
        const std::size_t below = above + columns();
        const float down = static_cast<float>(y % LightStep) / LightStep;
        for (std::size_t i = 0; i < columns(); ++i)
            light[i] = m_nodes[above + i] + (m_nodes[below + i] - m_nodes[above + i]) * down;
    }

private:
    int m_columns;
    std::vector<float> m_nodes;
};

std::vector<float> GrainRunOf(const Backdrop& backdrop) {
    std::vector<float> run;
    run.reserve(GrainRun + LightStep);
    for (int i = 0; i < GrainRun + LightStep; ++i) {
        const double shift =
            backdrop.grain * (2.0 * HashNoise(i % GrainRun, 0, backdrop.grainSeed) - 1.0);
        run.push_back(static_cast<float>(shift));
    }
    return run;
}

// Where row y starts reading the grain run.
int GrainStart(const Backdrop& backdrop, int y) {
    return static_cast<int>(HashNoise(y, 1, backdrop.grainSeed) * GrainRun);
}

// The gradient's colour, channel by channel, `t` of the way from the top to the bottom.
struct Channels {
    float red;
    float green;
    float blue;
};

Channels GradientAt(const Backdrop& backdrop, double t) {
    const auto channel = [t](int top, int bottom) {
        return static_cast<float>(std::lround(top + (bottom - top) * t));
    };
    return {channel(backdrop.top.red(), backdrop.bottom.red()),
            channel(backdrop.top.green(), backdrop.bottom.green()),
            channel(backdrop.top.blue(), backdrop.bottom.blue())};
}

// A level, rounded and clamped.
QRgb Level(float value) {
    return static_cast<QRgb>(static_cast<int>(std::clamp(value + 0.5f, 0.0f, 255.0f)));
}

// The LightStep pixels from one node of light towards the next, grained: a loop of fixed length,
// which compilers turn into vector instructions, four or eight pixels at once.
void DrawSpan(const Channels& colour, float fromLight, float toLight, const float* grain,
              QRgb* pixels) {
    const float step = (toLight - fromLight) / LightStep;
    for (int k = 0; k < LightStep; ++k) {
        const float light = fromLight + step * static_cast<float>(k);
        pixels[k] = 0xff000000u | Level(colour.red * light + grain[k]) << 16 |
                    Level(colour.green * light + grain[k]) << 8 |
                    Level(colour.blue * light + grain[k]);
    }
}

} // namespace

double HashNoise(int x, int y, std::uint32_t seed) {
    // A small integer hash (xorshift-multiply): well mixed, and the same on every platform.
    std::uint32_t h = seed ^ 0x9E3779B9u;
    h ^= static_cast<std::uint32_t>(x) * 0x85EBCA6Bu;
    h = (h ^ (h >> 13)) * 0xC2B2AE35u;
    h ^= static_cast<std::uint32_t>(y) * 0x27D4EB2Fu;
    h = (h ^ (h >> 16)) * 0x165667B1u;
    h ^= h >> 15;
    return static_cast<double>(h) / 4294967296.0;
}

QImage DrawBackdrop(QSize size, const Backdrop& backdrop) {
    QImage picture(size, QImage::Format_RGB32);
    if (picture.isNull())
        return picture;
    const LightGrid grid(size, backdrop);
    const std::vector<float> grain = GrainRunOf(backdrop);
    std::vector<float> light(grid.columns());
    // A row is drawn span by span, each LightStep pixels long, into a buffer as long as the
    // spans, of which the picture takes its width.
    const std::size_t spans = grid.columns() - 1;
    std::vector<QRgb> row(spans * LightStep);
    for (int y = 0; y < size.height(); ++y) {
        grid.alongRow(y, light);
        const Channels colour = GradientAt(backdrop, (y + 0.5) / size.height());
        const int grainStart = GrainStart(backdrop, y);
        for (std::size_t node = 0; node < spans; ++node) {
            const int x = static_cast<int>(node) * LightStep;
            DrawSpan(colour, light[node], light[node + 1], &grain[(grainStart + x) % GrainRun],
                     &row[static_cast<std::size_t>(x)]);
        }
        std::copy_n(row.data(), size.width(), reinterpret_cast<QRgb*>(picture.scanLine(y)));
    }
    return picture;
}
