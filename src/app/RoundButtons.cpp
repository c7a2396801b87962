#include "app/RoundButtons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QToolButton>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace plendoro {

namespace {

// The symbols on the round pictures, drawn in white over a shaded disc; the
// red channel's value becomes the mix between highlight and window colour.
void DrawSymbol(QPainter& p, int symbol)
{
    const QPen pen(QColor(255, 0, 0), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(QColor(255, 0, 0));
    const QPointF c(8, 8);
    auto arrow = [&](double angleDeg) {
        QPainterPath path;
        path.moveTo(4.5, 8);
        path.lineTo(9.5, 4);
        path.lineTo(9.5, 12);
        path.closeSubpath();
        p.save();
        p.translate(c);
        p.rotate(angleDeg);
        p.translate(-c);
        p.setPen(Qt::NoPen);
        p.drawPath(path);
        p.setPen(pen);
        p.drawLine(QPointF(9, 8), QPointF(12, 8));
        p.restore();
    };
    switch (symbol) {
    case 0:
        p.drawLine(QPointF(4.5, 8), QPointF(11.5, 8));
        p.drawLine(QPointF(8, 4.5), QPointF(8, 11.5));
        break;                                                    // add
    case 1: p.drawLine(QPointF(4.5, 8), QPointF(11.5, 8)); break; // delete
    case 2: arrow(0); break;                                      // left
    case 3: arrow(180); break;                                    // right
    case 4: arrow(90); break;                                     // up
    case 5: arrow(270); break;                                    // down
    case 6:
        p.drawLine(QPointF(5, 5), QPointF(11, 11));
        p.drawLine(QPointF(11, 5), QPointF(5, 11));
        break; // cross
    case 7: {  // tick
        QPolygonF t{{4.5, 8.5}, {7, 11}, {11.5, 5}};
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(t);
        break;
    }
    case 8:
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(8, 8), 3, 3);
        break;                                         // ring
    case 9: p.drawRect(QRectF(5.5, 5.5, 5, 5)); break; // stop
    case 10: {                                         // play
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF{{6, 4.5}, {11.5, 8}, {6, 11.5}});
        break;
    }
    case 11:
        p.drawLine(QPointF(6, 5), QPointF(6, 11));
        p.drawLine(QPointF(10, 5), QPointF(10, 11));
        break;                                              // pause
    case 12: p.drawEllipse(QPointF(8, 8), 1.5, 1.5); break; // dot
    case 13:
        p.drawLine(QPointF(8, 4.5), QPointF(8, 9));
        p.drawPoint(QPointF(8, 11.5));
        break; // warning
    case 14:
        p.drawPoint(QPointF(8, 4.8));
        p.drawLine(QPointF(8, 7.5), QPointF(8, 11.5));
        break; // info
    case 15:
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(4.5, 4.5, 7, 7), 30 * 16, 300 * 16);
        break; // refresh
    default:   // two-arrow pairs for the remaining pictures
        arrow((symbol - 16) * 20.0);
        break;
    }
}

} // namespace

QImage RoundButtonsStrip()
{
    QImage strip(kRoundButtonSize * kRoundButtonCount, kRoundButtonSize, QImage::Format_RGB888);
    strip.fill(Qt::black);
    for (int i = 0; i < kRoundButtonCount; ++i) {
        // A disc whose red value falls off from the upper left: a raised look
        // once recoloured. Each symbol comes twice: plain, then pressed (darker).
        for (int y = 0; y < kRoundButtonSize; ++y) {
            for (int x = 0; x < kRoundButtonSize; ++x) {
                const double dx = x + 0.5 - 8, dy = y + 0.5 - 8;
                const double r = std::sqrt(dx * dx + dy * dy);
                if (r > 7.5)
                    continue;
                double shade = 1.0 - (dx + dy + 11) / 40.0; // 0.45 .. 1.0
                int d = static_cast<int>(shade * (i % 2 ? 90 : 120)) + (r > 6.5 ? -40 : 0);
                strip.setPixelColor(i * kRoundButtonSize + x, y, QColor(std::clamp(d, 1, 255), 0, 0));
            }
        }
        QImage cell(kRoundButtonSize, kRoundButtonSize, QImage::Format_ARGB32);
        cell.fill(Qt::transparent);
        QPainter p(&cell);
        p.setRenderHint(QPainter::Antialiasing);
        DrawSymbol(p, i / 2);
        p.end();
        for (int y = 0; y < kRoundButtonSize; ++y)
            for (int x = 0; x < kRoundButtonSize; ++x) {
                const int a = qAlpha(cell.pixel(x, y));
                if (a == 0)
                    continue;
                const QColor base = strip.pixelColor(i * kRoundButtonSize + x, y);
                const int d = base.red() + (255 - base.red()) * a / 255;
                strip.setPixelColor(i * kRoundButtonSize + x, y, QColor(std::max(d, 1), 0, 0));
            }
    }
    return strip;
}

QImage RecolourRoundButtons(const QImage& strip, const QColor& window, const QColor& highlight)
{
    QImage out(strip.size(), QImage::Format_RGB888);
    const int W[3] = {window.red(), window.green(), window.blue()};
    const int H[3] = {highlight.red(), highlight.green(), highlight.blue()};
    for (int y = 0; y < strip.height(); ++y) {
        for (int x = 0; x < strip.width(); ++x) {
            const int d = qRed(strip.pixel(x, y));
            if (d == 0) {
                out.setPixel(x, y, qRgb(255, 0, 255));
                continue;
            }
            int c[3];
            for (int k = 0; k < 3; ++k)
                c[k] = H[k] + (((W[k] - H[k]) * d) >> 8); // >> on a negative rounds down
            out.setPixel(x, y, qRgb(c[0], c[1], c[2]));
        }
    }
    return out;
}

QImage RoundPictureAt(const QImage& recoloured, int index)
{
    QImage cell = recoloured.copy(index * kRoundButtonSize, 0, kRoundButtonSize, kRoundButtonSize)
                      .convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < cell.height(); ++y)
        for (int x = 0; x < cell.width(); ++x)
            if ((cell.pixel(x, y) & 0xFFFFFF) == 0xFF00FFu)
                cell.setPixel(x, y, 0);
    return cell;
}

void ApplyRoundButtonImages(QWidget* root, const QPalette& palette)
{
    const QImage strip = RoundButtonsStrip();
    const QImage enabled = RecolourRoundButtons(strip, palette.color(QPalette::Active, QPalette::Base),
                                                palette.color(QPalette::Active, QPalette::Highlight));
    const QImage disabled = RecolourRoundButtons(RoundButtonsStrip(), palette.color(QPalette::Active, QPalette::Base),
                                                 palette.color(QPalette::Disabled, QPalette::Text));
    const std::pair<const char*, int> buttons[] = {
        {"tbCANCommonAdd", kPictureAdd},
        {"tbCANCommonDel", kPictureDelete},
        {"tbCANUserLeft", kPictureLeft},
        {"tbCANUserRight", kPictureRight},
    };
    for (auto [name, picture] : buttons) {
        auto* button = root->findChild<QToolButton*>(QLatin1String(name));
        if (!button)
            continue;
        QIcon icon;
        icon.addPixmap(QPixmap::fromImage(RoundPictureAt(enabled, picture)), QIcon::Normal);
        icon.addPixmap(QPixmap::fromImage(RoundPictureAt(disabled, picture)), QIcon::Disabled);
        button->setIcon(icon);
        button->setIconSize(QSize(kRoundButtonSize, kRoundButtonSize));
    }
}

} // namespace plendoro
