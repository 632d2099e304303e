// SPDX-License-Identifier: GPL-3.0-or-later
#include "privacy/TextPatches.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

namespace TextPatches {

namespace {

// Tiles about a line of 1x text high: their median is the background behind the text.
constexpr int kTile = 24;
// A tile whose background is this far from the page's belongs to a patch.
constexpr int kApart = 48;
// A pixel this far from its tile's background is ink.
constexpr int kInk = 48;
// At the rim of a patch, blocks of this size as light as the page are page, not patch.
constexpr int kBlock = 8;

struct Grid
{
    int w = 0, h = 0; // tiles across and down
    std::vector<int> background;
    int at(int tx, int ty) const { return ty * w + tx; }
};

int medianOf(const QImage &grey, int x0, int y0, int x1, int y1)
{
    std::array<int, 256> histogram{};
    for (int y = y0; y < y1; ++y) {
        const uchar *row = grey.constScanLine(y);
        for (int x = x0; x < x1; ++x) {
            ++histogram[row[x]];
        }
    }
    const int half = ((x1 - x0) * (y1 - y0) + 1) / 2;
    int seen = 0;
    for (int v = 0; v < 256; ++v) {
        seen += histogram[size_t(v)];
        if (seen >= half) {
            return v;
        }
    }
    return 255;
}

int blockMean(const QImage &grey, int x, int y)
{
    const int x0 = x / kBlock * kBlock, y0 = y / kBlock * kBlock;
    const int x1 = std::min(grey.width(), x0 + kBlock), y1 = std::min(grey.height(), y0 + kBlock);
    int sum = 0;
    for (int yy = y0; yy < y1; ++yy) {
        const uchar *row = grey.constScanLine(yy);
        for (int xx = x0; xx < x1; ++xx) {
            sum += row[xx];
        }
    }
    return sum / std::max(1, (x1 - x0) * (y1 - y0));
}

} // namespace

int evenOut(QImage &grey, int page)
{
    if (grey.format() != QImage::Format_Grayscale8 || grey.isNull()) {
        return 0;
    }
    Grid g;
    g.w = (grey.width() + kTile - 1) / kTile;
    g.h = (grey.height() + kTile - 1) / kTile;
    g.background.resize(size_t(g.w) * size_t(g.h));
    std::vector<char> patch(g.background.size(), 0);
    for (int ty = 0; ty < g.h; ++ty) {
        for (int tx = 0; tx < g.w; ++tx) {
            const int b = medianOf(grey, tx * kTile, ty * kTile, std::min(grey.width(), (tx + 1) * kTile),
                                   std::min(grey.height(), (ty + 1) * kTile));
            g.background[size_t(g.at(tx, ty))] = b;
            patch[size_t(g.at(tx, ty))] = std::abs(b - page) > kApart ? 1 : 0;
        }
    }
    const QImage original = grey;
    std::vector<int> component(patch.size(), -1);
    int patches = 0;
    for (int start = 0; start < int(patch.size()); ++start) {
        if (!patch[size_t(start)] || component[size_t(start)] >= 0) {
            continue;
        }
        // The tiles of one patch, and which way its text goes: lighter or darker than its background.
        std::vector<int> tiles{start};
        component[size_t(start)] = patches;
        qint64 lighter = 0, darker = 0;
        for (size_t k = 0; k < tiles.size(); ++k) {
            const int t = tiles[k];
            const int tx = t % g.w, ty = t / g.w;
            const int b = g.background[size_t(t)];
            for (int y = ty * kTile; y < std::min(grey.height(), (ty + 1) * kTile); ++y) {
                const uchar *row = original.constScanLine(y);
                for (int x = tx * kTile; x < std::min(grey.width(), (tx + 1) * kTile); ++x) {
                    lighter += row[x] > b + kInk ? 1 : 0;
                    darker += row[x] < b - kInk ? 1 : 0;
                }
            }
            const int around[4][2] = {{tx - 1, ty}, {tx + 1, ty}, {tx, ty - 1}, {tx, ty + 1}};
            for (const auto &[nx, ny] : around) {
                if (nx >= 0 && ny >= 0 && nx < g.w && ny < g.h) {
                    const int n = g.at(nx, ny);
                    if (patch[size_t(n)] && component[size_t(n)] < 0) {
                        component[size_t(n)] = patches;
                        tiles.push_back(n);
                    }
                }
            }
        }
        const bool lightText = lighter > darker;
        for (const int t : tiles) {
            const int tx = t % g.w, ty = t / g.w;
            bool rim = false;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = tx + dx, ny = ty + dy;
                    rim = rim || nx < 0 || ny < 0 || nx >= g.w || ny >= g.h || component[size_t(g.at(nx, ny))] != patches;
                }
            }
            const int b = g.background[size_t(t)];
            const int range = std::max(32, lightText ? 255 - b : b);
            for (int by = ty * kTile; by < std::min(grey.height(), (ty + 1) * kTile); by += kBlock) {
                for (int bx = tx * kTile; bx < std::min(grey.width(), (tx + 1) * kTile); bx += kBlock) {
                    const bool asPage = rim && std::abs(blockMean(original, bx, by) - page) <= kApart / 2;
                    for (int y = by; y < std::min(grey.height(), by + kBlock); ++y) {
                        const uchar *in = original.constScanLine(y);
                        uchar *out = grey.scanLine(y);
                        for (int x = bx; x < std::min(grey.width(), bx + kBlock); ++x) {
                            const int d = std::clamp(lightText ? in[x] - b : b - in[x], 0, range);
                            out[x] = asPage ? uchar(255) : uchar(255 - d * 255 / range);
                        }
                    }
                }
            }
        }
        ++patches;
    }
    return patches;
}

} // namespace TextPatches
