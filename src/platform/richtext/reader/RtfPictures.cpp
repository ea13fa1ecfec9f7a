#include "RtfPictures.h"

#include "RtfParserCore.h"
#include "RtfTokenizer.h"

namespace platform::rtf {

void PictureHandler::open() {
  picture_ = Picture{};
  nibble_ = -1;
}

void PictureHandler::word(Word word, int param, bool star) {
  switch (word) {
    case Word::PngBlip: picture_.kind = Picture::Kind::Png; break;
    case Word::JpegBlip: picture_.kind = Picture::Kind::Jpeg; break;
    case Word::OtherBlip: picture_.kind = Picture::Kind::Other; break;
    case Word::PictureWidth: picture_.width = param; break;
    case Word::PictureHeight: picture_.height = param; break;
    case Word::PictureWidthGoal: picture_.widthGoal = param; break;
    case Word::PictureHeightGoal: picture_.heightGoal = param; break;
    case Word::PictureScaleX: picture_.scaleX = param; break;
    case Word::PictureScaleY: picture_.scaleY = param; break;
    case Word::SkippedDestination: core_.setDestination(Destination::Skip); break;
    default:
      if (star) core_.setDestination(Destination::Skip);
      break;
  }
}

void PictureHandler::hexDigit(unsigned char c) {
  const int v = hexValue(c);
  if (v < 0) return;
  if (nibble_ < 0) {
    nibble_ = v;
    return;
  }
  picture_.data.append(static_cast<char>((nibble_ << 4) | v));
  nibble_ = -1;
}

void PictureHandler::binary(std::string_view data) {
  picture_.data.append(data.data(), static_cast<qsizetype>(data.size()));
}

void PictureHandler::end() {
  const bool shown = picture_.kind == Picture::Kind::Png || picture_.kind == Picture::Kind::Jpeg;
  if (shown && core_.bodyVisible()) core_.output().picture(picture_, core_.top());
  picture_ = Picture{};
}

}  // namespace platform::rtf
