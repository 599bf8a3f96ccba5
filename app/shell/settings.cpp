#include "settings.h"

#include <QtEndian>

namespace corvane {
namespace {

void Put16(QByteArray& out, int offset, int16_t value) {
  qToLittleEndian<int16_t>(value, out.data() + offset);
}
int16_t Get16(const QByteArray& in, int offset) {
  return qFromLittleEndian<int16_t>(in.constData() + offset);
}

}  // namespace

QByteArray SettingsRecord::FieldText(const QString& value) {
  QByteArray bytes = value.toUtf8();
  if (bytes.size() > kTextSize) {
    int cut = kTextSize;
    while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80) --cut;
    bytes.truncate(cut);
  }
  return bytes.leftJustified(kTextSize, ' ');
}

QString SettingsRecord::FieldValue(const QByteArray& field) {
  QByteArray bytes = field;
  while (!bytes.isEmpty() && (bytes.back() == ' ' || bytes.back() == '\0')) bytes.chop(1);
  while (!bytes.isEmpty() && (bytes.front() == ' ' || bytes.front() == '\0')) bytes.remove(0, 1);
  return QString::fromUtf8(bytes);
}

QByteArray SettingsRecord::Serialize() const {
  QByteArray out(kSize, '\0');
  qToLittleEndian<int32_t>(WipePasses, out.data());
  out.replace(4, kTextSize, LastFolder.leftJustified(kTextSize, ' ', true));
  out.replace(154, kTextSize, LastFilesFolder.leftJustified(kTextSize, '\0', true));
  const int16_t flags[] = {ShowGridLines,        MaximizeAtStart,  PromptToSave,
                           ReportFontSize,       HideNewJobNotice, LastSubFolders,
                           LoadManagerAtStartup, MenuVisualStyles, ProgressBarVisualStyles};
  for (int i = 0; i < 9; ++i) Put16(out, 304 + 2 * i, flags[i]);
  return out;
}

std::optional<SettingsRecord> SettingsRecord::Parse(const QByteArray& bytes) {
  if (bytes.size() < kSize) return std::nullopt;
  SettingsRecord r;
  r.WipePasses = qFromLittleEndian<int32_t>(bytes.constData());
  if (r.WipePasses < kMinPasses || r.WipePasses > kMaxPasses) return std::nullopt;
  r.LastFolder = bytes.mid(4, kTextSize);
  r.LastFilesFolder = bytes.mid(154, kTextSize);
  int16_t* flags[] = {&r.ShowGridLines,        &r.MaximizeAtStart,  &r.PromptToSave,
                      &r.ReportFontSize,       &r.HideNewJobNotice, &r.LastSubFolders,
                      &r.LoadManagerAtStartup, &r.MenuVisualStyles, &r.ProgressBarVisualStyles};
  for (int i = 0; i < 9; ++i) *flags[i] = Get16(bytes, 304 + 2 * i);
  return r;
}

QByteArray WindowRect::Serialize() const {
  QByteArray out(kSize, '\0');
  for (int i = 0; i < 4; ++i) Put16(out, 2 * i, values[i]);
  return out;
}

WindowRect WindowRect::Parse(const QByteArray& bytes) {
  WindowRect r;
  QByteArray padded = bytes.left(kSize);
  padded.append(QByteArray(kSize - padded.size(), '\0'));
  for (int i = 0; i < 4; ++i) r.values[i] = Get16(padded, 2 * i);
  return r;
}

}  // namespace corvane
