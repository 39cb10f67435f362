#include "Cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace Cp932 {
namespace {

// ICU's CP932 converter refuses these code points; Windows maps them to the forms on the right.
QString toCp932Forms(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        switch (c.unicode()) {
        case 0x301C: c = QChar(0xFF5E); break; // WAVE DASH -> FULLWIDTH TILDE
        case 0x2212: c = QChar(0xFF0D); break; // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS
        case 0x2016: c = QChar(0x2225); break; // DOUBLE VERTICAL LINE -> PARALLEL TO
        case 0x2014: c = QChar(0x2015); break; // EM DASH -> HORIZONTAL BAR
        case 0x00A2: c = QChar(0xFFE0); break; // CENT SIGN
        case 0x00A3: c = QChar(0xFFE1); break; // POUND SIGN
        case 0x00AC: c = QChar(0xFFE2); break; // NOT SIGN
        default: break;
        }
    }
    return out;
}

bool isLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

bool isTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

} // namespace

QByteArray encode(const QString& text, bool* ok) {
    QStringEncoder encoder("CP932", QStringConverter::Flag::Stateless);
    const QString mapped = toCp932Forms(text);
    QByteArray bytes = encoder.encode(mapped);
    const bool failed = encoder.hasError() || !encoder.isValid();
    if (ok)
        *ok = !failed;
    return bytes;
}

QString decode(const QByteArray& bytes) {
    QStringDecoder decoder("CP932", QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

bool isValid(const QByteArray& bytes) {
    QStringDecoder decoder("CP932", QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError() && !text.contains(QChar::ReplacementCharacter);
}

int truncatedLength(const QByteArray& bytes, int maxBytes) {
    if (bytes.size() <= maxBytes)
        return int(bytes.size());
    int i = 0;
    while (i < maxBytes) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const int width =
            (isLeadByte(b) && i + 1 < bytes.size() && isTrailByte(static_cast<unsigned char>(bytes[i + 1]))) ? 2 : 1;
        if (i + width > maxBytes)
            break;
        i += width;
    }
    return i;
}

} // namespace Cp932
