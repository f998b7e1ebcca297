// The panel as rendered: one light look whatever the palette, a focus ring that can be seen,
// captions that keep clear of their neighbours.
#include "panelrig.h"

#include <cmath>

namespace {

using test::PanelRig;

double contrast(QRgb a, QRgb b) { // WCAG 2: relative luminances, (lighter + .05) / (darker + .05)
    const auto l = [](QRgb c) {
        double sum = .05;
        for (auto [v, w] : {std::pair{qRed(c), .2126}, {qGreen(c), .7152}, {qBlue(c), .0722}})
            sum += w * (v <= 10 ? v / 3294.6 : std::pow((v / 255.0 + .055) / 1.055, 2.4));
        return sum;
    };
    return std::max(l(a), l(b)) / std::min(l(a), l(b));
}

QImage shot(const PanelRig& rig) {
    return rig.window->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QRect scaled(QRect r, qreal s) {
    return QRectF(r.x() * s, r.y() * s, r.width() * s, r.height() * s).toRect();
}

// The same pixels under a dark application palette. Focus shows from the start on MONO VOLUME,
// then wherever it goes, as a ring of 3:1 or more against the unfocused pixels; nothing outside
// the focused control changes.
TEST(PanelLook, LightUnderADarkPaletteWithAFocusRingOnlyOnTheFocusedControl) {
    const QImage opened = shot(PanelRig());
    QApplication::setPalette(QPalette(QColor(40, 40, 40), QColor(30, 30, 30)));
    PanelRig rig;
    QApplication::setPalette(QPalette(Qt::darkBlue));
    EXPECT_TRUE(shot(rig) == opened);
    rig.window->focusWidget()->clearFocus();
    const QImage plain = shot(rig);
    for (const char* name : {"monovol", "vol3d", "hfgainbox", "RLS", "RESET", "mode0", "addrone"}) {
        QWidget* w = rig.find(name);
        w->setFocus(Qt::TabFocusReason);
        const QImage on = name == std::string("monovol") ? opened : shot(rig);
        QRect ring, inner; // ring bounds the pixels changed by 3:1 or more
        double least = 99; // on ring's outline
        for (int pass = 0; pass < 2; ++pass, inner = ring.adjusted(1, 1, -1, -1))
            for (int y = 0; y < plain.height(); ++y)
                for (int x = 0; x < plain.width(); ++x) {
                    const double c = contrast(on.pixel(x, y), plain.pixel(x, y));
                    EXPECT_TRUE(c == 1 || scaled(QRect(w->mapTo(w->window(), QPoint()), w->size()),
                                                 plain.devicePixelRatio())
                                              .contains(x, y))
                        << name;
                    ring |= pass == 0 && c >= 3 ? QRect(x, y, 1, 1) : QRect();
                    least = pass && ring.contains(x, y) && !inner.contains(x, y)
                                ? std::min(least, c)
                                : least;
                }
        EXPECT_TRUE(least >= 3 && ring.width() * ring.height() >= 100) << name << ' ' << least;
        std::cout << name << ": ring " << ring.width() << 'x' << ring.height() << ", " << least
                  << ":1\n";
    }
    QApplication::setPalette(QApplication::style()->standardPalette());
}

// With either font (and at scale 2 in test_look_scale2): no option caption is cut at top or
// bottom or inks a button's last two columns (neighbours overlap the last one by the layout's
// rounding), so a blank column parts it from the next circle; address circles are whole.
TEST(PanelLook, CaptionsKeepClearOfTheirNeighbours) {
    for (const char* family : {"DejaVu Sans", "Liberation Sans"}) {
        ASSERT_TRUE(QFontInfo(QFont(family)).exactMatch()) << "*** " << family << " missing ***";
        QApplication::setFont(QFont(family));
        PanelRig rig;
        for (OptionButton* b : rig.window->findChildren<OptionButton*>()) {
            const QImage image = b->grab().toImage();
            const qreal s = image.devicePixelRatio();
            const QRect r = scaled(b->captionRect(), s);
            QRect inked; // the indicator's ink
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const bool ink = qGray(image.pixel(x, y)) < 200;
                    EXPECT_FALSE(ink && x >= r.left() &&
                                 (y == r.top() || y == r.bottom() || x >= image.width() - 2 * s))
                        << family << ' ' << b->objectName().toStdString();
                    inked |= ink && x < r.left() - 1 ? QRect(x, y, 1, 1) : QRect();
                }
            EXPECT_TRUE(!b->parent()->objectName().startsWith("addr") ||
                        inked.width() == inked.height());
        }
    }
    QApplication::setFont(QFont());
}

} // namespace
