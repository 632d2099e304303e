// SPDX-License-Identifier: GPL-3.0-or-later
#include "privacy/TextPatches.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <utility>
#include <vector>

namespace TextPatches {

namespace {

// Tiles about a line of 1x text high: their median is the background behind the text.
constexpr int kTile = 24;
// A tile whose background is this far from the page's belongs to a patch.
constexpr int kApart = 48;
// A pixel this far from its tile's background is ink or its shadow.
constexpr int kInk = 24;
// A pixel this near the page's level, joined to the page, is page.
constexpr int kNearPage = 20;

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
    std::vector<int> component(patch.size(), -1), ring(patch.size(), -1);
    std::vector<char> joined(size_t(grey.width()) * size_t(grey.height()), 0);
    // Pixels of the page inside the rim tiles of a patch: as light as the page and joined to it.
    std::vector<char> pageMask(size_t(grey.width()) * size_t(grey.height()), 0);
    auto nearPage = [&original, page](int x, int y) { return std::abs(int(original.constScanLine(y)[x]) - page) <= kNearPage; };
    int patches = 0;
    for (int start = 0; start < int(patch.size()); ++start) {
        if (!patch[size_t(start)] || component[size_t(start)] >= 0) {
            continue;
        }
        std::vector<int> tiles{start};
        component[size_t(start)] = patches;
        for (size_t k = 0; k < tiles.size(); ++k) {
            const int tx = tiles[k] % g.w, ty = tiles[k] / g.w;
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
        // A patch covering less than half a tile leaves that tile out: the ring of tiles around
        // the patch takes whatever of the patch is joined to it.
        const size_t core = tiles.size();
        for (size_t k = 0; k < core; ++k) {
            const int tx = tiles[k] % g.w, ty = tiles[k] / g.w;
            for (int ny = std::max(0, ty - 1); ny <= std::min(g.h - 1, ty + 1); ++ny) {
                for (int nx = std::max(0, tx - 1); nx <= std::min(g.w - 1, tx + 1); ++nx) {
                    const int n = g.at(nx, ny);
                    if (!patch[size_t(n)] && ring[size_t(n)] != patches) {
                        ring[size_t(n)] = patches;
                        tiles.push_back(n);
                    }
                }
            }
        }
        auto inCore = [&](int x, int y) { return component[size_t(g.at(x / kTile, y / kTile))] == patches; };
        auto inPatch = [&](int x, int y) { return inCore(x, y) || ring[size_t(g.at(x / kTile, y / kTile))] == patches; };
        // The page reaches into the rim tiles around the patch's rounded or ragged edge: flood
        // it in from the tiles outside, so that it is neither counted nor redrawn.
        std::vector<std::pair<int, int>> flood;
        for (const int t : tiles) {
            const int tx = t % g.w, ty = t / g.w;
            for (int y = ty * kTile; y < std::min(grey.height(), (ty + 1) * kTile); ++y) {
                for (int x = tx * kTile; x < std::min(grey.width(), (tx + 1) * kTile); ++x) {
                    const bool edge = x == tx * kTile || y == ty * kTile || x + 1 == std::min(grey.width(), (tx + 1) * kTile)
                        || y + 1 == std::min(grey.height(), (ty + 1) * kTile);
                    if (!edge || !nearPage(x, y)) {
                        continue;
                    }
                    bool outside = false;
                    for (const auto &[nx, ny] : {std::pair{x - 1, y}, std::pair{x + 1, y}, std::pair{x, y - 1}, std::pair{x, y + 1}}) {
                        outside = outside || (nx >= 0 && ny >= 0 && nx < grey.width() && ny < grey.height() && !inPatch(nx, ny));
                    }
                    if (outside && !pageMask[size_t(y) * size_t(grey.width()) + size_t(x)]) {
                        pageMask[size_t(y) * size_t(grey.width()) + size_t(x)] = 1;
                        flood.emplace_back(x, y);
                    }
                }
            }
        }
        while (!flood.empty()) {
            const auto [x, y] = flood.back();
            flood.pop_back();
            for (const auto &[nx, ny] : {std::pair{x - 1, y}, std::pair{x + 1, y}, std::pair{x, y - 1}, std::pair{x, y + 1}}) {
                if (nx >= 0 && ny >= 0 && nx < grey.width() && ny < grey.height() && inPatch(nx, ny)) {
                    char &m = pageMask[size_t(ny) * size_t(grey.width()) + size_t(nx)];
                    if (!m && nearPage(nx, ny)) {
                        m = 1;
                        flood.emplace_back(nx, ny);
                    }
                }
            }
        }
        // Which way the text goes, lighter or darker than the background: weighed by the
        // square of the difference, since the text is the strongest contrast in a patch and
        // its shadow and the photo's grain are weaker.
        // The part of the ring joined to the patch by pixels that are not page.
        std::vector<std::pair<int, int>> spread;
        for (size_t k = 0; k < core; ++k) {
            const int tx = tiles[k] % g.w, ty = tiles[k] / g.w;
            for (int y = ty * kTile; y < std::min(grey.height(), (ty + 1) * kTile); ++y) {
                for (int x = tx * kTile; x < std::min(grey.width(), (tx + 1) * kTile); ++x) {
                    const size_t i = size_t(y) * size_t(grey.width()) + size_t(x);
                    if (!pageMask[i]) {
                        joined[i] = 1;
                        spread.emplace_back(x, y);
                    }
                }
            }
        }
        while (!spread.empty()) {
            const auto [x, y] = spread.back();
            spread.pop_back();
            for (const auto &[nx, ny] : {std::pair{x - 1, y}, std::pair{x + 1, y}, std::pair{x, y - 1}, std::pair{x, y + 1}}) {
                if (nx >= 0 && ny >= 0 && nx < grey.width() && ny < grey.height() && inPatch(nx, ny) && !inCore(nx, ny)) {
                    const size_t i = size_t(ny) * size_t(grey.width()) + size_t(nx);
                    if (!joined[i] && !pageMask[i]) {
                        joined[i] = 1;
                        spread.emplace_back(nx, ny);
                    }
                }
            }
        }
        double lighter = 0, darker = 0;
        for (size_t k = 0; k < core; ++k) {
            const int t = tiles[k];
            const int tx = t % g.w, ty = t / g.w;
            const int b = g.background[size_t(t)];
            for (int y = ty * kTile; y < std::min(grey.height(), (ty + 1) * kTile); ++y) {
                const uchar *row = original.constScanLine(y);
                for (int x = tx * kTile; x < std::min(grey.width(), (tx + 1) * kTile); ++x) {
                    const int d = int(row[x]) - b;
                    if (std::abs(d) > kInk && !pageMask[size_t(y) * size_t(grey.width()) + size_t(x)]) {
                        (d > 0 ? lighter : darker) += double(d) * d;
                    }
                }
            }
        }
        const bool lightText = lighter > darker;
        std::vector<int> levels;
        for (size_t k = 0; k < core; ++k) {
            levels.push_back(g.background[size_t(tiles[k])]);
        }
        std::nth_element(levels.begin(), levels.begin() + long(levels.size() / 2), levels.end());
        for (size_t k = 0; k < tiles.size(); ++k) {
            const int t = tiles[k];
            const int tx = t % g.w, ty = t / g.w;
            const int b = k < core ? g.background[size_t(t)] : levels[levels.size() / 2];
            const int range = std::max(32, lightText ? 255 - b : b);
            for (int y = ty * kTile; y < std::min(grey.height(), (ty + 1) * kTile); ++y) {
                const uchar *in = original.constScanLine(y);
                uchar *out = grey.scanLine(y);
                const char *onPage = pageMask.data() + size_t(y) * size_t(grey.width());
                const char *ofPatch = joined.data() + size_t(y) * size_t(grey.width());
                for (int x = tx * kTile; x < std::min(grey.width(), (tx + 1) * kTile); ++x) {
                    if (k >= core && !ofPatch[x]) {
                        continue; // the page's own, beside the patch
                    }
                    const int d = std::clamp(lightText ? in[x] - b : b - in[x], 0, range);
                    out[x] = onPage[x] ? uchar(255) : uchar(255 - d * 255 / range);
                }
            }
        }
        ++patches;
    }
    return patches;
}

} // namespace TextPatches
