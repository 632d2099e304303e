// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Symbols.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

namespace {

using Symbol = Symbols::Symbol;

void viewfinderCorners(QPainter &p, const QRectF &r, qreal len)
{
    const qreal l = r.left(), t = r.top(), ri = r.right(), b = r.bottom();
    QPainterPath path;
    path.moveTo(l, t + len);
    path.lineTo(l, t);
    path.lineTo(l + len, t);
    path.moveTo(ri - len, t);
    path.lineTo(ri, t);
    path.lineTo(ri, t + len);
    path.moveTo(ri, b - len);
    path.lineTo(ri, b);
    path.lineTo(ri - len, b);
    path.moveTo(l + len, b);
    path.lineTo(l, b);
    path.lineTo(l, b - len);
    p.drawPath(path);
}

// A closed outline through the points, filled, with rounded corners from the pen.
void filledPolygon(QPainter &p, std::initializer_list<QPointF> points, const QColor &c, qreal penWidth)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    p.setPen(QPen(c, penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(c);
    p.drawPath(path);
}

void camera(QPainter &p, const QRectF &r, const QColor &c)
{
    const qreal u = r.width() / 24.0;
    QPen pen(c, 1.8 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    viewfinderCorners(p, r.adjusted(2 * u, 2 * u, -2 * u, -2 * u), 5 * u);
    // A small camera body in the middle.
    QRectF body(r.left() + 6.5 * u, r.top() + 9 * u, 11 * u, 7.5 * u);
    QPainterPath cam;
    cam.addRoundedRect(body, 1.5 * u, 1.5 * u);
    cam.addRect(QRectF(body.left() + 3.5 * u, body.top() - 1.6 * u, 4 * u, 1.6 * u));
    QPainterPath ring;
    ring.addEllipse(body.center(), 2.4 * u, 2.4 * u);
    QPainterPath lens;
    lens.addEllipse(body.center(), 1.3 * u, 1.3 * u);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(cam.simplified().subtracted(ring).united(lens));
}

} // namespace

void Symbols::paint(QPainter &p, Symbol s, const QRectF &r, const QColor &c, const QColor &accent)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal u = r.width() / 24.0; // drawn on a 24-unit grid
    auto at = [&](qreal x, qreal y) { return QPointF(r.left() + x * u, r.top() + y * u); };
    QPen pen(c, 2 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    switch (s) {
    case Symbol::CameraViewfinder:
        camera(p, r, c);
        break;
    case Symbol::PinFill: {
        p.translate(r.center());
        p.rotate(45);
        p.translate(-r.center());
        QPainterPath head;
        head.addRoundedRect(QRectF(at(8, 2), at(16, 4)), 1 * u, 1 * u);
        QPainterPath body;
        body.moveTo(at(9, 4));
        body.lineTo(at(15, 4));
        body.lineTo(at(15.5, 11));
        body.lineTo(at(18.5, 14.5));
        body.lineTo(at(5.5, 14.5));
        body.lineTo(at(8.5, 11));
        body.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawPath(head.united(body));
        p.setPen(QPen(c, 2 * u, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(at(12, 14.5), at(12, 22));
        break;
    }
    case Symbol::ExclamationShield: {
        QPainterPath shield;
        shield.moveTo(at(12, 1.5));
        shield.lineTo(at(21, 5));
        shield.cubicTo(at(21, 13), at(18, 19.5), at(12, 22.5));
        shield.cubicTo(at(6, 19.5), at(3, 13), at(3, 5));
        shield.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(accent.isValid() ? accent : c);
        p.drawPath(shield);
        const QColor mark = accent.isValid() ? c : QColor(Qt::transparent);
        if (!accent.isValid()) {
            p.setCompositionMode(QPainter::CompositionMode_Clear);
        }
        p.setBrush(mark);
        p.drawRoundedRect(QRectF(at(10.6, 6), at(13.4, 14)), 1.3 * u, 1.3 * u);
        p.drawEllipse(at(12, 17.2), 1.6 * u, 1.6 * u);
        break;
    }
    case Symbol::ExclamationTriangle: {
        filledPolygon(p, {at(12, 2.5), at(22.5, 21), at(1.5, 21)}, c, 1.2 * u);
        // The mark is cut out of the filled triangle, so it shows whatever lies behind.
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawRoundedRect(QRectF(at(10.8, 8), at(13.2, 15)), 1.1 * u, 1.1 * u);
        p.drawEllipse(at(12, 18), 1.4 * u, 1.4 * u);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        break;
    }
    case Symbol::MagnifyingGlass:
        p.drawEllipse(at(10, 10), 6.5 * u, 6.5 * u);
        p.setPen(QPen(c, 2.6 * u, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(at(15, 15), at(21, 21));
        break;
    case Symbol::PauseCircle:
    case Symbol::PlayCircle:
        p.setPen(QPen(c, 1.7 * u));
        p.drawEllipse(at(12, 12), 9.5 * u, 9.5 * u);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        if (s == Symbol::PauseCircle) {
            p.drawRoundedRect(QRectF(at(8.8, 7.5), at(11, 16.5)), 0.6 * u, 0.6 * u);
            p.drawRoundedRect(QRectF(at(13, 7.5), at(15.2, 16.5)), 0.6 * u, 0.6 * u);
        } else {
            QPainterPath tri;
            tri.moveTo(at(9.5, 7.2));
            tri.lineTo(at(17, 12));
            tri.lineTo(at(9.5, 16.8));
            tri.closeSubpath();
            p.drawPath(tri);
        }
        break;
    case Symbol::Gear: {
        QPainterPath gear;
        const QPointF centre = at(12, 12);
        const int teeth = 8;
        for (int i = 0; i < teeth * 2; ++i) {
            const qreal a0 = (i - 0.5) * M_PI / teeth, a1 = (i + 0.5) * M_PI / teeth;
            const qreal rad = (i % 2 == 0 ? 10.2 : 7.8) * u;
            const QPointF p0 = centre + QPointF(std::cos(a0), std::sin(a0)) * rad;
            const QPointF p1 = centre + QPointF(std::cos(a1), std::sin(a1)) * rad;
            if (i == 0) {
                gear.moveTo(p0);
            } else {
                gear.lineTo(p0);
            }
            gear.lineTo(p1);
        }
        gear.closeSubpath();
        QPainterPath hole;
        hole.addEllipse(centre, 3.3 * u, 3.3 * u);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawPath(gear.subtracted(hole));
        break;
    }
    case Symbol::Grid2x2:
        p.setPen(QPen(c, 1.7 * u));
        for (const QPointF &o : {at(3, 3), at(13, 3), at(3, 13), at(13, 13)}) {
            p.drawRoundedRect(QRectF(o, QSizeF(8 * u, 8 * u)), 1.8 * u, 1.8 * u);
        }
        break;
    case Symbol::Folder: {
        QPainterPath f;
        f.moveTo(at(2.5, 6));
        f.quadTo(at(2.5, 4), at(4.5, 4));
        f.lineTo(at(9.5, 4));
        f.lineTo(at(11.5, 6.5));
        f.lineTo(at(19.5, 6.5));
        f.quadTo(at(21.5, 6.5), at(21.5, 8.5));
        f.lineTo(at(21.5, 18));
        f.quadTo(at(21.5, 20), at(19.5, 20));
        f.lineTo(at(4.5, 20));
        f.quadTo(at(2.5, 20), at(2.5, 18));
        f.closeSubpath();
        p.setPen(QPen(c, 1.7 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(f);
        p.drawLine(at(2.5, 9.5), at(21.5, 9.5));
        break;
    }
    case Symbol::Power:
        p.drawArc(QRectF(at(4, 4.5), at(20, 20.5)), 120 * 16, 300 * 16);
        p.drawLine(at(12, 2.5), at(12, 11));
        break;
    case Symbol::Photo:
        p.setPen(QPen(c, 1.7 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawRoundedRect(QRectF(at(2.5, 4.5), at(21.5, 19.5)), 2.5 * u, 2.5 * u);
        p.drawPolyline(QPolygonF({at(3, 17), at(9, 11), at(13.5, 15.5), at(16, 13), at(21, 18)}));
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawEllipse(at(16.5, 8.8), 1.8 * u, 1.8 * u);
        break;
    case Symbol::Pencil: {
        p.setPen(QPen(c, 1.7 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolygon(QPolygonF({at(15.5, 3.5), at(20.5, 8.5), at(9, 20), at(3.5, 20.5), at(4, 15)}));
        p.drawLine(at(13, 6), at(18, 11));
        break;
    }
    case Symbol::ChevronDown:
        p.drawPolyline(QPolygonF({at(5, 9), at(12, 16), at(19, 9)}));
        break;
    case Symbol::ChevronUp:
        p.drawPolyline(QPolygonF({at(5, 15), at(12, 8), at(19, 15)}));
        break;
    case Symbol::ArrowClockwise: {
        p.setPen(QPen(c, 2 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawArc(QRectF(at(4, 4), at(20, 20)), 60 * 16, 290 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawPolygon(QPolygonF({at(13, 1.5), at(19.5, 5.2), at(13.5, 9.5)}));
        break;
    }
    case Symbol::PhotoOnRectangle:
        p.setPen(QPen(c, 1.6 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.save();
        p.translate(at(12, 12));
        p.rotate(-8);
        p.translate(-at(12, 12));
        p.drawRoundedRect(QRectF(at(5, 2.5), at(22, 15.5)), 2 * u, 2 * u);
        p.restore();
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(at(2, 7.5), at(18.5, 21.5)), 2 * u, 2 * u);
        p.drawPolyline(QPolygonF({at(2.5, 19), at(7.5, 14), at(11, 17.5), at(13.5, 15), at(18, 19.5)}));
        break;
    case Symbol::InternalDrive:
        p.setPen(QPen(c, 1.7 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawRoundedRect(QRectF(at(2.5, 7), at(21.5, 17)), 2.5 * u, 2.5 * u);
        p.drawLine(at(6, 12), at(11, 12));
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawEllipse(at(17.5, 12), 1.3 * u, 1.3 * u);
        break;
    case Symbol::InfoCircle:
        p.setPen(QPen(c, 1.7 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawEllipse(at(12, 12), 9.5 * u, 9.5 * u);
        p.setPen(QPen(c, 2 * u, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(at(12, 11), at(12, 17));
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawEllipse(at(12, 7.3), 1.3 * u, 1.3 * u);
        break;
    case Symbol::DocOnDoc:
        p.setPen(QPen(c, 1.6 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawRoundedRect(QRectF(at(8, 2.5), at(20, 17)), 2 * u, 2 * u);
        p.drawPolyline(QPolygonF({at(5.5, 7), at(4, 7), at(4, 21.5), at(16, 21.5), at(16, 19.5)}));
        break;
    case Symbol::CursorArrow: {
        filledPolygon(p,
                      {at(6, 3), at(6, 19.5), at(10.2, 15.6), at(13, 21.5), at(15.6, 20.3), at(12.9, 14.5),
                       at(18.5, 14.2)},
                      c, 1.5 * u);
        break;
    }
    case Symbol::Rectangle:
        p.setPen(QPen(c, 1.8 * u));
        p.drawRoundedRect(QRectF(at(3, 5.5), at(21, 18.5)), 1.5 * u, 1.5 * u);
        break;
    case Symbol::Circle:
        p.setPen(QPen(c, 1.8 * u));
        p.drawEllipse(at(12, 12), 9 * u, 9 * u);
        break;
    case Symbol::ArrowUpRight:
        p.drawLine(at(5, 19), at(19, 5));
        p.drawPolyline(QPolygonF({at(9, 5), at(19, 5), at(19, 15)}));
        break;
    case Symbol::TextFormat:
    case Symbol::TextFormatSize: {
        // A serif-less "A" (large, and a small one beside it for the size).
        const bool size = s == Symbol::TextFormatSize;
        const qreal left = size ? 8 : 4, right = size ? 22 : 20, top = size ? 4 : 4;
        p.setPen(QPen(c, 2 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({at(left, 20), at((left + right) / 2, top), at(right, 20)}));
        p.drawLine(at(left + (right - left) * 0.24, 14.5), at(right - (right - left) * 0.24, 14.5));
        if (size) {
            p.setPen(QPen(c, 1.6 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(QPolygonF({at(1.5, 20), at(4.5, 12), at(7.5, 20)}));
        }
        break;
    }
    case Symbol::NumberCircle: {
        p.setPen(QPen(c, 1.7 * u));
        p.drawEllipse(at(12, 12), 9.5 * u, 9.5 * u);
        p.setPen(QPen(c, 2 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({at(10, 8.5), at(12.5, 7), at(12.5, 17)}));
        p.drawLine(at(10, 17), at(15, 17));
        break;
    }
    case Symbol::EyeSlash: {
        QPainterPath eye;
        eye.moveTo(at(2, 12));
        eye.quadTo(at(12, 1.5), at(22, 12));
        eye.quadTo(at(12, 22.5), at(2, 12));
        p.setPen(QPen(c, 1.7 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(eye);
        p.drawEllipse(at(12, 12), 3.2 * u, 3.2 * u);
        p.setPen(QPen(c, 2 * u, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(at(4, 3), at(20, 21));
        break;
    }
    case Symbol::RectangleFill:
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawRoundedRect(QRectF(at(3, 5.5), at(21, 18.5)), 1.5 * u, 1.5 * u);
        break;
    case Symbol::LineWeight:
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawRoundedRect(QRectF(at(3, 5), at(21, 6)), 0.5 * u, 0.5 * u);
        p.drawRoundedRect(QRectF(at(3, 10), at(21, 12)), 1 * u, 1 * u);
        p.drawRoundedRect(QRectF(at(3, 16), at(21, 19.5)), 1.75 * u, 1.75 * u);
        break;
    case Symbol::Trash:
        p.setPen(QPen(c, 1.7 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(at(3.5, 6), at(20.5, 6));
        p.drawPolyline(QPolygonF({at(9, 6), at(9.5, 3), at(14.5, 3), at(15, 6)}));
        p.drawPolyline(QPolygonF({at(5.5, 6), at(6.8, 21), at(17.2, 21), at(18.5, 6)}));
        p.drawLine(at(10, 10), at(10, 17));
        p.drawLine(at(14, 10), at(14, 17));
        break;
    case Symbol::UndoArrow:
    case Symbol::RedoArrow: {
        if (s == Symbol::RedoArrow) {
            p.translate(r.center());
            p.scale(-1, 1);
            p.translate(-r.center());
        }
        QPainterPath hook;
        hook.moveTo(at(5, 9));
        hook.lineTo(at(15, 9));
        hook.cubicTo(at(22, 9), at(22, 20), at(15, 20));
        hook.lineTo(at(9, 20));
        p.drawPath(hook);
        p.drawPolyline(QPolygonF({at(9.5, 4.5), at(5, 9), at(9.5, 13.5)}));
        break;
    }
    case Symbol::ShieldSlash:
    case Symbol::ShieldHalfFilled: {
        QPainterPath shield;
        shield.moveTo(at(12, 2));
        shield.lineTo(at(20.5, 5.2));
        shield.cubicTo(at(20.5, 13), at(17.5, 19), at(12, 22));
        shield.cubicTo(at(6.5, 19), at(3.5, 13), at(3.5, 5.2));
        shield.closeSubpath();
        p.setPen(QPen(c, 1.7 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(shield);
        if (s == Symbol::ShieldHalfFilled) {
            QPainterPath left;
            left.addRect(QRectF(r.left(), r.top(), 12 * u, r.height()));
            p.setPen(Qt::NoPen);
            p.setBrush(c);
            p.drawPath(shield.intersected(left));
        } else {
            p.drawLine(at(3, 3), at(21, 21));
        }
        break;
    }
    case Symbol::StarFill: {
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const qreal a = -M_PI / 2 + i * M_PI / 5;
            const qreal rad = (i % 2 == 0 ? 10.5 : 4.6) * u;
            star << at(12, 12.8) + QPointF(std::cos(a), std::sin(a)) * rad;
        }
        p.setPen(QPen(c, 1 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(c);
        p.drawPolygon(star);
        break;
    }
    case Symbol::Clock:
        p.setPen(QPen(c, 1.7 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawEllipse(at(12, 12), 9.5 * u, 9.5 * u);
        p.drawPolyline(QPolygonF({at(12, 6.5), at(12, 12), at(16, 14.5)}));
        break;
    case Symbol::Tag: {
        p.setPen(QPen(c, 1.7 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolygon(QPolygonF({at(3, 3.5), at(11.5, 3.5), at(21, 13), at(13, 21), at(3, 11.5)}));
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawEllipse(at(7.8, 8.3), 1.7 * u, 1.7 * u);
        break;
    }
    case Symbol::PlusCircleFill:
    case Symbol::XmarkCircleFill: {
        // A filled disc with the mark cut out, so it reads on any background.
        QPainterPath disc;
        disc.addEllipse(at(12, 12), 10 * u, 10 * u);
        QPainterPath mark;
        QPainterPathStroker stroker;
        stroker.setWidth(2.4 * u);
        stroker.setCapStyle(Qt::RoundCap);
        QPainterPath lines;
        if (s == Symbol::PlusCircleFill) {
            lines.moveTo(at(12, 7));
            lines.lineTo(at(12, 17));
            lines.moveTo(at(7, 12));
            lines.lineTo(at(17, 12));
        } else {
            lines.moveTo(at(8.5, 8.5));
            lines.lineTo(at(15.5, 15.5));
            lines.moveTo(at(15.5, 8.5));
            lines.lineTo(at(8.5, 15.5));
        }
        mark = stroker.createStroke(lines);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawPath(disc.subtracted(mark));
        break;
    }
    }
    p.restore();
}

QPixmap Symbols::pixmap(Symbol s, int size, const QColor &color, qreal dpr, const QColor &accent)
{
    QPixmap pm(QSize(size, size) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    paint(p, s, QRectF(0, 0, size, size), color, accent);
    return pm;
}

QIcon Symbols::icon(Symbol s, const QColor &color)
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48}) {
        icon.addPixmap(pixmap(s, size, color));
    }
    return icon;
}

namespace {

struct NamedSymbol
{
    Symbol symbol;
    const char *name;  // the platform symbol it stands for
    const char *theme; // freedesktop icon-theme name
};

constexpr NamedSymbol kNamed[] = {
    {Symbol::CursorArrow, "cursorarrow", "edit-select"},
    {Symbol::Rectangle, "rectangle", "draw-rectangle"},
    {Symbol::Circle, "circle", "draw-ellipse"},
    {Symbol::ArrowUpRight, "arrow.up.right", "draw-arrow"},
    {Symbol::TextFormat, "textformat", "draw-text"},
    {Symbol::NumberCircle, "number.circle", "draw-number"},
    {Symbol::EyeSlash, "eye.slash", "view-hidden"},
    {Symbol::RectangleFill, "rectangle.fill", "draw-rectangle-filled"},
    {Symbol::LineWeight, "lineweight", "stroke-width"},
    {Symbol::TextFormatSize, "textformat.size", "format-font-size-more"},
    {Symbol::Trash, "trash", "edit-delete"},
    {Symbol::UndoArrow, "arrow.uturn.backward", "edit-undo"},
    {Symbol::RedoArrow, "arrow.uturn.forward", "edit-redo"},
    {Symbol::ShieldSlash, "shield.slash", "security-low"},
    {Symbol::ShieldHalfFilled, "shield.lefthalf.filled", "security-high"},
    {Symbol::InternalDrive, "internaldrive", "drive-harddisk"},
    {Symbol::InfoCircle, "info.circle", "help-about"},
};

} // namespace

std::optional<Symbols::Symbol> Symbols::named(const QString &symbolName)
{
    for (const NamedSymbol &n : kNamed) {
        if (symbolName == QLatin1String(n.name)) {
            return n.symbol;
        }
    }
    return std::nullopt;
}

QString Symbols::themeName(Symbol s)
{
    for (const NamedSymbol &n : kNamed) {
        if (n.symbol == s) {
            return QString::fromLatin1(n.theme);
        }
    }
    return QString();
}

QIcon Symbols::themedIcon(Symbol s, const QColor &color)
{
    const QString theme = themeName(s);
    if (!theme.isEmpty() && QIcon::hasThemeIcon(theme)) {
        return QIcon::fromTheme(theme);
    }
    return icon(s, color);
}

QIcon Symbols::applicationIcon()
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient g(0, 0, 0, size);
        g.setColorAt(0, QColor(0x3d, 0x8b, 0xfd));
        g.setColorAt(1, QColor(0x1f, 0x5f, 0xd6));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        const qreal m = size * 0.04;
        p.drawRoundedRect(QRectF(m, m, size - 2 * m, size - 2 * m), size * 0.22, size * 0.22);
        const qreal inset = size * 0.16;
        paint(p, Symbol::CameraViewfinder, QRectF(inset, inset, size - 2 * inset, size - 2 * inset), Qt::white);
        icon.addPixmap(pm);
    }
    return icon;
}
