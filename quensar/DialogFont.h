#pragma once

#include <QFont>

// The face and size both dialogs are laid out in; JapaneseFonts maps the face to one installed.
inline QFont quensarDialogFont() {
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPointSize(9);
    return font;
}
