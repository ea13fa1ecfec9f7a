#include "skin/SkinFile.h"

#include "skin/Skin.h"

#include <QList>

#include <cstdint>

namespace {

[[noreturn]] void fail(int lineNumber, const QString& what) {
  throw SkinError(QStringLiteral("Skin file, line %1: %2").arg(lineNumber).arg(what).toStdString());
}

int toInt(const QString& value, int lineNumber) {
  bool ok = false;
  const qlonglong number = value.toLongLong(&ok);
  if (!ok || number < INT32_MIN || number > UINT32_MAX) fail(lineNumber, QStringLiteral("not a number: ") + value);
  // Colours are unsigned 32-bit values on disk; kept as the same bits in an int.
  return static_cast<int>(static_cast<quint32>(number));
}

bool toBool(const QString& value, int lineNumber) {
  const QString v = value.toLower();
  if (v == u"1" || v == u"true" || v == u"on") return true;
  if (v == u"0" || v == u"false" || v == u"off") return false;
  fail(lineNumber, QStringLiteral("not a switch: ") + value);
}

}  // namespace

SkinValues parseSkinFile(const QByteArray& text) {
  SkinValues skin;
  QString section;
  bool seen[4] = {false, false, false, false};
  const QList<QByteArray> lines = text.split('\n');
  for (int i = 0; i < lines.size(); ++i) {
    const int lineNumber = i + 1;
    const QString line = QString::fromUtf8(lines[i]).trimmed();
    if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#')) continue;
    if (line.startsWith(u'[')) {
      if (!line.endsWith(u']')) fail(lineNumber, QStringLiteral("unclosed section"));
      section = line.mid(1, line.size() - 2).trimmed();
      continue;
    }
    const qsizetype equals = line.indexOf(u'=');
    if (equals <= 0) fail(lineNumber, QStringLiteral("expected name=value"));
    const QString name = line.left(equals).trimmed();
    const QString value = line.mid(equals + 1).trimmed();

    if (section == u"Images") {
      if (value.isEmpty() || value.contains(u'/') || value.contains(u'\\') || value.contains(u':'))
        fail(lineNumber, QStringLiteral("an image is a plain file name: ") + value);
      skin.images.insert(name, value);
    } else if (section == u"Skin") {
      if (name == u"m_bstrDescription") skin.description = value;
      else if (name == u"m_bstrApplication") skin.application = value;
      else if (name == u"m_nHue") skin.hue = toInt(value, lineNumber);
      else if (name == u"m_BackColor") { skin.backColor = toInt(value, lineNumber); seen[0] = true; }
      else if (name == u"m_ForeColor") { skin.foreColor = toInt(value, lineNumber); seen[1] = true; }
      else if (name == u"m_PanelColor") { skin.panelColor = toInt(value, lineNumber); seen[2] = true; }
      else if (name == u"m_PanelTextColor") { skin.panelTextColor = toInt(value, lineNumber); seen[3] = true; }
      else if (name == u"m_LineColor") skin.lineColor = toInt(value, lineNumber);
      else if (name == u"m_FocusColor") skin.focusColor = toInt(value, lineNumber);
      else if (name == u"m_bApplyColors") skin.applyColors = toBool(value, lineNumber);
      else if (name == u"m_bSkinClientArea") skin.skinClientArea = toBool(value, lineNumber);
      // Other named values belong to other skin versions; they are kept out, not refused.
    } else {
      fail(lineNumber, QStringLiteral("value outside [Skin] or [Images]"));
    }
  }
  static const char* const colourNames[4] = {"m_BackColor", "m_ForeColor", "m_PanelColor", "m_PanelTextColor"};
  for (int c = 0; c < 4; ++c) {
    if (!seen[c]) throw SkinError(std::string("Skin file: missing ") + colourNames[c]);
  }
  return skin;
}
