#pragma once

#include "FaxTiffWriter.h"

#include <QString>

// Demonstration fax pages: A4 at 1728 dots across, with a heading, the page number and some
// lines of text in large type, so a person can tell the pages apart on paper or on screen.
// Needs a QGuiApplication (fonts).
namespace SampleFax {

FaxPage page(int number, int pageCount, bool fine, const QString& heading);

// Writes a whole sample fax; see writeFaxTiff.
bool write(const QString& path, int pageCount, bool fine, QString* error = nullptr);

} // namespace SampleFax
