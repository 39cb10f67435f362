#include "BellKeyFilter.h"

namespace BellKeyFilter {
namespace {

bool isEditingKey(QChar c) {
    return c.unicode() == 8 || c.unicode() == 127;
}

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

bool bAcceptDataChar(QChar c, int row) {
    if (isDigit(c) || isEditingKey(c))
        return true;
    if (c == QLatin1Char(' ') || c == QLatin1Char('#') || c == QLatin1Char('*'))
        return true;
    return row == 0 && c == QLatin1Char(',');
}

bool bAcceptWaitChar(QChar c) {
    return isDigit(c) || isEditingKey(c);
}

} // namespace BellKeyFilter
