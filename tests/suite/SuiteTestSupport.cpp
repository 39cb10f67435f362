#include "SuiteTestSupport.h"

#include "TestEnvironment.h"
#include "TiffFile.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

FaxPage pageWithBlock(int width, int height, int linesPerInch, int x, int y, int block) {
    FaxPage page;
    page.width = width;
    page.height = height;
    page.linesPerInch = linesPerInch;
    page.bits = QByteArray(qsizetype(page.rowBytes()) * height, '\0');
    for (int row = y; row < y + block && row < height; ++row)
        for (int dot = x; dot < x + block && dot < width; ++dot)
            page.bits[row * page.rowBytes() + dot / 8] =
                char(page.bits[row * page.rowBytes() + dot / 8] | (0x80 >> (dot % 8)));
    return page;
}

void writeBlockFax(const QString& path, int pages, int linesPerInch) {
    const int height = linesPerInch == 196 ? 2286 : 1143;
    QString error;
    ASSERT_TRUE(writeFaxTiff(
        path, pages,
        [&](int n) { return pageWithBlock(1728, height, linesPerInch, n * 100, 50, 40); }, &error))
        << error.toStdString();
}

void corruptPage(const QString& path, int page) {
    quint64 offset = 0, length = 0;
    {
        TiffFile tiff(path);
        ASSERT_TRUE(tiff.selectPage(page));
        quint64* offsets = nullptr;
        quint64* counts = nullptr;
        ASSERT_TRUE(TIFFGetField(tiff.handle(), TIFFTAG_STRIPOFFSETS, &offsets));
        ASSERT_TRUE(TIFFGetField(tiff.handle(), TIFFTAG_STRIPBYTECOUNTS, &counts));
        offset = offsets[0];
        length = counts[0];
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek(qint64(offset)));
    // Runs of ones longer than any code word, no EOL anywhere.
    file.write(QByteArray(qsizetype(length), char(0xff)));
}

ProgramRun runSuiteProgram(const QString& name, const QStringList& arguments) {
    QProcess process;
    process.start(builtProgram(QStringLiteral("suite/") + name), arguments);
    process.closeWriteChannel();
    ProgramRun run;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << name.toStdString() << " did not finish";
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QList<QStringList> tabLines(const QByteArray& out) {
    QList<QStringList> lines;
    for (const QString& line : QString::fromUtf8(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        lines.append(line.split(QLatin1Char('\t')));
    return lines;
}
