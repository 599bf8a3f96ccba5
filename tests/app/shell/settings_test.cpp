// The settings files byte for byte, their loading with defaults and recovery,
// and the autostart entry that says whether the Explorer Manager is registered.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QtEndian>

#include "app_test_support.h"
#include "autostart.h"
#include "data_files.h"
#include "settings_store.h"

namespace corvane::testing {
namespace {

QByteArray Bytes(const QString& path) {
  return ReadWholeFile(path).value_or("<missing>");
}

QByteArray ExpectedFreshRecord(int16_t manager) {
  QByteArray expected;
  expected += QByteArray::fromHex("03000000");
  expected += QByteArray(150, ' ');
  expected += QByteArray(150, '\0');
  for (int16_t v : {0, 0, 1, 8, 0, 0, static_cast<int>(manager), 1, 1}) {
    char le[2];
    qToLittleEndian<int16_t>(v, le);
    expected.append(le, 2);
  }
  return expected;
}

TEST(SettingsFilesTest, FreshFolderGetsTheDefaultFilesByteForByte) {
  for (bool registered : {false, true}) {
    SCOPED_TRACE(registered);
    TempDir dir;
    const QString app = Q(dir.path()) + "/";
    const LoadedSettings loaded = LoadSettings(app, registered);

    EXPECT_EQ(Bytes(app + "Settings.dat"), ExpectedFreshRecord(registered ? 1 : 0));
    EXPECT_EQ(Bytes(app + "Settings2.dat"), QByteArray(8, '\0'));
    EXPECT_TRUE(loaded.rect.allZero());  // opens maximized
    EXPECT_TRUE(loaded.showWelcome);
    EXPECT_EQ(loaded.record.WipePasses, 3);
  }
}

TEST(SettingsFilesTest, RecordRoundTripsAndTheRegistryWins) {
  TempDir dir;
  const QString app = Q(dir.path()) + "/";
  SettingsRecord record;
  record.WipePasses = 7;
  record.LastFolder = SettingsRecord::FieldText("/home/me/docs");
  record.ShowGridLines = 1;
  record.ReportFontSize = 12;
  record.LoadManagerAtStartup = 1;
  ASSERT_TRUE(SaveSettingsRecord(app, record));
  WindowRect rect;
  rect.values = {9000, 6000, -120, 300};
  ASSERT_TRUE(SaveWindowRect(app, rect));
  QFile(app + "sfrun.dat").open(QIODevice::WriteOnly);

  const LoadedSettings loaded = LoadSettings(app, /*managerRegistered=*/false);
  EXPECT_EQ(loaded.record.WipePasses, 7);
  EXPECT_EQ(SettingsRecord::FieldValue(loaded.record.LastFolder), "/home/me/docs");
  EXPECT_EQ(loaded.record.ShowGridLines, 1);
  EXPECT_EQ(loaded.record.ReportFontSize, 12);
  EXPECT_EQ(loaded.record.LoadManagerAtStartup, 0);  // no autostart entry
  EXPECT_EQ(loaded.rect.values, rect.values);
  EXPECT_FALSE(loaded.showWelcome);
}

TEST(SettingsFilesTest, DamagedRecordFallsBackToTheDefaults) {
  struct Case {
    const char* what;
    QByteArray bytes;
  };
  SettingsRecord endless;
  endless.WipePasses = -1;
  SettingsRecord empty;
  empty.WipePasses = 0;
  SettingsRecord huge;
  huge.WipePasses = 100000;
  const Case cases[] = {{"too short", QByteArray(100, 'x')},
                        {"negative passes", endless.Serialize()},
                        {"no passes", empty.Serialize()},
                        {"huge passes", huge.Serialize()}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const QString app = Q(dir.path()) + "/";
    ASSERT_TRUE(WriteWholeFile(app + "Settings.dat", c.bytes));
    const LoadedSettings loaded = LoadSettings(app, false);
    EXPECT_EQ(loaded.record.WipePasses, 3);
    EXPECT_EQ(Bytes(app + "Settings.dat"), ExpectedFreshRecord(0));
    EXPECT_EQ(Bytes(app + "Settings2.dat"), QByteArray(8, '\0'));
    EXPECT_FALSE(loaded.showWelcome);  // the recovery leaves the welcome off
  }
}

TEST(SettingsFilesTest, UnusualButHarmlessValuesAreKept) {
  TempDir dir;
  const QString app = Q(dir.path()) + "/";
  SettingsRecord record;
  record.WipePasses = 4;
  record.ReportFontSize = 9;
  ASSERT_TRUE(SaveSettingsRecord(app, record));
  const LoadedSettings loaded = LoadSettings(app, false);
  EXPECT_EQ(loaded.record.WipePasses, 4);
  EXPECT_EQ(loaded.record.ReportFontSize, 9);
  // A missing Settings2.dat is made empty and reads as zeros.
  EXPECT_EQ(Bytes(app + "Settings2.dat"), QByteArray());
  EXPECT_TRUE(loaded.rect.allZero());
}

TEST(SettingsFilesTest, UnwritableFolderKeepsTheDefaultsInMemory) {
  TempDir dir;
  purgewell::testing::WriteFile(dir / "file", "x");
  const QString app = Q(dir.path()) + "/file/app/";  // below a file: nothing can be written
  const LoadedSettings loaded = LoadSettings(app, true);
  EXPECT_EQ(loaded.record.WipePasses, 3);
  EXPECT_EQ(loaded.record.LoadManagerAtStartup, 1);
  EXPECT_FALSE(SaveSettingsRecord(app, loaded.record));
}

TEST(SettingsFilesTest, TextFieldsArePaddedAndCutWithoutSplittingACharacter) {
  EXPECT_EQ(SettingsRecord::FieldText("abc"), "abc" + QByteArray(147, ' '));
  const QString long_name = QString(149, 'a') + QString::fromUtf8("\xc3\xa9");  // 151 bytes
  const QByteArray field = SettingsRecord::FieldText(long_name);
  EXPECT_EQ(field.size(), 150);
  EXPECT_EQ(field, QByteArray(149, 'a') + ' ');
  EXPECT_EQ(SettingsRecord::FieldValue(QByteArray(150, '\0')), "");
  EXPECT_EQ(SettingsRecord::FieldValue(QByteArray(150, ' ')), "");
}

TEST(AppFolderTest, ProgramFolderWhenWritableElseTheDataFolder) {
  TempDir dir;
  EXPECT_EQ(ComputeAppFolder(Q(dir.path()) + " ", Q(dir.path()) + "/data"), Q(dir.path()) + "/");
  EXPECT_EQ(ComputeAppFolder(Q(dir.path()) + "/", "/x"), Q(dir.path()) + "/");
  purgewell::testing::WriteFile(dir / "file", "x");
  const QString fallback = ComputeAppFolder(Q(dir.path()) + "/file/bin", Q(dir.path()) + "/data");
  EXPECT_EQ(fallback, Q(dir.path()) + "/data/Corvane/");
  EXPECT_TRUE(QDir(fallback).exists());
}

TEST(AutostartTest, EntryNamesTheManagerAndComesAndGoes) {
  TempDir dir;
  RunEntry entry{Q(dir.path()) + "/config"};
  EXPECT_EQ(ReadRegistryString(entry), "");
  RemoveManagerFromStartup(entry);  // nothing there: no error

  AddManagerToStartup(entry, "/opt/Corvane Files/");
  EXPECT_EQ(ReadRegistryString(entry), "/opt/Corvane Files/CVExMan");
  EXPECT_TRUE(ManagerRegistered(ReadRegistryString(entry)));
  const QByteArray content = Bytes(entry.path());
  EXPECT_TRUE(content.contains("Exec=\"/opt/Corvane Files/CVExMan\""));
  EXPECT_TRUE(entry.path().endsWith("/autostart/Corvane Explorer Manager.desktop"));

  RemoveManagerFromStartup(entry);
  EXPECT_FALSE(QFile::exists(entry.path()));
}

TEST(AutostartTest, RegistrationLooksForTheManagerInAnyCase) {
  EXPECT_TRUE(ManagerRegistered("/elsewhere/cvexman"));
  EXPECT_TRUE(ManagerRegistered("/opt/CVExMan --tray"));
  EXPECT_FALSE(ManagerRegistered("/opt/corvane"));
  EXPECT_FALSE(ManagerRegistered(""));
}

}  // namespace
}  // namespace corvane::testing
