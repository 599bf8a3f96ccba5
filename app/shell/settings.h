// The preferences record and the main window rectangle, with their file formats:
// Settings.dat (one 322-byte record) and Settings2.dat (8 bytes), little-endian.
#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace corvane {

struct SettingsRecord {
  static constexpr int kSize = 322;
  static constexpr int kTextSize = 150;

  int32_t WipePasses = 3;
  QByteArray LastFolder = QByteArray(kTextSize, ' ');
  QByteArray LastFilesFolder = QByteArray(kTextSize, '\0');  // never set by the defaults
  int16_t ShowGridLines = 0;
  int16_t MaximizeAtStart = 0;
  int16_t PromptToSave = 1;
  int16_t ReportFontSize = 8;
  int16_t HideNewJobNotice = 0;
  int16_t LastSubFolders = 0;
  int16_t LoadManagerAtStartup = 0;
  int16_t MenuVisualStyles = 1;
  int16_t ProgressBarVisualStyles = 1;

  QByteArray Serialize() const;
  // The record in `bytes`, or nothing when they cannot be a sound record: too
  // short, or a pass count that would make every wipe endless or empty.
  static std::optional<SettingsRecord> Parse(const QByteArray& bytes);

  // A text field's value: left-aligned, blank-padded or cut to 150 bytes (never
  // inside a UTF-8 character).
  static QByteArray FieldText(const QString& value);
  // What a text field holds: trimmed; empty when blank or all zero bytes.
  static QString FieldValue(const QByteArray& field);
};

// The main window's last normal position and size in twips: width, height,
// left, top. All four 0: the window opens maximized.
struct WindowRect {
  static constexpr int kSize = 8;
  std::array<int16_t, 4> values{0, 0, 0, 0};

  int16_t width() const { return values[0]; }
  int16_t height() const { return values[1]; }
  int16_t left() const { return values[2]; }
  int16_t top() const { return values[3]; }
  bool allZero() const { return values == std::array<int16_t, 4>{0, 0, 0, 0}; }

  QByteArray Serialize() const;
  // Missing bytes read as zeros.
  static WindowRect Parse(const QByteArray& bytes);
};

// Passes a wipe may use; a stored value outside this range is damage.
inline constexpr int32_t kMinPasses = 1;
inline constexpr int32_t kMaxPasses = 99;

}  // namespace corvane
