#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

// Dialog units of a dialog font, converted to pixels as Windows does it: a horizontal unit is a
// quarter of the font's average character width (from the width of the 52 Latin letters), a
// vertical unit an eighth of its height, each product rounded to the nearest pixel.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int x(int units) const { return mulDiv(units, baseWidth_, 4); }
    int y(int units) const { return mulDiv(units, baseHeight_, 8); }
    QRect rect(int left, int top, int width, int height) const {
        return QRect(x(left), y(top), x(width), y(height));
    }
    QSize size(int width, int height) const { return QSize(x(width), y(height)); }

private:
    static int mulDiv(int value, int numerator, int denominator);

    int baseWidth_ = 0;
    int baseHeight_ = 0;
};
