// A second process for the profile tests.
//
//   profile_writer sequence <file> <first-index>
//       prints "ready", then performs the edits of ProfileWriteSequence from <first-index> on,
//       printing each index once its edit has returned, until it is killed.
//   profile_writer distinct <file> <prefix> <count>
//       writes <count> keys <prefix>0 .. into section "Keys", each with its own value.
#include "IniFile.h"
#include "ProfileWriteSequence.h"

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int runSequence(const QString& file, long first) {
    std::printf("ready\n");
    std::fflush(stdout);
    for (long i = first;; ++i) {
        const ProfileWriteSequence::Edit e = ProfileWriteSequence::edit(i);
        const bool ok =
            e.remove ? IniFile::bDeleteIniKey(file, ProfileWriteSequence::kSection, e.key)
                     : IniFile::bWriteIni(file, ProfileWriteSequence::kSection, e.key, e.value);
        if (!ok) {
            std::fprintf(stderr, "edit %ld failed\n", i);
            return 2;
        }
        std::printf("%ld\n", i);
        std::fflush(stdout);
    }
}

int runDistinct(const QString& file, const QString& prefix, int count) {
    for (int i = 0; i < count; ++i) {
        const QString key = prefix + QString::number(i);
        if (!IniFile::bWriteIni(file, QStringLiteral("Keys"), key, QStringLiteral("値") + key)) {
            std::fprintf(stderr, "write of %s failed\n", qPrintable(key));
            return 2;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "sequence") == 0)
        return runSequence(QString::fromLocal8Bit(argv[2]), std::atol(argv[3]));
    if (argc == 5 && std::strcmp(argv[1], "distinct") == 0)
        return runDistinct(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                           std::atoi(argv[4]));
    std::fprintf(stderr,
                 "usage: profile_writer sequence FILE FIRST | distinct FILE PREFIX COUNT\n");
    return 64;
}
