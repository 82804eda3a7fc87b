#include "buttonpainter.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace xpbutton {

namespace {

constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kBlack = 0x000000;

Box clampBox(Box box, int xr, int height)
{
    box.left = std::max(box.left, 6);
    box.top = std::max(box.top, 6);
    box.right = std::min(box.right, xr);
    box.bottom = std::min(box.bottom, height - 6);
    return box;
}

Qt::Alignment captionAlignment(int captionAlign)
{
    switch (captionAlign) {
    case 0:
        return Qt::AlignLeft;
    case 1:
        return Qt::AlignRight;
    default:
        return Qt::AlignHCenter;
    }
}

// A picture drawn as a bitmap: every pixel of the top-left pixel's colour becomes transparent.
QImage maskedBitmap(const QImage &copy)
{
    QImage out = copy.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QRgb key = out.pixel(0, 0) | 0xFF000000u;
    for (int y = 0; y < out.height(); ++y) {
        QRgb *row = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            row[x] = (row[x] | 0xFF000000u) == key ? 0u : (row[x] | 0xFF000000u);
    }
    return out;
}

} // namespace

QString displayCaption(const QString &caption)
{
    QString text = caption;
    text.replace(QStringLiteral("||"), QStringLiteral("\n"));
    return text;
}

ContentInset contentInset(const ButtonState &s)
{
    const int w = s.width;
    const int ls = s.nLeftSlant;
    const int re = s.nRightEdge;
    ContentInset inset;
    switch (s.ButtonShape) {
    case 1:
        inset.x0 = ls - ls / 3;
        inset.cw = w - inset.x0;
        inset.xr = w;
        break;
    case 2:
        inset.x0 = 0;
        inset.xr = re + (w - re) / 3;
        inset.cw = inset.xr;
        break;
    case 3:
        inset.x0 = ls - ls / 3;
        inset.xr = re + (w - re) / 3;
        inset.cw = inset.xr - inset.x0;
        break;
    default:
        inset.x0 = 0;
        inset.cw = re;
        inset.xr = w;
        break;
    }
    return inset;
}

ContentLayout LayoutContent(const ButtonState &s)
{
    const ContentInset in = contentInset(s);
    const int h = s.height;
    const int size = s.imagePixels();
    const bool picture = s.hasPicture();
    const int align = s.PictureAlign;

    int lp = 0, rp = 0, tp = 0, bp = 0;
    if (picture && size <= 32) {
        if (align == 0 || align == 1)
            lp = size;
        else if (align == 2 || align == 3)
            rp = size;
        else if (align == 4)
            tp = size;
        else if (align == 5)
            bp = size;
    }

    int tw = 0;
    int th = -3;
    if (!s.caption.isEmpty()) {
        const int boxWidth = in.cw - 12 - (lp + rp);
        const int boxHeight = h - 12 - (tp + bp);
        const QFontMetrics metrics(s.drawingFont);
        const QRect measured = metrics.boundingRect(
            QRect(0, 0, std::max(boxWidth, 1), std::max(boxHeight, 1)),
            Qt::AlignLeft | Qt::TextWordWrap | Qt::TextShowMnemonic, displayCaption(s.caption));
        tw = measured.width();
        th = measured.height();
        if (s.CaptionStyle != 0) {
            tw += 2;
            th += 2;
        }
    }

    int x;
    switch (s.CaptionAlign) {
    case 0:
        x = in.x0 + 6 + lp + (lp > 0 ? 6 : 0);
        break;
    case 1:
        x = in.xr - rp - tw - 6 - (rp > 0 ? 6 : 0);
        break;
    default:
        if (lp > 0 && align == 1)
            x = (in.cw - tw - lp - 6) / 2 + in.x0 + lp + 6;
        else if (rp > 0 && align == 3)
            x = (in.cw - tw - rp - 6) / 2 + in.x0;
        else
            x = (in.cw - rp - lp - tw) / 2 + in.x0 + lp;
        break;
    }

    Box caption{x, 0, x + tw, th};
    Box pictureBox;
    int captionTop = (h - th) / 2;
    if (picture) {
        const bool noCaption = s.caption.isEmpty();
        int px = 0;
        int py = 0;
        switch (align) {
        case 0:
            px = in.x0 + 6;
            break;
        case 1:
            px = noCaption ? in.x0 + 6 : caption.left - lp - 6;
            break;
        case 2:
            px = in.xr - rp - 6;
            break;
        case 3:
            px = noCaption ? in.xr - rp - 6 : caption.right + 6;
            break;
        default:
            px = (in.cw - size) / 2 + in.x0;
            break;
        }
        if (align == 4) {
            const int d = (h - th - tp) / 2;
            py = d;
            captionTop = d + tp + 2;
        } else if (align == 5) {
            const int d = (h - th - bp) / 2;
            py = th + d + 3;
            captionTop = d + 1;
        } else {
            py = (h - size) / 2;
        }
        pictureBox = {px, py, px + size, py + size};
    }
    caption.top = captionTop;
    caption.bottom = captionTop + th;

    return {clampBox(caption, in.xr, h), picture ? clampBox(pictureBox, in.xr, h) : Box{}};
}

std::vector<Colour> gradientTable(Colour from, Colour to, int bands)
{
    std::vector<Colour> table;
    if (bands <= 0)
        return table;
    table.reserve(size_t(bands));
    table.push_back(from);
    double r = double(from & 0xFF);
    double g = double(from & 0xFF00) / 255.0;
    double b = double(from & 0xFF0000) / 65280.0;
    const double r2 = double(to & 0xFF);
    const double g2 = roundEven(double(to & 0xFF00) / 255.0);
    const double b2 = roundEven(double(to & 0xFF0000) / 65280.0);
    const double steps = bands - 1;
    const double dr = (r2 - r) / steps;
    const double dg = (g2 - g) / steps;
    const double db = (b2 - b) / steps;
    for (int k = 1; k < bands; ++k) {
        r += dr;
        g += dg;
        b += db;
        auto whole = [](double v) {
            return int(std::clamp(v, 0.0, 255.0));
        };
        table.push_back(rgbColour(whole(r), whole(g), whole(b)));
    }
    return table;
}

ButtonPainter::ButtonPainter(const ButtonState &state, Surface &surface, PictureCache *cache)
    : m_s(state)
    , m_surface(surface)
    , m_cache(cache)
{}

void ButtonPainter::paint()
{
    if (m_surface.isNull())
        return;
    Colour face = lookFace(m_s);
    const Colour gradient = lookGradient(m_s, face);
    const int stateCode = PaintFace(face, gradient, m_s.nHoverFaceColor);
    if (m_s.ButtonShape <= 3)
        DrawRings(lookRings(m_s, stateCode, face));
    const FocusPlan focus = lookFocus(m_s, face);
    if (focus.draw)
        DrawFocusMark(focus.colour, focus.solid, focus.aroundContent);
    DrawContent(face, lookContent(m_s, face));
}

int ButtonPainter::PaintFace(Colour face, Colour gradient, Colour hoverFace)
{
    const ButtonState &s = m_s;
    const int w = s.width;
    const int h = s.height;
    const bool pushed = s.drawnPushed();
    const int stateCode = pushed ? 2 : (s.has(DefaultLook) ? 1 : 0);
    if (isSystemColour(hoverFace))
        hoverFace = face;
    if (isSystemColour(gradient))
        gradient = face;

    const bool hot = s.bHovering && !(s.Mode == 0 && pushed) && !s.selected();
    const Colour current = hot ? hoverFace : face;

    if (s.ButtonShape >= 4 && s.ButtonShape <= 6) {
        m_surface.selectClip(false);
        if (s.bHovering || pushed || s.ButtonStyle != 5) {
            if (s.ButtonShape == 6)
                m_surface.ellipseOutline({0, 0, w, h}, kBlack, 2);
            if (s.ButtonShape == 4 || (s.ButtonShape == 5 && !pushed))
                GradientFill(ShiftColour(s.nParentBackColor, +172),
                             ShiftColour(s.nParentBackColor, -32), pushed ? 4 : 3);
            m_surface.selectClip(true);
        }
    }

    if (s.value || s.GradientMode == 0) {
        if (s.ButtonStyle == 2 && (s.enabled || s.Mode > 0)) {
            for (int i = 1; i <= h - 1; ++i)
                m_surface.fillBox(1, i, w - 1, i + 1, sb(current, roundEven(-25.0 * i / h)));
        } else {
            m_surface.fillBox(0, 0, w, h, current);
        }
    } else if (!s.bHovering || pushed || s.GradientColor == s.HoverBackColor) {
        GradientFill(face, gradient, s.GradientMode);
    } else {
        m_surface.fillBox(0, 0, w, h, hoverFace);
    }
    return stateCode;
}

void ButtonPainter::GradientFill(Colour from, Colour to, int mode)
{
    const bool alongX = mode == 1 || mode == 2;
    const int length = alongX ? m_s.width : m_s.height;
    const int screen = alongX ? m_s.screenSize.width() : m_s.screenSize.height();
    if (length <= 0)
        return;
    int bandWidth = 1;
    int bands = length;
    if (screen / length < 4) {
        bandWidth = 2;
        bands = length / 2;
    }
    const std::vector<Colour> table = gradientTable(from, to, bands);
    const bool forward = mode == 1 || mode == 3;
    for (int k = 0; k < bands; ++k) {
        const Colour colour = table[size_t(forward ? k : bands - 1 - k)];
        const int a = k * bandWidth;
        const int b = (k + 1) * bandWidth;
        if (alongX)
            m_surface.fillBox(a, 0, b, m_s.height, colour);
        else
            m_surface.fillBox(0, a, m_s.width, b, colour);
    }
}

void ButtonPainter::DrawRings(const RingPlan &plan)
{
    const ButtonState &s = m_s;
    const int w = s.width;
    const int h = s.height;
    const int ls = s.nLeftSlant;
    const int re = s.nRightEdge;
    const int l = (s.ButtonShape == 1 || s.ButtonShape == 3) ? 1 : 0;
    const int r = (s.ButtonShape == 2 || s.ButtonShape == 3) ? 1 : 0;

    QPoint p[15];
    p[0] = {ls + 2 - 4 * l, h - 3};
    p[1] = {2 * l + 2, 2};
    p[2] = {re + 3 * r - 3, 2};
    p[3] = {w - 3 - 3 * r, h - 3};
    p[4] = {ls + 1 - 4 * l, h - 3};
    p[5] = {p[0].x() + l - 1, p[0].y() + 1};
    p[6] = {p[1].x() - l - 1, p[1].y() - 1};
    p[7] = {p[2].x() + 1 - r, p[2].y() - 1};
    p[8] = {p[3].x() + r + 1, p[3].y() + 1};
    p[9] = {p[4].x() - 1, p[4].y() + 1};
    p[10] = {ls - l, h - 1 + l};
    p[11] = {0, 0};
    p[12] = {re + r - 1, 0};
    p[13] = {w - 1, h - 1 + r};
    p[14] = {ls - 2 * l - 1, h - 1};

    for (int ring = 0; ring < 3; ++ring) {
        const Surface::PenStyle style = ring == 2 ? plan.outerStyle : Surface::PenStyle::Solid;
        const int first = ring * 5;
        for (int edge = 0; edge < 4; ++edge) {
            const Colour colour = plan.palette[size_t(ring * 4 + edge)];
            if (colour == kNoColour)
                continue;
            const QPoint &a = p[first + edge];
            const QPoint &b = p[first + edge + 1];
            m_surface.line(a.x(), a.y(), b.x(), b.y(), colour, style);
        }
    }
    m_surface.lineWithCurrentPen(p[14].x(), p[14].y(), w - 1, h - 1);

    for (const CornerPixel &pixel : plan.pixels)
        m_surface.setPixel(pixel.at.x(), pixel.at.y(), pixel.colour);
}

void ButtonPainter::DrawFocusMark(Colour k, bool solid, bool aroundContent)
{
    const ButtonState &s = m_s;
    if (!s.has(DefaultLook))
        return;
    const int w = s.width;
    const int h = s.height;
    const int ls = s.nLeftSlant;
    const int re = s.nRightEdge;
    if (s.ButtonShape >= 1 && s.ButtonShape <= 3) {
        const int l = ls != 0 ? 1 : 0;
        const int r = w > re ? 1 : 0;
        m_surface.polyline({{ls + 4 - 6 * l, h - 5},
                            {4 * l + 4, 4},
                            {re - 5 + 4 * r, 4},
                            {w - 5 - 6 * r, h - 5},
                            {ls + 3 - 4 * l, h - 5}},
                           k);
        return;
    }
    if (s.ButtonShape >= 4) {
        m_surface.selectClip(false);
        m_surface.ellipseOutline(
            s.ButtonShape == 6 ? Box{2, 2, w - 2, h - 2} : Box{3, 3, w - 3, h - 3}, k, 1);
        m_surface.selectClip(true);
        return;
    }
    if (aroundContent) {
        const Box &b = s.caption.isEmpty() ? s.rcPicture : s.rcCaption;
        if (solid) {
            m_surface.polyline({{b.left - 3, b.top - 3},
                                {b.right + 3, b.top - 3},
                                {b.right + 3, b.bottom + 3},
                                {b.left - 3, b.bottom + 3},
                                {b.left - 3, b.top - 3}},
                               k);
        } else {
            const int e = (s.value || s.drawnPushed()) ? 1 : 0;
            m_surface.focusRect({b.left + e - 3, b.top + e - 3, b.right + e + 3, b.bottom + e + 3});
        }
        return;
    }
    if (solid)
        m_surface.polyline({{4, h - 4}, {4, 4}, {w - 4, 4}, {w - 4, h - 4}, {4, h - 4}}, k);
    else
        m_surface.focusRect({4, 4, w - 4, h - 4});
}

void ButtonPainter::DrawContent(Colour face, const ContentPlan &plan)
{
    const ButtonState &s = m_s;
    const ContentInset inset = contentInset(s);
    Box caption = s.rcCaption;
    Box picture = s.rcPicture;
    int e = 0;
    if ((plan.shift || s.drawnPushed()) && s.ButtonStyle != 3) {
        const int dx = s.ButtonShape <= 3 ? 1 : 0;
        caption = caption.moved(dx, 1);
        picture = picture.moved(dx, 1);
        e = 1;
    }

    drawPicture(picture, inset, e);

    if (s.caption.isEmpty())
        return;
    const QString text = displayCaption(s.caption);
    const Qt::Alignment align = captionAlignment(s.CaptionAlign);
    const Colour t = plan.textArgument;
    bool keep = plan.keep;
    Colour colour;
    if (s.enabled) {
        if (!s.bHovering || s.drawnPushed()) {
            colour = plan.enabledTextFromArgument ? t : ResolveColour(s.ForeColor);
        } else {
            colour = ResolveColour(plan.overrideHoverFore ? t : s.HoverForeColor);
        }
        if (s.CaptionStyle != 0) {
            const int d = s.CaptionStyle == 2 ? 40 : -40;
            caption = caption.moved(-1, 0);
            m_surface.drawText(caption, text, align, ShiftColour(face, d), s.drawingFont);
            caption = caption.moved(2, 2);
            m_surface.drawText(caption, text, align, ShiftColour(face, -d), s.drawingFont);
            caption = caption.moved(-1, -1);
        }
    } else if (isSystemColour(t) || s.GradientMode != 0) {
        colour = kWhite;
        caption = caption.moved(1, 1);
        keep = false;
    } else {
        colour = t;
    }
    m_surface.drawText(caption, text, align, colour, s.drawingFont);
    if (!s.enabled && !keep)
        m_surface.drawText(caption.moved(-1, -1), text, align, 0x808080, s.drawingFont);
}

QImage ButtonPainter::scaledCopy(QSize size)
{
    const QImage &source = m_s.Picture.image();
    const qint64 key = source.cacheKey();
    if (m_cache && m_cache->key == key && m_cache->size == size && !m_cache->copy.isNull())
        return m_cache->copy;
    QImage copy;
    if (m_s.nPicKind == 1) {
        copy = source.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                   .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    } else {
        // Nearest-pixel scaling keeps the transparent colour exact at the edges.
        copy = maskedBitmap(source.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    }
    if (m_cache) {
        m_cache->key = key;
        m_cache->size = size;
        m_cache->copy = copy;
    }
    return copy;
}

void ButtonPainter::drawPicture(const Box &box, const ContentInset &inset, int e)
{
    const ButtonState &s = m_s;
    if (!s.hasPicture() || s.Picture.isNull())
        return;
    const int pixels = s.imagePixels();
    int x = box.left;
    int y = box.top;
    int width = pixels;
    int height = pixels;
    if (pixels == 40) {
        x = e;
        y = e;
        width = s.width - e;
        height = s.height - e;
    } else if (pixels > 32) {
        const double scale =
            std::min(double(inset.cw - 12) / s.nPicWidth, double(s.height - 12) / s.nPicHeight);
        width = roundEven(scale * s.nPicWidth);
        height = roundEven(scale * s.nPicHeight);
        x = (inset.cw - width) / 2 + inset.x0 + e;
        y = (s.height - height) / 2 + e;
    }
    if (width <= 0 || height <= 0)
        return;
    const QImage copy = scaledCopy(QSize(width, height));
    if (copy.isNull())
        return;
    if (s.enabled) {
        m_surface.drawImage(x, y, copy);
        return;
    }
    // The temporary surface holds one bit per pixel: white where the picture left the white
    // ground showing, black wherever it drew.
    QImage temporary(width + 1, height + 1, QImage::Format_RGB32);
    temporary.fill(Qt::white);
    {
        QPainter painter(&temporary);
        painter.drawImage(0, 0, copy);
    }
    for (int ty = 0; ty < temporary.height(); ++ty) {
        QRgb *row = reinterpret_cast<QRgb *>(temporary.scanLine(ty));
        for (int tx = 0; tx < temporary.width(); ++tx)
            row[tx] = (row[tx] & 0xFFFFFFu) == 0xFFFFFFu ? 0xFFFFFFFFu : 0xFF000000u;
    }
    m_surface.stamp(x - 1, y - 1, temporary, ShiftColour(0xC0C0C0, +36));
    m_surface.stamp(x, y, temporary, ShiftColour(0xC0C0C0, -36));
}

} // namespace xpbutton
