// Paints the toolbar, list and window pictures of the customer program and writes them as PNG
// files, 16 and 32 pixels square, and the slim arrow of the narrow drop-down boxes. Rebuild and
// rerun after changing a picture:
//
//   cmake --build <build> --target kestrova-make-icons
//   <build>/bin/kestrova-make-icons customers/shared/resources/icons
//
// Every picture is drawn on a 32-unit grid and scaled, so both sizes share one drawing.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>
#include <functional>

namespace {

const QColor kOutline(0x2b, 0x3a, 0x55);
const QColor kBlueLight(0x7d, 0xb6, 0xff);
const QColor kBlueDark(0x1f, 0x5f, 0xc8);
const QColor kPaper(0xff, 0xff, 0xff);
const QColor kPaperShade(0xdd, 0xe6, 0xf2);

QPen outline(qreal width = 1.6)
{
    return QPen(kOutline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QLinearGradient vertical(const QColor &top, const QColor &bottom, qreal y0 = 0, qreal y1 = 32)
{
    QLinearGradient g(0, y0, 0, y1);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

void roundButton(QPainter &p, const QColor &light, const QColor &dark)
{
    QRadialGradient g(12, 10, 20);
    g.setColorAt(0, light);
    g.setColorAt(1, dark);
    p.setPen(outline(1.4));
    p.setBrush(g);
    p.drawEllipse(QRectF(2.5, 2.5, 27, 27));
}

void arrow(QPainter &p, bool left)
{
    QPainterPath path;
    if (left) {
        path.moveTo(7, 16);
        path.lineTo(16, 7.5);
        path.lineTo(16, 12.5);
        path.lineTo(25, 12.5);
        path.lineTo(25, 19.5);
        path.lineTo(16, 19.5);
        path.lineTo(16, 24.5);
    } else {
        path.moveTo(25, 16);
        path.lineTo(16, 7.5);
        path.lineTo(16, 12.5);
        path.lineTo(7, 12.5);
        path.lineTo(7, 19.5);
        path.lineTo(16, 19.5);
        path.lineTo(16, 24.5);
    }
    path.closeSubpath();
    p.setPen(QPen(QColor(0x10, 0x3a, 0x80), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(path);
}

void document(QPainter &p, const QRectF &r = QRectF(6.5, 3.5, 18, 25))
{
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 6, r.top());
    path.lineTo(r.right(), r.top() + 6);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(outline(1.3));
    p.setBrush(vertical(kPaper, kPaperShade, r.top(), r.bottom()));
    p.drawPath(path);
    QPainterPath fold;
    fold.moveTo(r.right() - 6, r.top());
    fold.lineTo(r.right() - 6, r.top() + 6);
    fold.lineTo(r.right(), r.top() + 6);
    p.setBrush(QColor(0xc4, 0xd2, 0xe6));
    p.drawPath(fold);
}

void textLines(QPainter &p, qreal left, qreal top, qreal width, int count, qreal step = 4)
{
    p.setPen(QPen(QColor(0x7a, 0x8c, 0xa8), 1.6, Qt::SolidLine, Qt::FlatCap));
    for (int i = 0; i < count; ++i)
        p.drawLine(QPointF(left, top + i * step), QPointF(left + width, top + i * step));
}

void drawBack(QPainter &p)
{
    roundButton(p, kBlueLight, kBlueDark);
    arrow(p, true);
}

void drawForward(QPainter &p)
{
    roundButton(p, kBlueLight, kBlueDark);
    arrow(p, false);
}

void star(QPainter &p, QPointF c, qreal outer, qreal inner)
{
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const qreal r = i % 2 ? inner : outer;
        const qreal a = -M_PI / 2 + i * M_PI / 5;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        i == 0 ? path.moveTo(pt) : path.lineTo(pt);
    }
    path.closeSubpath();
    p.setPen(QPen(QColor(0xb0, 0x70, 0x00), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(
        vertical(QColor(0xff, 0xee, 0x70), QColor(0xff, 0xb0, 0x10), c.y() - outer, c.y() + outer));
    p.drawPath(path);
}

void drawNew(QPainter &p)
{
    document(p, QRectF(4.5, 5.5, 18, 24));
    textLines(p, 8, 14, 10, 4);
    star(p, QPointF(23, 9), 8.5, 3.8);
}

void pencil(QPainter &p)
{
    p.save();
    p.translate(19, 15);
    p.rotate(45);
    p.setPen(outline(1.1));
    p.setBrush(vertical(QColor(0xff, 0xd8, 0x4a), QColor(0xe8, 0x9a, 0x10), -3.5, 3.5));
    p.drawRect(QRectF(-10, -3.5, 16, 7));
    p.setBrush(QColor(0xf0, 0x8c, 0x8c));
    p.drawRect(QRectF(-14, -3.5, 4, 7));
    QPainterPath tip;
    tip.moveTo(6, -3.5);
    tip.lineTo(13, 0);
    tip.lineTo(6, 3.5);
    tip.closeSubpath();
    p.setBrush(QColor(0xf5, 0xdc, 0xb4));
    p.drawPath(tip);
    p.setBrush(kOutline);
    p.drawEllipse(QPointF(12, 0), 1.1, 1.1);
    p.restore();
}

void drawEdit(QPainter &p)
{
    document(p, QRectF(3.5, 3.5, 18, 25));
    textLines(p, 7, 12, 10, 4);
    pencil(p);
}

void drawDelete(QPainter &p)
{
    QPainterPath cross;
    const qreal w = 5.5;
    const QPointF c(16, 16);
    QPainterPath a;
    a.addRoundedRect(QRectF(-13, -w / 2, 26, w), 2, 2);
    QTransform t1;
    t1.translate(c.x(), c.y());
    t1.rotate(45);
    QTransform t2;
    t2.translate(c.x(), c.y());
    t2.rotate(-45);
    cross = t1.map(a).united(t2.map(a));
    p.setPen(QPen(QColor(0x80, 0x10, 0x10), 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(QColor(0xff, 0x70, 0x60), QColor(0xc8, 0x18, 0x18), 4, 28));
    p.drawPath(cross);
}

void drawProperties(QPainter &p)
{
    document(p, QRectF(4.5, 3.5, 19, 25));
    textLines(p, 8, 11, 11, 4);
    // a small check box list beside the lines
    p.setPen(outline(1.0));
    p.setBrush(QColor(0x5a, 0xa0, 0xf0));
    p.drawEllipse(QRectF(17.5, 17.5, 12, 12));
    p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(23.5, 22.5), QPointF(23.5, 26.5));
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(23.5, 20.2), 1.2, 1.2);
}

void circularArrow(QPainter &p, qreal startAngle, const QColor &light, const QColor &dark)
{
    const QPointF c(16, 16);
    const qreal r = 10;
    QPainterPath path;
    path.arcMoveTo(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), startAngle);
    path.arcTo(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), startAngle, 140);
    QPen pen(dark, 5.6, Qt::SolidLine, Qt::FlatCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    pen.setColor(light);
    pen.setWidthF(3.2);
    p.setPen(pen);
    p.drawPath(path);
    // head at the end of the arc
    const qreal end = (startAngle + 140) * M_PI / 180;
    const QPointF tip(c.x() + r * std::cos(end), c.y() - r * std::sin(end));
    const QPointF dir(-std::sin(end), -std::cos(end)); // tangent, counter-clockwise
    const QPointF normal(std::cos(end), -std::sin(end));
    QPainterPath head;
    head.moveTo(tip + dir * 6);
    head.lineTo(tip + normal * 5.5);
    head.lineTo(tip - normal * 5.5);
    head.closeSubpath();
    p.setPen(QPen(dark, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(light);
    p.drawPath(head);
}

void drawRefresh(QPainter &p)
{
    circularArrow(p, 20, QColor(0x7c, 0xe0, 0x6a), QColor(0x1f, 0x8a, 0x2a));
    circularArrow(p, 200, QColor(0x7c, 0xe0, 0x6a), QColor(0x1f, 0x8a, 0x2a));
}

void drawFind(QPainter &p)
{
    p.setPen(QPen(QColor(0x4a, 0x30, 0x18), 5.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(19.5, 19.5), QPointF(27.5, 27.5));
    p.setPen(QPen(QColor(0xb0, 0x7a, 0x40), 3.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(20, 20), QPointF(27, 27));
    QRadialGradient glass(10, 9, 12);
    glass.setColorAt(0, QColor(0xf4, 0xfa, 0xff));
    glass.setColorAt(1, QColor(0x9c, 0xc8, 0xf0));
    p.setPen(QPen(kOutline, 2.6));
    p.setBrush(glass);
    p.drawEllipse(QRectF(3.5, 3.5, 18, 18));
    p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(7, 7, 11, 11), 100 * 16, 70 * 16);
}

void tile(QPainter &p, const QRectF &r)
{
    p.setPen(outline(1.1));
    p.setBrush(vertical(kBlueLight, kBlueDark, r.top(), r.bottom()));
    p.drawRoundedRect(r, 1.5, 1.5);
}

void drawViewLarge(QPainter &p)
{
    tile(p, QRectF(3.5, 3.5, 11, 11));
    tile(p, QRectF(17.5, 3.5, 11, 11));
    tile(p, QRectF(3.5, 17.5, 11, 11));
    tile(p, QRectF(17.5, 17.5, 11, 11));
}

void drawViewSmall(QPainter &p)
{
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 2; ++col) {
            const qreal x = 2.5 + col * 15;
            const qreal y = 4.5 + row * 9;
            tile(p, QRectF(x, y, 6, 6));
            p.setPen(QPen(kOutline, 2.0, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(QPointF(x + 8, y + 3), QPointF(x + 13, y + 3));
        }
    }
}

void drawViewList(QPainter &p)
{
    for (int row = 0; row < 4; ++row) {
        const qreal y = 3.5 + row * 7;
        tile(p, QRectF(3.5, y, 5, 5));
        p.setPen(QPen(kOutline, 2.0, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(11, y + 2.5), QPointF(28, y + 2.5));
    }
}

void drawViewDetails(QPainter &p)
{
    const QRectF frame(2.5, 4.5, 27, 23);
    p.setPen(outline(1.2));
    p.setBrush(Qt::white);
    p.drawRect(frame);
    p.setBrush(vertical(kBlueLight, kBlueDark, 4.5, 10.5));
    p.drawRect(QRectF(2.5, 4.5, 27, 6));
    p.setPen(QPen(QColor(0x9a, 0xa8, 0xbe), 1.0));
    for (int row = 1; row < 4; ++row)
        p.drawLine(QPointF(3, 10.5 + row * 4.25), QPointF(29, 10.5 + row * 4.25));
    p.drawLine(QPointF(12.5, 11), QPointF(12.5, 27));
    p.drawLine(QPointF(21, 11), QPointF(21, 27));
}

void drawClass(QPainter &p)
{
    QPainterPath funnel;
    funnel.moveTo(3.5, 5.5);
    funnel.lineTo(28.5, 5.5);
    funnel.lineTo(18.5, 17.5);
    funnel.lineTo(18.5, 27.5);
    funnel.lineTo(13.5, 24.5);
    funnel.lineTo(13.5, 17.5);
    funnel.closeSubpath();
    p.setPen(outline(1.4));
    p.setBrush(vertical(QColor(0xff, 0xd0, 0x60), QColor(0xe0, 0x80, 0x10), 5, 28));
    p.drawPath(funnel);
    p.setPen(QPen(QColor(0xff, 0xf4, 0xc0), 1.6));
    p.drawLine(QPointF(7, 7.5), QPointF(25, 7.5));
}

void person(QPainter &p, const QRectF &box, const QColor &shirtLight, const QColor &shirtDark)
{
    const qreal s = box.width() / 32.0;
    p.save();
    p.translate(box.topLeft());
    p.scale(s, s);
    QPainterPath body;
    body.moveTo(4, 30);
    body.cubicTo(4, 20, 10, 18, 16, 18);
    body.cubicTo(22, 18, 28, 20, 28, 30);
    body.closeSubpath();
    p.setPen(outline(1.3));
    p.setBrush(vertical(shirtLight, shirtDark, 18, 30));
    p.drawPath(body);
    QRadialGradient face(14, 8, 9);
    face.setColorAt(0, QColor(0xff, 0xe6, 0xcc));
    face.setColorAt(1, QColor(0xe8, 0xb0, 0x80));
    p.setBrush(face);
    p.drawEllipse(QRectF(9.5, 2.5, 13, 14));
    p.restore();
}

void drawKestrova(QPainter &p)
{
    QLinearGradient g(0, 0, 32, 32);
    g.setColorAt(0, QColor(0x3f, 0x8c, 0xf0));
    g.setColorAt(1, QColor(0x12, 0x3e, 0x96));
    p.setPen(QPen(QColor(0x0c, 0x26, 0x5c), 1.2));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 6, 6);
    person(p, QRectF(4, 5, 18, 18), QColor(0xff, 0xd0, 0x60), QColor(0xe0, 0x80, 0x10));
    person(p, QRectF(12, 10, 18, 18), QColor(0xff, 0xff, 0xff), QColor(0xc8, 0xd8, 0xf0));
}

struct Picture
{
    const char *name;
    std::function<void(QPainter &)> draw;
};

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);
    const Picture pictures[] = {
        {"back", drawBack},
        {"forward", drawForward},
        {"new", drawNew},
        {"edit", drawEdit},
        {"delete", drawDelete},
        {"properties", drawProperties},
        {"refresh", drawRefresh},
        {"find", drawFind},
        {"view_large", drawViewLarge},
        {"view_small", drawViewSmall},
        {"view_list", drawViewList},
        {"view_details", drawViewDetails},
        {"class", drawClass},
        {"kestrova", drawKestrova},
    };
    for (const Picture &picture : pictures) {
        for (const int size : {16, 32}) {
            QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.scale(size / 32.0, size / 32.0);
            picture.draw(painter);
            painter.end();
            const QString file = QDir(folder).filePath(
                QStringLiteral("%1_%2.png").arg(QLatin1String(picture.name)).arg(size));
            if (!image.save(file)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
                return 1;
            }
        }
    }
    // The slim drop-down arrow of the narrow choice boxes, 7 by 4 pixels.
    QImage comboArrow(7, 4, QImage::Format_ARGB32_Premultiplied);
    comboArrow.fill(Qt::transparent);
    QPainter painter(&comboArrow);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x30, 0x30, 0x30));
    painter.drawPolygon(QPolygonF({QPointF(0, 0), QPointF(7, 0), QPointF(3.5, 4)}));
    painter.end();
    const QString arrowFile = QDir(folder).filePath(QStringLiteral("combo_arrow.png"));
    if (!comboArrow.save(arrowFile)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(arrowFile));
        return 1;
    }
    return 0;
}
