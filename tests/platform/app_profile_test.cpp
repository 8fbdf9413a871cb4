#include "platform/profile/app_profile.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QSettings>

#include "tests/support/test_environment.h"

namespace {

class AppProfile : public ::testing::Test {
 protected:
  void SetUp() override {
    test_support::ResetSettings();
    QCoreApplication::setOrganizationName(QStringLiteral("TARNWICK"));
  }
  void TearDown() override { QCoreApplication::setOrganizationName(QString()); }
};

TEST_F(AppProfile, ReadsNeverCreateAnything) {
  EXPECT_EQ(profile::GetProfileInt("Settings", "Missing", 17), 17);
  EXPECT_EQ(profile::GetProfileString("Settings", "Missing", "dflt"), "dflt");
  EXPECT_FALSE(QFile::exists(QString::fromStdString(test_support::SettingsFilePath())));
}

TEST_F(AppProfile, IntegersAndStringsRoundTripWithTheirValues) {
  profile::WriteProfileInt("Settings", "Negative", -2);
  profile::WriteProfileString("Settings", "Text", "  padded, with comma  ");
  profile::WriteProfileString("Settings", "Unicode", "Grüße 视频");
  profile::WriteProfileString("Settings", "At", "@Variant(x)");
  EXPECT_EQ(profile::GetProfileInt("Settings", "Negative", 0), -2);
  EXPECT_EQ(profile::GetProfileString("Settings", "Text", ""), "  padded, with comma  ");
  EXPECT_EQ(profile::GetProfileString("Settings", "Unicode", ""), "Grüße 视频");
  EXPECT_EQ(profile::GetProfileString("Settings", "At", ""), "@Variant(x)");
  // A string is not an integer.
  EXPECT_EQ(profile::GetProfileInt("Settings", "Text", 5), 5);
}

TEST_F(AppProfile, WithoutACompanyKeyReadsGiveDefaultsAndWritesAreDropped) {
  QCoreApplication::setOrganizationName(QString());
  EXPECT_FALSE(profile::WriteProfileInt("Settings", "X", 1));
  EXPECT_EQ(profile::GetProfileInt("Settings", "X", 9), 9);
}

TEST_F(AppProfile, ReadOnlyKeepsEveryStoredValueAsItIs) {
  profile::WriteProfileString("Option", "LastPhotoFolder", "/before/");
  QSettings divx(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("DivXNetworks"),
                 QStringLiteral("DivX4Windows"));
  divx.setValue(QStringLiteral("Disable feedback"), 0);
  divx.sync();

  profile::SetReadOnly(true);
  EXPECT_FALSE(profile::WriteProfileString("Option", "LastPhotoFolder", "/after/"));
  EXPECT_FALSE(profile::WriteProfileInt("Settings", "New", 1));
  profile::AdjustForeignDivXValue();
  profile::SetReadOnly(false);

  EXPECT_EQ(profile::GetProfileString("Option", "LastPhotoFolder", ""), "/before/");
  EXPECT_EQ(profile::GetProfileInt("Settings", "New", 7), 7);
  divx.sync();
  EXPECT_EQ(divx.value(QStringLiteral("Disable feedback")).toInt(), 0);
  EXPECT_TRUE(profile::WriteProfileInt("Settings", "New", 1)) << "writable again";
}

}  // namespace
