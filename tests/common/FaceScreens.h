// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Screens with faces for the face tests and benchmark: photographs from OpenCV's documentation
// (Debian package opencv-doc), cut into avatars or call tiles at run time and laid over a
// rendered screen of text, so no photograph is kept in the repository. Header only, like
// TestImages.h.

#include <QFileInfo>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>

#include <algorithm>

namespace FaceScreens {

struct Photo
{
    const char *file;
    QRectF face; // the face in the photograph
    QRectF area; // the part that is one photograph (some are strips of several)
};

inline const QList<Photo> &photos()
{
    static const QList<Photo> list{{"227943776_1.jpg", {112, 97, 182, 182}, {0, 0, 434, 434}},
                                   {"230501201_1.jpg", {110, 211, 375, 375}, {0, 0, 584, 824}},
                                   {"blurred.png", {212, 203, 187, 187}, {0, 0, 512, 512}},
                                   {"face_swapped.jpg", {85, 66, 139, 139}, {0, 0, 320, 320}},
                                   {"05.jpg", {111, 109, 300, 300}, {0, 0, 530, 490}},
                                   {"12.jpg", {117, 26, 323, 323}, {0, 0, 530, 490}},
                                   {"example.jpg", {781, 155, 350, 350}, {776, 0, 386, 580}}};
    return list;
}

inline QString path(const Photo &p)
{
    return QStringLiteral("/usr/share/doc/opencv-doc/opencv4/html/") + QLatin1String(p.file);
}

inline bool available()
{
    return std::all_of(photos().begin(), photos().end(), [](const Photo &p) { return QFileInfo::exists(path(p)); });
}

// chat: round avatars down a message list; profile: rounded squares; call: 16:9 video tiles.
enum class Layout { chat, profile, call };

struct Screen
{
    QImage image;
    QList<QRectF> faces; // where each face is
};

// Draws photo p into target so that its face fills `share` of the target's height, with black
// bars where the photograph ends; returns where the face landed.
inline QRectF drawCut(QPainter &painter, const Photo &p, const QRectF &target, double share)
{
    const double k = target.height() * share / p.face.height();
    QRectF cut(0, 0, target.width() / k, target.height() / k);
    cut.moveCenter(p.face.center());
    const QRectF seen = cut & p.area;
    const auto place = [&](const QRectF &r) {
        return QRectF(target.x() + (r.x() - cut.x()) * k, target.y() + (r.y() - cut.y()) * k, r.width() * k,
                      r.height() * k);
    };
    painter.fillRect(target, Qt::black);
    painter.drawImage(place(seen), QImage(path(p)), seen);
    return place(p.face);
}

// Lays `count` faces, starting with photo `first`, over the right half of a screen of text
// (rendered at `scale` device pixels per point), each avatar or tile `size` points tall, beside
// strips copied from the screen's own text (the `rect`s of `items`, in screen pixels). An avatar
// is `size` points across with the face 70 % of it; a call tile is twice as tall, the face 35 %.
template<typename Items>
Screen compose(const QImage &screen, const Items &items, Layout layout, int size, double scale, int first = 0,
               int count = 5)
{
    QList<QRectF> lines;
    for (const auto &item : items) {
        lines << item.rect;
    }
    Screen out{screen.convertToFormat(QImage::Format_RGB32), {}};
    QPainter painter(&out.image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    const bool call = layout == Layout::call;
    const double side = size * scale * (call ? 2 : 1);
    const double gap = 12 * scale;
    const QRectF panel(out.image.width() * 0.5, 0, out.image.width() * 0.5, out.image.height());
    painter.fillRect(panel, screen.pixel(screen.width() - 2, screen.height() - 2));
    const double tileW = call ? side * 16 / 9 : side;
    const int columns = call ? std::max(1, int((panel.width() - gap) / (tileW + gap))) : 1;
    for (int i = 0; i < count; ++i) {
        const Photo &p = photos().at((first + i) % photos().size());
        const double pitch = side + gap + (call ? 28 * scale : 0); // a call tile's name goes below it
        const QRectF tile(panel.x() + gap + (i % columns) * (tileW + gap), gap + (i / columns) * pitch, tileW, side);
        if (tile.bottom() + pitch - side > out.image.height()) {
            break; // the screen is full
        }
        QPainterPath clip;
        if (layout == Layout::chat) {
            clip.addEllipse(tile);
        } else {
            clip.addRoundedRect(tile, side * 0.12, side * 0.12);
        }
        painter.save();
        painter.setClipPath(clip);
        out.faces << drawCut(painter, p, tile, call ? 0.35 : 0.7);
        painter.restore();
        if (!lines.isEmpty()) {
            const QRectF line = lines.at(i % lines.size()).adjusted(-4 * scale, -4 * scale, 4 * scale, 4 * scale);
            const QPointF at = call ? tile.bottomLeft() + QPointF(0, 2 * scale)
                                    : QPointF(tile.right() + gap, tile.center().y() - line.height() / 2);
            painter.drawImage(at, screen, line);
        }
    }
    return out;
}

// How many of the faces are at least 70 % under one of the boxes, and how many boxes hide no face.
inline std::pair<int, int> score(const QList<QRectF> &faces, const QList<QRectF> &boxes)
{
    const auto area = [](const QRectF &r) { return r.width() * r.height(); };
    const int found = int(std::count_if(faces.begin(), faces.end(), [&](const QRectF &f) {
        return std::any_of(boxes.begin(), boxes.end(), [&](const QRectF &b) { return area(b & f) >= 0.7 * area(f); });
    }));
    const int strays = int(std::count_if(boxes.begin(), boxes.end(), [&](const QRectF &b) {
        return std::none_of(faces.begin(), faces.end(), [&](const QRectF &f) { return b.intersects(f); });
    }));
    return {found, strays};
}

} // namespace FaceScreens
