// SPDX-License-Identifier: GPL-3.0-or-later
#include "Texture.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

int ClampChannel(double value) {
    return std::clamp(static_cast<int>(std::lround(value)), 0, 255);
}

// Adds `delta` levels to the three channels of one pixel; the pictures are opaque.
void ShiftPixel(QRgb& pixel, double delta) {
    pixel = qRgb(ClampChannel(qRed(pixel) + delta), ClampChannel(qGreen(pixel) + delta),
                 ClampChannel(qBlue(pixel) + delta));
}

// Scales the three channels of one pixel by `factor`.
void ScalePixel(QRgb& pixel, double factor) {
    pixel = qRgb(ClampChannel(qRed(pixel) * factor), ClampChannel(qGreen(pixel) * factor),
                 ClampChannel(qBlue(pixel) * factor));
}

template <typename PerPixel> void ForEachPixel(QImage& image, PerPixel perPixel) {
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            perPixel(line[x], x, y);
    }
}

double SmoothStep(double t) {
    return t * t * (3.0 - 2.0 * t);
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

double ValueNoise(double x, double y, double cellSize, std::uint32_t seed) {
    const double gx = x / cellSize;
    const double gy = y / cellSize;
    const int x0 = static_cast<int>(std::floor(gx));
    const int y0 = static_cast<int>(std::floor(gy));
    const double tx = SmoothStep(gx - x0);
    const double ty = SmoothStep(gy - y0);
    const double top = std::lerp(HashNoise(x0, y0, seed), HashNoise(x0 + 1, y0, seed), tx);
    const double bottom =
        std::lerp(HashNoise(x0, y0 + 1, seed), HashNoise(x0 + 1, y0 + 1, seed), tx);
    return std::lerp(top, bottom, ty);
}

QImage VerticalGradient(QSize size, QColor top, QColor bottom) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 0, size.height());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    painter.fillRect(image.rect(), gradient);
    return image;
}

void AddClouds(QImage& image, double cellSize, double depth, std::uint32_t seed) {
    ForEachPixel(image, [&](QRgb& pixel, int x, int y) {
        // Two octaves: broad patches with a finer mottle on top.
        const double broad = ValueNoise(x, y, cellSize, seed);
        const double fine = ValueNoise(x, y, cellSize / 3.0, seed + 1);
        ScalePixel(pixel, 1.0 + depth * (2.0 * (0.7 * broad + 0.3 * fine) - 1.0));
    });
}

void AddGrain(QImage& image, double amplitude, std::uint32_t seed) {
    ForEachPixel(image, [&](QRgb& pixel, int x, int y) {
        ShiftPixel(pixel, amplitude * (2.0 * HashNoise(x, y, seed) - 1.0));
    });
}

void AddVignette(QImage& image, QRectF area, double strength) {
    const QPointF centre = area.center();
    const double rx = area.width() / 2.0;
    const double ry = area.height() / 2.0;
    ForEachPixel(image, [&](QRgb& pixel, int x, int y) {
        const double dx = (x + 0.5 - centre.x()) / rx;
        const double dy = (y + 0.5 - centre.y()) / ry;
        const double reach = std::min(1.0, (dx * dx + dy * dy) / 2.0); // 1 in the corners
        ScalePixel(pixel, 1.0 - strength * SmoothStep(reach));
    });
}

void AddGlow(QImage& image, QPointF centre, QSizeF radius, double gain) {
    ForEachPixel(image, [&](QRgb& pixel, int x, int y) {
        const double dx = (x + 0.5 - centre.x()) / radius.width();
        const double dy = (y + 0.5 - centre.y()) / radius.height();
        const double distance = std::sqrt(dx * dx + dy * dy);
        if (distance < 1.0)
            ScalePixel(pixel, 1.0 + gain * SmoothStep(1.0 - distance));
    });
}
