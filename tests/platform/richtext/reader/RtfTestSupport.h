#pragma once
// Small helpers shared by the rich-text reader's tests.
#include "platform/richtext/reader/RtfReader.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QTextDocument>

namespace rtftest {

// A minimal document around a body: two fonts (the second Cyrillic) and two colours.
inline QByteArray wrap(const char* body) {
  return QByteArray(R"({\rtf1\ansi\deff0{\fonttbl{\f0\fswiss Arial;}{\f1\fcharset204 Times;}})"
                    R"({\colortbl;\red255\green0\blue0;\red0\green0\blue255;})") +
         body + '}';
}

// The document's characters exactly as stored: paragraphs joined by '\n', nothing replaced.
inline QString rawText(const QTextDocument& doc) {
  QString text = doc.toRawText();
  text.replace(QChar::ParagraphSeparator, u'\n');
  return text;
}

inline QString readBody(const char* body) {
  QTextDocument doc;
  EXPECT_TRUE(platform::rtf::readRtf(wrap(body), doc)) << body;
  return rawText(doc);
}

}  // namespace rtftest
