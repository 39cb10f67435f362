#include "IniFile.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>

TEST(PrivateProfile, WritesAndReadsBackJapaneseThroughCp932) {
    TestEnvironment env;
    ASSERT_TRUE(IniFile::bWriteIni("KMB32.INI", "AGENT-Recv", "1", QStringLiteral("123,受信⇒F/0312345678＞ローカルモデム")));
    EXPECT_EQ(IniFile::strReadIni("kmb32.ini", "agent-recv", " 1 "),
              QStringLiteral("123,受信⇒F/0312345678＞ローカルモデム"));
    const QByteArray bytes = env.readFile(env.windowsDirectory() + "/KMB32.INI");
    EXPECT_TRUE(bytes.startsWith("[AGENT-Recv]\r\n1=123,"));
}
