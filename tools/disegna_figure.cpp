// Draws every picture Quorvel shows and writes them into a folder
// (default: resources/figure), and the desktop icons into a second one
// (default: resources/icone). Re-run it after changing a drawing and
// commit the output: the program itself only loads the finished files.

#include <QByteArray>
#include <QColor>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QMap>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>
#include <QVector>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>

namespace {

using DrawFn = std::function<void(QPainter &)>;

const QColor kInk(45, 35, 30);
const double kLine = 1.6;

QPen inkPen(double width = kLine, const QColor &color = kInk)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void shape(QPainter &p, const QPainterPath &path, const QColor &fill, double width = kLine, const QColor &line = kInk)
{
    p.setBrush(fill);
    p.setPen(width > 0 ? inkPen(width, line) : QPen(Qt::NoPen));
    p.drawPath(path);
}

void shape(QPainter &p, const QPolygonF &poly, const QColor &fill, double width = kLine, const QColor &line = kInk)
{
    QPainterPath path;
    path.addPolygon(poly);
    path.closeSubpath();
    shape(p, path, fill, width, line);
}

QPainterPath ellipse(double cx, double cy, double rx, double ry)
{
    QPainterPath path;
    path.addEllipse(QPointF(cx, cy), rx, ry);
    return path;
}

// A stroke with a dark rim reads as one solid outlined part at small sizes.
void rimmedStroke(QPainter &p, const QPainterPath &path, const QColor &color, double width, double rim = kLine)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(inkPen(width + 2 * rim));
    p.drawPath(path);
    p.setPen(inkPen(width, color));
    p.drawPath(path);
}

// ---------------------------------------------------------------- drawings

void drawBlank(QPainter &) {}

void drawFunnel(QPainter &p)
{
    const QColor red(215, 25, 30);
    const QColor yellow(255, 214, 40);
    QPainterPath cone;
    cone.addPolygon(QPolygonF{{4, 10}, {45, 10}, {28.5, 30}, {20.5, 30}});
    cone.closeSubpath();
    QPainterPath spout;
    spout.addPolygon(QPolygonF{{20.5, 28}, {28.5, 28}, {27.3, 44}, {21.7, 44}});
    spout.closeSubpath();
    shape(p, cone.united(spout), yellow, 2.0, red);

    // Shine so the cone reads as round rather than as a flat triangle.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 245, 170));
    p.drawPolygon(QPolygonF{{11, 14}, {15.5, 14}, {23.5, 28}, {22.5, 29}});
    p.drawRect(QRectF(22.6, 31, 1.6, 10));

    shape(p, ellipse(24.5, 10, 20.5, 5.5), yellow, 2.0, red);
    shape(p, ellipse(24.5, 10, 16.5, 3.3), QColor(215, 150, 0), 1.2, red);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 70, 0));
    p.drawEllipse(QPointF(24.5, 10.6), 4.2, 1.4);
}

void drawLamp(QPainter &p)
{
    const QColor black(35, 35, 38);
    const QColor orange(255, 140, 20);

    QPainterPath plate;
    plate.addRoundedRect(QRectF(4, 48.5, 30, 4.5), 2, 2);
    shape(p, plate, black);
    QPainterPath dome;
    dome.moveTo(8, 49);
    dome.cubicTo(8, 41.5, 30, 41.5, 30, 49);
    dome.closeSubpath();
    shape(p, dome, black);
    p.setPen(inkPen(1.2, QColor(120, 120, 125)));
    p.drawLine(QPointF(12, 46.5), QPointF(15, 44.5));

    QPainterPath arm;
    arm.moveTo(19, 44);
    arm.lineTo(10, 26);
    arm.lineTo(30.5, 8);
    p.setBrush(Qt::NoBrush);
    p.setPen(inkPen(3.4, black));
    p.drawPath(arm);
    p.setPen(inkPen(1.0, QColor(110, 110, 118)));
    p.drawLine(QPointF(17.6, 40.5), QPointF(11.4, 28));
    p.drawLine(QPointF(12.5, 24), QPointF(27.5, 11));

    for (const QPointF c : {QPointF(10, 26), QPointF(19, 44)})
        shape(p, ellipse(c.x(), c.y(), 2.7, 2.7), QColor(150, 150, 158), 1.3);

    p.save();
    p.translate(33.5, 14.5);
    p.rotate(-22);
    QPainterPath glow;
    glow.moveTo(-11, 12);
    glow.lineTo(-12, 19);
    glow.quadTo(0, 22.5, 12, 19);
    glow.lineTo(11, 12);
    glow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 244, 170));
    p.drawPath(glow);
    shape(p, ellipse(0, 12, 6, 4.5), QColor(255, 236, 90), 1.3);
    QPainterPath shade;
    shade.moveTo(-4.5, -4);
    shade.quadTo(0, -10, 4.5, -4);
    shade.lineTo(13.5, 11);
    shade.quadTo(0, 15.5, -13.5, 11);
    shade.closeSubpath();
    shape(p, shade, orange);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 200, 120));
    p.drawPolygon(QPolygonF{{-3.5, -3}, {-1.5, -4}, {-7.5, 10}, {-10, 10.5}});
    shape(p, ellipse(0, -7.5, 2.2, 2.2), black, 1.0);
    p.restore();
}

void drawClock(QPainter &p)
{
    const QColor yellow(255, 208, 30);
    const double cx = 26.5, cy = 29.5, r = 17.5;

    // Legs first so the body hides their tops.
    p.setPen(inkPen(3.2));
    p.drawLine(QPointF(17, 42), QPointF(11.5, 50));
    p.drawLine(QPointF(36, 42), QPointF(41.5, 50));

    for (int side : {-1, 1}) {
        p.save();
        p.translate(cx + side * 13, 12.5);
        p.rotate(side * 40);
        QPainterPath bell;
        bell.moveTo(-8, 2);
        bell.cubicTo(-8, -8, 8, -8, 8, 2);
        bell.closeSubpath();
        shape(p, bell, yellow);
        p.restore();
    }
    p.setPen(inkPen(2.2));
    p.drawLine(QPointF(cx, 12), QPointF(cx, 6));
    shape(p, ellipse(cx, 5, 2.6, 2.6), yellow, 1.3);

    shape(p, ellipse(cx, cy, r, r), yellow);
    shape(p, ellipse(cx, cy, 13.3, 13.3), Qt::white, 1.3);
    p.setPen(inkPen(1.2, QColor(255, 250, 220)));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(cx - 15.3, cy - 15.3, 30.6, 30.6), 100 * 16, 70 * 16);

    for (int h = 0; h < 12; ++h) {
        const double a = h * M_PI / 6;
        const bool major = h % 3 == 0;
        const double r0 = major ? 9.6 : 10.6, r1 = 12;
        p.setPen(inkPen(major ? 1.8 : 1.1));
        p.drawLine(QPointF(cx + r0 * std::sin(a), cy - r0 * std::cos(a)),
                   QPointF(cx + r1 * std::sin(a), cy - r1 * std::cos(a)));
    }
    // Ten past ten: the classic friendly face of a clock.
    const double hour = -60 * M_PI / 180, minute = 60 * M_PI / 180;
    p.setPen(inkPen(2.4));
    p.drawLine(QPointF(cx, cy), QPointF(cx + 6.5 * std::sin(hour), cy - 6.5 * std::cos(hour)));
    p.setPen(inkPen(1.7));
    p.drawLine(QPointF(cx, cy), QPointF(cx + 9.5 * std::sin(minute), cy - 9.5 * std::cos(minute)));
    shape(p, ellipse(cx, cy, 1.8, 1.8), QColor(220, 30, 30), 0.8);
}

void drawBoat(QPainter &p)
{
    // Water
    QPainterPath wave;
    wave.moveTo(1.5, 52);
    for (int i = 0; i < 6; ++i)
        wave.quadTo(1.5 + i * 7.2 + 3.6, 49.3, 1.5 + (i + 1) * 7.2, 52);
    rimmedStroke(p, wave, QColor(60, 150, 235), 2.2, 0.8);

    QPainterPath mast;
    mast.addRoundedRect(QRectF(21.5, 3.5, 3, 39), 1, 1);
    shape(p, mast, QColor(150, 90, 40), 1.2);
    shape(p, QPolygonF{{24.5, 4}, {31.5, 6.5}, {24.5, 9}}, QColor(225, 30, 40), 1.2);

    QPainterPath main;
    main.moveTo(26, 7);
    main.quadTo(38, 18, 42.5, 37);
    main.lineTo(26, 37);
    main.closeSubpath();
    shape(p, main, QColor(255, 140, 20));
    QPainterPath jib;
    jib.moveTo(20, 11);
    jib.quadTo(10, 23, 4, 37);
    jib.lineTo(20, 37);
    jib.closeSubpath();
    shape(p, jib, QColor(60, 185, 60));

    QPainterPath hull;
    hull.moveTo(2.5, 39.5);
    hull.lineTo(43.5, 39.5);
    hull.quadTo(40, 47, 35, 50.5);
    hull.lineTo(11, 50.5);
    hull.quadTo(6, 47, 2.5, 39.5);
    hull.closeSubpath();
    shape(p, hull, QColor(225, 40, 165));
    p.setPen(inkPen(1.4, QColor(255, 170, 225)));
    p.drawLine(QPointF(7, 42.8), QPointF(39, 42.8));
    for (double x : {14.0, 23.0, 32.0})
        shape(p, ellipse(x, 46.5, 1.8, 1.8), Qt::white, 1.0);
}

void drawFlag(QPainter &p)
{
    const QColor brown(150, 90, 40);
    QPainterPath foot;
    foot.addRoundedRect(QRectF(2, 53.5, 11, 4), 1.5, 1.5);
    shape(p, foot, brown);
    QPainterPath pole;
    pole.addRoundedRect(QRectF(5.5, 5, 4, 50), 1.2, 1.2);
    shape(p, pole, brown);
    shape(p, ellipse(7.5, 4.5, 3, 3), QColor(255, 200, 30), 1.3);

    // A gentle wave makes it a flag in the wind rather than a plain box.
    QPainterPath flag;
    flag.moveTo(9.5, 8);
    flag.cubicTo(19, 3.5, 31, 12.5, 42.5, 7.5);
    flag.lineTo(42.5, 32.5);
    flag.cubicTo(31, 37.5, 19, 28.5, 9.5, 33);
    flag.closeSubpath();
    p.save();
    p.setClipPath(flag);
    p.fillRect(QRectF(8, 0, 13, 40), QColor(0, 150, 70));
    p.fillRect(QRectF(21, 0, 10.5, 40), Qt::white);
    p.fillRect(QRectF(31.5, 0, 12, 40), QColor(220, 30, 45));
    p.restore();
    p.setBrush(Qt::NoBrush);
    p.setPen(inkPen());
    p.drawPath(flag);
}

void drawCandle(QPainter &p)
{
    const QColor orange(250, 135, 25);

    shape(p, ellipse(21, 16, 9.5, 10), QColor(255, 246, 190), 0);

    QPainterPath handle;
    handle.addEllipse(QPointF(36, 50), 4.3, 3.8);
    rimmedStroke(p, handle, orange, 2.0, 1.2);
    shape(p, ellipse(20, 53.5, 17.5, 5.5), orange);
    shape(p, ellipse(20, 52.3, 12.5, 3.2), QColor(255, 175, 80), 1.1);
    QPainterPath cup;
    cup.moveTo(12.5, 45);
    cup.lineTo(29.5, 45);
    cup.lineTo(28, 51.5);
    cup.quadTo(21, 54, 14, 51.5);
    cup.closeSubpath();
    shape(p, cup, orange);

    QPainterPath candle;
    candle.moveTo(14, 26);
    candle.lineTo(14, 46);
    candle.quadTo(21, 48.5, 28, 46);
    candle.lineTo(28, 26);
    candle.closeSubpath();
    shape(p, candle, QColor(255, 222, 50));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 245, 160));
    p.drawRect(QRectF(16.2, 28.5, 2.2, 15));
    QPainterPath drip;
    drip.moveTo(22, 27);
    drip.lineTo(22, 33);
    drip.quadTo(23.5, 35.5, 25, 33);
    drip.lineTo(25, 27);
    shape(p, drip, QColor(255, 236, 120), 1.1);
    shape(p, ellipse(21, 26, 7, 2.2), QColor(255, 236, 120), 1.3);

    p.setPen(inkPen(1.4));
    p.drawLine(QPointF(21, 25.5), QPointF(21, 21));

    QPainterPath flame;
    flame.moveTo(21, 4);
    flame.cubicTo(28.5, 11, 27.5, 21.5, 21, 21.5);
    flame.cubicTo(14.5, 21.5, 13.5, 11, 21, 4);
    shape(p, flame, QColor(255, 130, 20), 1.3, QColor(200, 70, 10));
    QPainterPath core;
    core.moveTo(21, 10);
    core.cubicTo(25, 14, 24.5, 20, 21, 20);
    core.cubicTo(17.5, 20, 17, 14, 21, 10);
    shape(p, core, QColor(255, 235, 80), 0);
}

void drawDie(QPainter &p)
{
    const QPolygonF front{{4, 15}, {34, 15}, {34, 44}, {4, 44}};
    const QPolygonF top{{4, 15}, {14, 4}, {44, 4}, {34, 15}};
    const QPolygonF right{{34, 15}, {44, 4}, {44, 33}, {34, 44}};
    shape(p, top, QColor(255, 238, 120));
    shape(p, right, QColor(236, 178, 15));
    shape(p, front, QColor(255, 212, 35));

    const QPolygonF unit{{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    const QColor red(220, 25, 35);
    auto pips = [&](const QPolygonF &face, std::initializer_list<QPointF> at) {
        QTransform t;
        QTransform::quadToQuad(unit, face, t);
        for (const QPointF &c : at)
            shape(p, t.map(ellipse(c.x(), c.y(), 0.115, 0.115)), red, 0.9, QColor(120, 10, 15));
    };
    pips(front, {{0.25, 0.25}, {0.75, 0.25}, {0.5, 0.5}, {0.25, 0.75}, {0.75, 0.75}});
    pips(QPolygonF{{14, 4}, {44, 4}, {34, 15}, {4, 15}}, {{0.5, 0.5}});
    pips(QPolygonF{{34, 15}, {44, 4}, {44, 33}, {34, 44}}, {{0.27, 0.27}, {0.73, 0.73}});
}

void drawKite(QPainter &p)
{
    QPainterPath tail;
    tail.moveTo(21, 36);
    tail.cubicTo(27, 41, 12, 42, 15, 47);
    tail.cubicTo(17, 49.5, 12, 50, 9, 51);
    p.setBrush(Qt::NoBrush);
    p.setPen(inkPen(1.2));
    p.drawPath(tail);
    const QColor bows[] = {QColor(225, 30, 40), QColor(40, 120, 230), QColor(60, 180, 60)};
    const double at[] = {0.2, 0.58, 0.97};
    for (int i = 0; i < 3; ++i) {
        const QPointF c = tail.pointAtPercent(at[i]);
        p.save();
        p.translate(c);
        p.rotate(20 - 15 * i);
        shape(p, QPolygonF{{0, 0}, {-4.5, -3}, {-4.5, 3}}, bows[i], 1.1);
        shape(p, QPolygonF{{0, 0}, {4.5, -3}, {4.5, 3}}, bows[i], 1.1);
        p.restore();
    }

    const QPointF topP(25, 2.5), rightP(41.5, 15.5), bottomP(21, 36), leftP(5, 17.5);
    const QPointF mid(23.3, 16.3);
    const QColor orange(255, 130, 20), yellow(255, 220, 40);
    shape(p, QPolygonF{topP, mid, leftP}, orange, 0);
    shape(p, QPolygonF{topP, rightP, mid}, yellow, 0);
    shape(p, QPolygonF{mid, rightP, bottomP}, orange, 0);
    shape(p, QPolygonF{leftP, mid, bottomP}, yellow, 0);
    p.setPen(inkPen(1.2, QColor(130, 70, 30)));
    p.drawLine(topP, bottomP);
    p.drawLine(leftP, rightP);
    p.setBrush(Qt::NoBrush);
    p.setPen(inkPen(1.8));
    p.drawPolygon(QPolygonF{topP, rightP, bottomP, leftP});
}

void drawChair(QPainter &p)
{
    const QColor yellow(255, 208, 35);
    const QColor side(228, 165, 10);
    auto bar = [&](double x, double y0, double y1, const QColor &c) {
        QPainterPath path;
        path.addRoundedRect(QRectF(x - 1.8, y0, 3.6, y1 - y0), 1, 1);
        shape(p, path, c, 1.3);
    };

    // Back legs and backrest sit behind the seat.
    bar(16, 3, 41, side);
    bar(42, 3, 41, side);
    QPainterPath rail;
    rail.addRoundedRect(QRectF(14, 3, 30, 7.5), 2.5, 2.5);
    shape(p, rail, yellow, 1.4);
    for (double x : {23.5, 29.0, 34.5})
        bar(x, 10.5, 24.5, yellow);

    shape(p, QPolygonF{{7, 31}, {33, 31}, {42, 24}, {16, 24}}, QColor(255, 228, 100), 1.4);
    shape(p, QPolygonF{{33, 31}, {42, 24}, {42, 28}, {33, 35}}, side, 1.4);
    shape(p, QPolygonF{{7, 31}, {33, 31}, {33, 35}, {7, 35}}, yellow, 1.4);

    bar(8.5, 35, 47.5, yellow);
    bar(31.5, 35, 47.5, yellow);
}

void drawFir(QPainter &p)
{
    QPainterPath trunk;
    trunk.addRoundedRect(QRectF(19.5, 36, 9, 10.5), 1.5, 1.5);
    shape(p, trunk, QColor(140, 85, 40), 1.5, QColor(70, 40, 20));

    const QColor green(45, 165, 65), light(120, 210, 110), rim(15, 75, 30);
    struct Tier {
        double top, base, half;
    };
    const Tier tiers[] = {{17, 39.5, 20.5}, {9.5, 29, 15.5}, {2.5, 18.5, 10.5}};
    for (const Tier &t : tiers) {
        QPainterPath path;
        path.moveTo(24, t.top);
        path.quadTo(24 + t.half * 0.45, t.base - (t.base - t.top) * 0.45, 24 + t.half, t.base);
        // Scalloped hem: the branches hang in soft bumps.
        const int bumps = t.half > 15 ? 4 : 3;
        const double step = 2 * t.half / bumps;
        for (int i = 0; i < bumps; ++i) {
            const double x0 = 24 + t.half - i * step;
            path.quadTo(x0 - step / 2, t.base + 2.6, x0 - step, t.base);
        }
        path.quadTo(24 - t.half * 0.45, t.base - (t.base - t.top) * 0.45, 24, t.top);
        path.closeSubpath();
        shape(p, path, green, 1.6, rim);
        p.setPen(inkPen(1.3, light));
        p.setBrush(Qt::NoBrush);
        QPainterPath shine;
        shine.moveTo(24 - 2.2, t.top + 4);
        shine.quadTo(24 - t.half * 0.35, t.base - (t.base - t.top) * 0.4, 24 - t.half * 0.7, t.base - 2.5);
        p.drawPath(shine);
    }
}

void drawCherries(QPainter &p)
{
    const QPointF knot(29.5, 6.5);
    const QColor stalk(70, 160, 50);
    QPainterPath s1, s2;
    s1.moveTo(15, 26);
    s1.cubicTo(16, 16, 22, 9, knot.x(), knot.y());
    s2.moveTo(33, 27);
    s2.cubicTo(32, 18, 30, 12, knot.x(), knot.y());
    rimmedStroke(p, s1, stalk, 1.8, 0.9);
    rimmedStroke(p, s2, stalk, 1.8, 0.9);

    QPainterPath leaf;
    leaf.moveTo(knot);
    leaf.quadTo(35, -0.5, 45, 3.5);
    leaf.quadTo(39, 12, knot.x(), knot.y());
    shape(p, leaf, QColor(80, 190, 60), 1.4, QColor(20, 80, 25));
    p.setPen(inkPen(0.9, QColor(30, 110, 35)));
    p.drawLine(knot, QPointF(42, 4.5));

    const QColor red(225, 25, 45), rim(110, 0, 15);
    for (const QPointF c : {QPointF(33, 36.5), QPointF(15, 35.5)}) {
        shape(p, ellipse(c.x(), c.y(), 10.5, 10), red, 1.6, rim);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 220));
        p.save();
        p.translate(c.x() - 4.2, c.y() - 3.8);
        p.rotate(-35);
        p.drawEllipse(QPointF(0, 0), 3, 1.8);
        p.restore();
        p.setPen(inkPen(1.1, rim));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(c.x() - 2.5, c.y() - 11.5, 5, 3), 200 * 16, 140 * 16);
    }
}

void drawCat(QPainter &p)
{
    const QColor brown(175, 105, 45), yellow(255, 205, 60), rim(60, 35, 15);

    QPainterPath tail;
    tail.moveTo(33, 43.5);
    tail.cubicTo(44, 45, 46, 36, 42, 28.5);
    rimmedStroke(p, tail, brown, 4.2, 1.5);
    shape(p, ellipse(42, 28.5, 2.6, 2.6), yellow, 1.4, rim);

    QPainterPath body;
    body.moveTo(17, 23);
    body.cubicTo(9, 29, 7.5, 45.5, 14, 45.5);
    body.lineTo(34, 45.5);
    body.cubicTo(40.5, 45.5, 39, 29, 31, 23);
    body.closeSubpath();
    shape(p, body, brown, 1.6, rim);
    shape(p, ellipse(24, 35, 6.2, 8.5), yellow, 0);
    for (double x : {18.5, 29.5})
        shape(p, ellipse(x, 44.2, 4.3, 2.8), yellow, 1.3, rim);

    for (double side : {-1, 1}) {
        const QPolygonF ear{{24 + side * 12.5, 13}, {24 + side * 11.5, 1.5}, {24 + side * 3.5, 7}};
        shape(p, ear, brown, 1.6, rim);
        shape(p, QPolygonF{{24 + side * 11, 10.5}, {24 + side * 10.5, 4.5}, {24 + side * 6, 7.5}}, yellow, 0);
    }
    shape(p, ellipse(24, 15.5, 12.5, 10.5), brown, 1.6, rim);
    // Stripes on the crown, the classic tabby look.
    p.setPen(inkPen(1.2, QColor(120, 65, 25)));
    for (double dx : {-3.0, 0.0, 3.0})
        p.drawLine(QPointF(24 + dx, 5.8), QPointF(24 + dx * 0.8, 9));
    shape(p, ellipse(21, 20.3, 4, 3.2), yellow, 0);
    shape(p, ellipse(27, 20.3, 4, 3.2), yellow, 0);

    for (int side : {-1, 1}) {
        shape(p, ellipse(24 + side * 5, 14.5, 2.8, 3.2), QColor(255, 230, 60), 1.0, rim);
        shape(p, ellipse(24 + side * 5, 14.7, 0.9, 2.3), QColor(20, 20, 20), 0);
        p.setPen(inkPen(0.8, rim));
        p.drawLine(QPointF(24 + side * 7, 20), QPointF(24 + side * 14, 18.5));
        p.drawLine(QPointF(24 + side * 7, 21.5), QPointF(24 + side * 14, 22.5));
    }
    shape(p, QPolygonF{{22.3, 18.2}, {25.7, 18.2}, {24, 20}}, QColor(240, 110, 130), 0.8, rim);
    p.setPen(inkPen(0.9, rim));
    p.setBrush(Qt::NoBrush);
    QPainterPath mouth;
    mouth.moveTo(21.8, 21.3);
    mouth.quadTo(23, 22.6, 24, 20.5);
    mouth.quadTo(25, 22.6, 26.2, 21.3);
    p.drawPath(mouth);
}

void drawStart(QPainter &p)
{
    p.fillRect(QRectF(0, 0, 399, 258), QColor(255, 192, 255));
    QPainterPath card;
    card.addRoundedRect(QRectF(20, 18, 359, 222), 34, 34);
    shape(p, card, Qt::white, 8, QColor(220, 20, 30));

    // Ten trees left in a loose, hand-placed order on three rows: a set,
    // not a tidy table.
    struct Spot {
        int row, col;
        double dx, dy;
    };
    const Spot spots[] = {
        {0, 0, 6, 3},  {0, 2, -9, -2}, {0, 3, 8, 4},   {1, 0, -4, -3}, {1, 1, 10, 4},
        {1, 3, -8, 2}, {1, 4, 5, -4},  {2, 1, -6, -2}, {2, 2, 12, 3},  {2, 4, -5, 1},
    };
    const double colX[] = {72, 136, 200, 264, 328};
    const double rowY[] = {62, 129, 196};
    const double size = 54;
    for (const Spot &s : spots) {
        p.save();
        p.translate(colX[s.col] + s.dx - size / 2, rowY[s.row] + s.dy - size / 2);
        p.scale(size / 48, size / 48);
        drawFir(p);
        p.restore();
    }
}

void drawStartIcon(QPainter &p)
{
    p.fillRect(QRectF(0, 0, 32, 32), Qt::black);
    const QColor red(235, 25, 30);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(red, 4.4, Qt::SolidLine, Qt::FlatCap));
    p.drawEllipse(QPointF(15.5, 15), 10, 11);
    p.setPen(QPen(red, 4.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(18, 20), QPointF(27.5, 29.5));
}

// The program's icon for the desktop: the start window's red Q on black, redrawn for each size
// with its strokes and edges on whole pixels, so small sizes stay sharp instead of blurred.
void drawAppIcon(QPainter &p, int px)
{
    const int margin = px <= 24 ? 0 : qRound(px / 16.0);
    const int c = px - 2 * margin;
    auto at = [&](double fraction) { return margin + qRound(fraction * c); };

    QPainterPath back;
    const double radius = std::max(2.0, std::round(c * 0.16));
    back.addRoundedRect(QRectF(margin, margin, c, c), radius, radius);
    QLinearGradient shade(0, margin, 0, px - margin);
    shade.setColorAt(0, px >= 48 ? QColor(58, 58, 62) : Qt::black);
    shade.setColorAt(1, Qt::black);
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawPath(back);

    const QColor red(235, 25, 30);
    const int w = std::max(2, qRound(c * 0.14));
    // The ring's outer box on whole pixels; the pen runs half a stroke inside it.
    const QRectF outer(QPointF(at(0.12), at(0.06)), QPointF(at(0.82), at(0.86)));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(red, w, Qt::SolidLine, Qt::FlatCap));
    p.drawEllipse(outer.adjusted(w / 2.0, w / 2.0, -w / 2.0, -w / 2.0));
    const double centre = w % 2 ? 0.5 : 0;
    p.setPen(QPen(red, w, Qt::SolidLine, px <= 24 ? Qt::SquareCap : Qt::RoundCap));
    p.drawLine(QPointF(at(0.56) + centre, at(0.62) + centre), QPointF(at(0.82) + centre, at(0.88) + centre));
}

void drawWorkIcon(QPainter &p)
{
    shape(p, QPolygonF{{16, 2.5}, {30, 28.5}, {2, 28.5}}, QColor(30, 90, 230), 1.8, QColor(10, 30, 110));
}

// ---------------------------------------------------------------- rendering

QImage render(const DrawFn &draw, QSize size, int scale, bool transparent)
{
    QImage img(size * scale, QImage::Format_ARGB32_Premultiplied);
    img.fill(transparent ? Qt::transparent : Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.scale(scale, scale);
    draw(p);
    p.end();
    return img;
}

// Supersampling: the box-filtered 4x drawing gives smoother edges at 1x
// than rasterising the thin outlines directly.
QImage renderSmall(const DrawFn &draw, QSize size, bool transparent)
{
    return render(draw, size, 4, transparent).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

struct Box {
    QVector<QPair<QRgb, int>> colors;
};

int channel(QRgb c, int ch) { return ch == 0 ? qRed(c) : ch == 1 ? qGreen(c) : qBlue(c); }

// Median cut refined by a few k-means passes: the flat cartoon colours keep
// their exact shade instead of snapping to a fixed web palette.
QVector<QRgb> palette(const QMap<QRgb, int> &histogram, int wanted)
{
    QVector<QRgb> out;
    if (histogram.size() <= wanted) {
        for (auto it = histogram.cbegin(); it != histogram.cend(); ++it)
            out.append(it.key());
        return out;
    }
    QVector<Box> boxes(1);
    for (auto it = histogram.cbegin(); it != histogram.cend(); ++it)
        boxes[0].colors.append({it.key(), it.value()});
    while (boxes.size() < wanted) {
        int best = -1, bestCh = 0;
        double bestScore = 0;
        for (int i = 0; i < boxes.size(); ++i) {
            if (boxes[i].colors.size() < 2)
                continue;
            long weight = 0;
            for (const auto &c : boxes[i].colors)
                weight += c.second;
            for (int ch = 0; ch < 3; ++ch) {
                int lo = 255, hi = 0;
                for (const auto &c : boxes[i].colors) {
                    lo = std::min(lo, channel(c.first, ch));
                    hi = std::max(hi, channel(c.first, ch));
                }
                const double score = (hi - lo) * std::sqrt(double(weight));
                if (score > bestScore) {
                    bestScore = score;
                    best = i;
                    bestCh = ch;
                }
            }
        }
        if (best < 0)
            break;
        auto cs = boxes[best].colors;
        std::sort(cs.begin(), cs.end(),
                  [&](const auto &a, const auto &b) { return channel(a.first, bestCh) < channel(b.first, bestCh); });
        long total = 0, half = 0;
        for (const auto &c : cs)
            total += c.second;
        int cut = 1;
        for (int i = 0; i < cs.size() - 1; ++i) {
            half += cs[i].second;
            cut = i + 1;
            if (half * 2 >= total)
                break;
        }
        Box a, b;
        a.colors = cs.mid(0, cut);
        b.colors = cs.mid(cut);
        boxes[best] = a;
        boxes.append(b);
    }
    QVector<std::array<double, 3>> centres;
    for (const Box &b : boxes) {
        std::array<double, 3> sum{0, 0, 0};
        long n = 0;
        for (const auto &c : b.colors) {
            for (int ch = 0; ch < 3; ++ch)
                sum[ch] += channel(c.first, ch) * double(c.second);
            n += c.second;
        }
        centres.append({sum[0] / n, sum[1] / n, sum[2] / n});
    }
    for (int pass = 0; pass < 6; ++pass) {
        QVector<std::array<double, 4>> acc(centres.size(), {0, 0, 0, 0});
        for (auto it = histogram.cbegin(); it != histogram.cend(); ++it) {
            int best = 0;
            double bestD = 1e18;
            for (int i = 0; i < centres.size(); ++i) {
                double d = 0;
                for (int ch = 0; ch < 3; ++ch) {
                    const double v = channel(it.key(), ch) - centres[i][ch];
                    d += v * v;
                }
                if (d < bestD) {
                    bestD = d;
                    best = i;
                }
            }
            for (int ch = 0; ch < 3; ++ch)
                acc[best][ch] += channel(it.key(), ch) * double(it.value());
            acc[best][3] += it.value();
        }
        for (int i = 0; i < centres.size(); ++i)
            if (acc[i][3] > 0)
                centres[i] = {acc[i][0] / acc[i][3], acc[i][1] / acc[i][3], acc[i][2] / acc[i][3]};
    }
    for (const auto &c : centres)
        out.append(qRgb(int(std::lround(c[0])), int(std::lround(c[1])), int(std::lround(c[2]))));
    return out;
}

// Index 0 is the transparent entry; icon masks are 1-bit, so half-covered
// edge pixels become either solid outline or background.
QImage toIndexed(const QImage &src, int colours)
{
    const QImage img = src.convertToFormat(QImage::Format_ARGB32);
    QMap<QRgb, int> histogram;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            if (qAlpha(c) >= 128)
                ++histogram[c | 0xff000000];
        }
    const QVector<QRgb> pal = palette(histogram, colours - 1);
    QVector<QRgb> table{qRgba(0, 0, 0, 0)};
    table += pal;
    QImage out(img.size(), QImage::Format_Indexed8);
    out.setColorTable(table);
    std::map<QRgb, int> cache;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            int index = 0;
            if (qAlpha(c) >= 128) {
                const QRgb key = c | 0xff000000;
                auto it = cache.find(key);
                if (it == cache.end()) {
                    int best = 1;
                    long bestD = 1L << 40;
                    for (int i = 1; i < table.size(); ++i) {
                        const long dr = qRed(key) - qRed(table[i]);
                        const long dg = qGreen(key) - qGreen(table[i]);
                        const long db = qBlue(key) - qBlue(table[i]);
                        const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                        if (d < bestD) {
                            bestD = d;
                            best = i;
                        }
                    }
                    it = cache.emplace(key, best).first;
                }
                index = it->second;
            }
            out.setPixel(x, y, uint(index));
        }
    return out;
}

// Qt's ICO writer always emits 32-bit images, so palette icons are written
// by hand: one directory entry, a BITMAPINFOHEADER, the colour table, the
// bottom-up XOR bitmap and the 1-bit AND mask.
bool writeIndexedIco(const QImage &img, int bits, const QString &path)
{
    const int w = img.width(), h = img.height();
    const int entries = 1 << bits;
    const int xorStride = ((w * bits + 31) / 32) * 4;
    const int andStride = ((w + 31) / 32) * 4;
    const int imageBytes = 40 + entries * 4 + (xorStride + andStride) * h;

    QByteArray data;
    QDataStream s(&data, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    s << quint16(0) << quint16(1) << quint16(1);
    s << quint8(w >= 256 ? 0 : w) << quint8(h >= 256 ? 0 : h) << quint8(entries >= 256 ? 0 : entries) << quint8(0)
      << quint16(1) << quint16(bits) << quint32(imageBytes) << quint32(6 + 16);

    s << quint32(40) << qint32(w) << qint32(2 * h) << quint16(1) << quint16(bits) << quint32(0)
      << quint32((xorStride + andStride) * h) << qint32(0) << qint32(0) << quint32(entries) << quint32(0);
    const QVector<QRgb> table = img.colorTable();
    for (int i = 0; i < entries; ++i) {
        const QRgb c = i < table.size() ? table[i] : 0;
        s << quint8(qBlue(c)) << quint8(qGreen(c)) << quint8(qRed(c)) << quint8(0);
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(xorStride, '\0');
        for (int x = 0; x < w; ++x) {
            const int v = img.pixelIndex(x, y);
            if (bits == 8)
                row[x] = char(v);
            else
                row[x / 2] = char(row[x / 2] | (x % 2 ? v : v << 4));
        }
        s.writeRawData(row.constData(), row.size());
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(andStride, '\0');
        for (int x = 0; x < w; ++x)
            if (qAlpha(table[img.pixelIndex(x, y)]) == 0)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        s.writeRawData(row.constData(), row.size());
    }
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

enum class Kind { Jpeg, Icon256 };

struct Picture {
    QString name;
    QSize size;
    Kind kind;
    DrawFn draw;
};

bool failed = false;

void check(bool ok, const QString &what)
{
    if (!ok) {
        std::fprintf(stderr, "disegna_figure: %s\n", qPrintable(what));
        failed = true;
    }
}

// Reads an icon back through Qt, the way the program will, to prove the
// mask made it into the file.
void verifyIcon(const QString &path, QSize size, bool expectTransparent)
{
    QImage back(path);
    check(!back.isNull(), path + ": Qt cannot read it back");
    if (back.isNull())
        return;
    check(back.size() == size, path + ": wrong size");
    const bool clearCorner = qAlpha(back.pixel(0, 0)) == 0;
    check(clearCorner == expectTransparent, path + ": transparency lost or unexpected");
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources/figure");
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "disegna_figure: cannot create %s\n", qPrintable(outDir));
        return 1;
    }
    const QDir dir(outDir);

    const QVector<Picture> pictures{
        {"figura00", {61, 60}, Kind::Jpeg, drawBlank},  {"figura01", {49, 47}, Kind::Jpeg, drawFunnel},
        {"figura02", {54, 55}, Kind::Jpeg, drawLamp},   {"figura03", {53, 53}, Kind::Jpeg, drawClock},
        {"figura04", {46, 56}, Kind::Jpeg, drawBoat},   {"figura05", {45, 59}, Kind::Jpeg, drawFlag},
        {"figura06", {42, 62}, Kind::Jpeg, drawCandle}, {"figura07", {48, 46}, Kind::Jpeg, drawDie},
        {"figura08", {45, 55}, Kind::Jpeg, drawKite},   {"figura09", {49, 50}, Kind::Jpeg, drawChair},
        {"figura10", {48, 48}, Kind::Icon256, drawFir}, {"figura11", {48, 48}, Kind::Icon256, drawCherries},
        {"figura12", {48, 48}, Kind::Icon256, drawCat},
    };

    for (const Picture &pic : pictures) {
        const bool transparent = pic.kind == Kind::Icon256;
        const QImage big = render(pic.draw, pic.size, 4, transparent);
        const QImage big4 =
            transparent ? big.convertToFormat(QImage::Format_ARGB32) : big.convertToFormat(QImage::Format_RGB32);
        const QString bigPath = dir.filePath(pic.name + "@4x.png");
        check(big4.save(bigPath, "PNG"), "cannot write " + bigPath);

        const QImage small = renderSmall(pic.draw, pic.size, transparent);
        if (pic.kind == Kind::Jpeg) {
            const QString path = dir.filePath(pic.name + ".jpg");
            check(small.convertToFormat(QImage::Format_RGB32).save(path, "JPEG", 95), "cannot write " + path);
        } else {
            const QString path = dir.filePath(pic.name + ".ico");
            check(writeIndexedIco(toIndexed(small, 256), 8, path), "cannot write " + path);
            verifyIcon(path, pic.size, true);
        }
    }

    const QString startPath = dir.filePath("inizio.bmp");
    check(renderSmall(drawStart, {399, 258}, false).convertToFormat(QImage::Format_RGB888).save(startPath, "BMP"),
          "cannot write " + startPath);

    const QString startIcon = dir.filePath("icona_inizio.ico");
    check(writeIndexedIco(toIndexed(renderSmall(drawStartIcon, {32, 32}, false), 16), 4, startIcon),
          "cannot write " + startIcon);
    verifyIcon(startIcon, {32, 32}, false);

    const QString workIcon = dir.filePath("icona_operativo.ico");
    check(writeIndexedIco(toIndexed(renderSmall(drawWorkIcon, {32, 32}, true), 16), 4, workIcon),
          "cannot write " + workIcon);
    verifyIcon(workIcon, {32, 32}, true);

    // The desktop's icon theme: one drawing per size. Beside the figures unless told otherwise.
    const QDir iconDir(argc > 2 ? QString::fromLocal8Bit(argv[2]) : dir.filePath(QStringLiteral("../icone")));
    for (int px : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString sub = QStringLiteral("%1x%1").arg(px);
        const QString path = iconDir.filePath(sub + QStringLiteral("/example.quorvel.Quorvel.png"));
        check(QDir().mkpath(iconDir.filePath(sub)), "cannot create " + iconDir.filePath(sub));
        check(render([px](QPainter &p) { drawAppIcon(p, px); }, {px, px}, 1, true).save(path, "PNG"),
              "cannot write " + path);
        check(QImage(path).size() == QSize(px, px), path + ": Qt cannot read it back at its size");
    }

    return failed ? 1 : 0;
}
