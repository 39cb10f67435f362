#pragma once

#include "FaxTiffWriter.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// A page of `width` x `height` dots, white but for a black square of `block` dots whose top-left
// corner is at (x, y).
FaxPage pageWithBlock(int width, int height, int linesPerInch, int x, int y, int block);

// A G3 fax of `pages` such pages; page n has its square n * 100 dots from the left.
void writeBlockFax(const QString& path, int pages, int linesPerInch);

// Overwrites the compressed data of page `page` (1-based) with bytes no decoder accepts.
void corruptPage(const QString& path, int page);

struct ProgramRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs a built program of the suite ("kmbsuite", "kmbmon") and waits for it.
ProgramRun runSuiteProgram(const QString& name, const QStringList& arguments);

// The lines a kmbsuite listing printed, each split into its tab-separated fields.
QList<QStringList> tabLines(const QByteArray& out);
