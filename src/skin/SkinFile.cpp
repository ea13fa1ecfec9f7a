#include "skin/SkinFile.h"

#include <QList>

#include <cstdint>
#include <iterator>

namespace {

using platform::Failure;
using platform::Result;

Failure atLine(int lineNumber, const QString& what) {
  return {QStringLiteral("Skin file, line %1: %2").arg(lineNumber).arg(what).toStdString()};
}

Result<int> toInt(const QString& value) {
  bool ok = false;
  const qlonglong number = value.toLongLong(&ok);
  if (!ok || number < INT32_MIN || number > UINT32_MAX) return Failure{"not a number: " + value.toStdString()};
  // Colours are unsigned 32-bit values on disk; kept as the same bits in an int.
  return static_cast<int>(static_cast<quint32>(number));
}

Result<bool> toBool(const QString& value) {
  const QString v = value.toLower();
  if (v == u"1" || v == u"true" || v == u"on") return true;
  if (v == u"0" || v == u"false" || v == u"off") return false;
  return Failure{"not a switch: " + value.toStdString()};
}

// The four colours every skin must name come first.
struct NumberValue {
  const char* name;
  int SkinValues::*field;
};
const NumberValue kNumbers[] = {
    {"m_BackColor", &SkinValues::backColor},
    {"m_ForeColor", &SkinValues::foreColor},
    {"m_PanelColor", &SkinValues::panelColor},
    {"m_PanelTextColor", &SkinValues::panelTextColor},
    {"m_nHue", &SkinValues::hue},
    {"m_LineColor", &SkinValues::lineColor},
    {"m_FocusColor", &SkinValues::focusColor},
};
constexpr int kRequiredColours = 4;

struct SwitchValue {
  const char* name;
  bool SkinValues::*field;
};
const SwitchValue kSwitches[] = {
    {"m_bApplyColors", &SkinValues::applyColors},
    {"m_bSkinClientArea", &SkinValues::skinClientArea},
};

// One name=value of [Skin]; `seen` marks the required colours read.
Result<std::monostate> readSkinValue(SkinValues& skin, bool (&seen)[kRequiredColours], const QString& name,
                                     const QString& value) {
  if (name == u"m_bstrDescription") skin.description = value;
  if (name == u"m_bstrApplication") skin.application = value;
  for (std::size_t i = 0; i < std::size(kNumbers); ++i) {
    if (name != QLatin1String(kNumbers[i].name)) continue;
    const Result<int> number = toInt(value);
    if (!number) return Failure{number.why()};
    skin.*kNumbers[i].field = *number;
    if (i < kRequiredColours) seen[i] = true;
  }
  for (const SwitchValue& entry : kSwitches) {
    if (name != QLatin1String(entry.name)) continue;
    const Result<bool> on = toBool(value);
    if (!on) return Failure{on.why()};
    skin.*entry.field = *on;
  }
  // Other named values belong to other skin versions; they are kept out, not refused.
  return std::monostate{};
}

}  // namespace

Result<SkinValues> parseSkinFile(const QByteArray& text) {
  SkinValues skin;
  QString section;
  bool seen[kRequiredColours] = {false, false, false, false};
  const QList<QByteArray> lines = text.split('\n');
  for (int i = 0; i < lines.size(); ++i) {
    const int lineNumber = i + 1;
    const QString line = QString::fromUtf8(lines[i]).trimmed();
    if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#')) continue;
    if (line.startsWith(u'[')) {
      if (!line.endsWith(u']')) return atLine(lineNumber, QStringLiteral("unclosed section"));
      section = line.mid(1, line.size() - 2).trimmed();
      continue;
    }
    const qsizetype equals = line.indexOf(u'=');
    if (equals <= 0) return atLine(lineNumber, QStringLiteral("expected name=value"));
    const QString name = line.left(equals).trimmed();
    const QString value = line.mid(equals + 1).trimmed();

    if (section == u"Images") {
      if (value.isEmpty() || value.contains(u'/') || value.contains(u'\\') || value.contains(u':'))
        return atLine(lineNumber, QStringLiteral("an image is a plain file name: ") + value);
      skin.images.insert(name, value);
    } else if (section == u"Skin") {
      const Result<std::monostate> read = readSkinValue(skin, seen, name, value);
      if (!read) return atLine(lineNumber, QString::fromStdString(read.why()));
    } else {
      return atLine(lineNumber, QStringLiteral("value outside [Skin] or [Images]"));
    }
  }
  for (int c = 0; c < kRequiredColours; ++c) {
    if (!seen[c]) return Failure{std::string("Skin file: missing ") + kNumbers[c].name};
  }
  return skin;
}
