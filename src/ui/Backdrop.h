// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <cstdint>

// The windows' background texture, drawn from a few numbers: a vertical gradient, lit softly
// around one point, mottled with soft clouds, darkened towards the edges of the part the window
// shows, and grained so that the gradient shows no bands. Every "random" value comes from a hash
// of a position and a seed, so the same numbers always give the same pixels. The editor draws its
// background so at start (cheaper than decoding a picture of it); the artwork generator draws the
// game dialog's with the same code.

// A value in [0, 1) that depends only on (x, y, seed), the same on every platform.
double HashNoise(int x, int y, std::uint32_t seed);

// Positions and sizes are in the picture's pixels.
struct Backdrop {
    QColor top; // the gradient, from the top row to the bottom row
    QColor bottom;
    QPointF glowCentre;
    QSizeF glowRadius;
    double glowGain = 0;   // 0.2: 20 % brighter in the centre, less towards the rim
    double cloudCell = 0;  // the size of the broad patches (0: none); a finer mottle, a third of
                           // it, on top
    double cloudDepth = 0; // the patches brighten or darken by up to this share
    std::uint32_t cloudSeed = 0;
    QRectF shown;        // the part of the picture that the window shows
    double vignette = 0; // the share of brightness lost in the corners of `shown`
    double grain = 0;    // each pixel shifted by up to this many levels either way
    std::uint32_t grainSeed = 0;
};

// An opaque picture (QImage::Format_RGB32) of `size`.
QImage DrawBackdrop(QSize size, const Backdrop& backdrop);
