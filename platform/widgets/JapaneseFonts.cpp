#include "JapaneseFonts.h"

#include <QFont>
#include <QString>
#include <QStringList>

namespace JapaneseFonts {

void installSubstitutions() {
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック")});
    QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"),
                               {QStringLiteral("IPAGothic"), QStringLiteral("IPAゴシック")});
    QFont::insertSubstitutions(QStringLiteral("MS UI Gothic"), {QStringLiteral("IPAPGothic")});
}

} // namespace JapaneseFonts
