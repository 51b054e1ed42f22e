// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <cstdint>

// Surface treatments shared by the pictures. Every "random" value comes from a hash of the pixel
// position and a seed, so the same build always writes the same pixels.

// A value in [0, 1) that depends only on (x, y, seed).
double HashNoise(int x, int y, std::uint32_t seed);

// Smooth noise in [0, 1): HashNoise on a lattice of `cellSize` pixels, blended between the nodes.
double ValueNoise(double x, double y, double cellSize, std::uint32_t seed);

// A picture filled with a vertical gradient from `top` to `bottom`.
QImage VerticalGradient(QSize size, QColor top, QColor bottom);

// Brightens or darkens the picture in soft patches of about `cellSize` pixels: each pixel is
// scaled by 1 + `depth` times a cloudy noise in [-1, 1], which keeps its hue.
void AddClouds(QImage& image, double cellSize, double depth, std::uint32_t seed);

// Brightens or darkens each pixel by up to `amplitude` levels, independently per pixel.
void AddGrain(QImage& image, double amplitude, std::uint32_t seed);

// Darkens the picture towards the edges of `area` (the part of it that the window shows);
// `strength` is the share of brightness lost in the area's corners (0 leaves it alone).
void AddVignette(QImage& image, QRectF area, double strength);

// Lights the picture softly around `centre`: pixels within `radius` are brightened by up to
// `gain` (0.2 = 20 % brighter in the centre), which keeps their hue.
void AddGlow(QImage& image, QPointF centre, QSizeF radius, double gain);
