// SPDX-License-Identifier: GPL-3.0-or-later
#include "privacy/LineContext.h"

#include <QStringList>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace LineContexts {

namespace {

bool similarHeights(const QRectF &a, const QRectF &b)
{
    const double lo = std::min(a.height(), b.height());
    return lo > 0 && std::max(a.height(), b.height()) <= 2.0 * lo;
}

bool sameRow(const QRectF &a, const QRectF &b)
{
    return similarHeights(a, b) && std::abs(a.center().y() - b.center().y()) <= 0.5 * std::max(a.height(), b.height());
}

// The nearest line above line i that shares a good part of its width: the cell above in a
// table column, or a label over its field: at most two line heights up and of a like width,
// so that a sentence under a table is in none of its columns.
std::optional<int> above(const QList<RecognizedLine> &lines, int i)
{
    const QRectF &a = lines[i].box;
    std::optional<int> best;
    double bestGap = 0;
    for (int j = 0; j < lines.size(); ++j) {
        const QRectF &b = lines[j].box;
        if (j == i || !similarHeights(a, b)) {
            continue;
        }
        const double h = std::max(a.height(), b.height());
        const double gap = a.top() - b.bottom();
        const double shared = std::min(a.right(), b.right()) - std::max(a.left(), b.left());
        const double narrow = std::min(a.width(), b.width());
        if (gap < -0.3 * h || gap > 2.0 * h || shared < 0.3 * narrow || std::max(a.width(), b.width()) > 4.0 * narrow) {
            continue;
        }
        if (!best || gap < bestGap) {
            best = j;
            bestGap = gap;
        }
    }
    return best;
}

bool hasDigit(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isDigit(); });
}

} // namespace

QList<LineContext> of(const QList<RecognizedLine> &lines)
{
    QList<LineContext> out(lines.size());
    std::vector<std::optional<int>> up(size_t(lines.size()));
    for (int i = 0; i < lines.size(); ++i) {
        up[size_t(i)] = above(lines, i);
    }
    for (int i = 0; i < lines.size(); ++i) {
        const QRectF &a = lines[i].box;
        std::vector<std::pair<double, int>> left, right;
        for (int j = 0; j < lines.size(); ++j) {
            const QRectF &b = lines[j].box;
            if (j == i || !sameRow(a, b)) {
                continue;
            }
            if (b.center().x() < a.center().x()) {
                left.emplace_back(b.left(), j);
            } else {
                right.emplace_back(b.left(), j);
            }
        }
        std::sort(left.begin(), left.end());
        std::sort(right.begin(), right.end());
        QStringList before, after;
        for (const auto &[x, j] : left) {
            before << lines[j].text.trimmed();
        }
        for (const auto &[x, j] : right) {
            after << lines[j].text.trimmed();
        }
        out[i].before = before.join(QLatin1String("  "));
        out[i].after = after.join(QLatin1String("  "));
        // Up the column over the cells that hold numbers, as far as a heading of words. A cell
        // without digits between cells with them is a number misread ("7.3.19.3" as "Eales)"),
        // not the heading.
        std::optional<int> cell = up[size_t(i)];
        for (int guard = 0; cell && guard < 64; ++guard) {
            const std::optional<int> next = up[size_t(*cell)];
            if (!hasDigit(lines[*cell].text) && !(next && hasDigit(lines[*next].text))) {
                out[i].header = lines[*cell].text.trimmed();
                break;
            }
            cell = up[size_t(*cell)];
        }
    }
    return out;
}

QList<RecognizedLine> cellsOf(const QList<RecognizedLine> &lines)
{
    QList<RecognizedLine> out;
    for (const RecognizedLine &line : lines) {
        if (line.symbols.size() < 2) {
            out.append(line);
            continue;
        }
        const double charWidth = line.box.width() / double(line.symbols.size());
        int from = 0; // the first symbol of the current cell
        auto close = [&](int to) {
            RecognizedLine cell;
            const int start = line.symbols[from].start;
            const int end = line.symbols[to - 1].start + line.symbols[to - 1].length;
            cell.text = line.text.mid(start, end - start);
            for (int k = from; k < to; ++k) {
                RecognizedLine::Symbol s = line.symbols[k];
                s.start -= start;
                cell.symbols.append(s);
                cell.box = k == from ? s.box : cell.box.united(s.box);
            }
            out.append(cell);
        };
        for (int k = 1; k < line.symbols.size(); ++k) {
            const bool wordGap = line.symbols[k].start > line.symbols[k - 1].start + line.symbols[k - 1].length;
            if (wordGap && line.symbols[k].box.left() - line.symbols[k - 1].box.right() > 1.5 * charWidth) {
                close(k);
                from = k;
            }
        }
        if (from == 0) {
            out.append(line);
        } else {
            close(int(line.symbols.size()));
        }
    }
    return out;
}

} // namespace LineContexts
