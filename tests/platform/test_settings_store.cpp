#include "SettingsStore.h"
#include "TestEnvironment.h"
#include "Twips.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

const QString kApp = QStringLiteral("KmbRxTrans");
const QString kSection = QStringLiteral("Setting");

TEST(SettingsStore, ValuesRoundTripAsText) {
    TestEnvironment env;
    EXPECT_EQ(SettingsStore::getSetting(kApp, kSection, "AutoStart", "0"), "0");
    const QString values[] = {"1",       QStringLiteral("FAXまたはメールに転送"),
                              "a,b",     "@Variant(x)",
                              " edges ", "semi;colon=equals",
                              "",        QStringLiteral("ｷｬﾝｾﾙ＞⇒")};
    for (const QString& value : values) {
        ASSERT_TRUE(SettingsStore::saveSetting(kApp, kSection, "Key", value));
        EXPECT_EQ(SettingsStore::getSetting(kApp, kSection, "Key", "default"), value)
            << value.toStdString();
    }
    EXPECT_EQ(SettingsStore::getSetting(kApp, "Other", "Key", "none"), "none");
    const QByteArray stored = env.readFile("config/KmbRxTrans/KmbRxTrans.conf");
    EXPECT_TRUE(stored.contains("[Setting]")) << stored.toStdString();
}

TEST(SettingsStore, EachEnvironmentHasItsOwnStore) {
    {
        TestEnvironment first;
        ASSERT_TRUE(SettingsStore::saveSetting(kApp, kSection, "TransAll", "1"));
        EXPECT_EQ(SettingsStore::getSetting(kApp, kSection, "TransAll"), "1");
    }
    TestEnvironment second;
    EXPECT_EQ(SettingsStore::getSetting(kApp, kSection, "TransAll", "unset"), "unset");
}

TEST(SettingsStore, AStoreThatCannotBeWrittenReportsIt) {
    TestEnvironment env;
    const QString blocker = env.writeFile("not-a-folder", "x");
    env.setVariable("XDG_CONFIG_HOME", QFile::encodeName(blocker + "/config"));
    EXPECT_FALSE(SettingsStore::saveSetting(kApp, kSection, "Key", "v"));
    EXPECT_EQ(SettingsStore::getSetting(kApp, kSection, "Key", "default"), "default");
}

TEST(Twips, FifteenToAPixelRoundedToTheNearest) {
    const struct {
        int twips;
        int pixels;
    } cases[] = {{0, 0}, {7, 0}, {8, 1}, {15, 1}, {22, 1}, {23, 2}, {-7, 0}, {-8, -1}, {1440, 96}};
    for (const auto& c : cases)
        EXPECT_EQ(Twips::toPixels(c.twips), c.pixels) << c.twips;
    EXPECT_EQ(Twips::fromPixels(96), 1440);
    EXPECT_EQ(Twips::rect(120, 240, 1440, 7), QRect(8, 16, 96, 0));
}

} // namespace
