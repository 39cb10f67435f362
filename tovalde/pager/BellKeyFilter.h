#pragma once

#include <QChar>

// Which typed characters the entry editor's boxes take. Backspace (8) and code 127 always pass,
// so typing can be corrected; everything else a box does not take is dropped before it arrives.
namespace BellKeyFilter {

// Data rows take what a phone keypad sends: digits, blanks, "#" and "*"; the number to dial
// (row 0) also takes "," for a dialling pause.
bool bAcceptDataChar(QChar c, int row);

// Pauses are whole seconds.
bool bAcceptWaitChar(QChar c);

} // namespace BellKeyFilter
