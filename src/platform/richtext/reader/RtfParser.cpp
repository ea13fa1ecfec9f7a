#include "RtfParser.h"

#include "RtfParserCore.h"

namespace platform::rtf {

struct Parser::Impl {
  ParserCore core;
};

Parser::Parser() : d_(std::make_unique<Impl>()) {}
Parser::~Parser() = default;

const DocumentTables& Parser::tables() const { return d_->core.tables(); }

bool Parser::parse(QByteArrayView bytes, Sink& sink, QString* error) {
  const std::string_view all(bytes.data(), static_cast<std::size_t>(bytes.size()));
  const std::size_t start = std::min(all.find_first_not_of(" \t\r\n"), all.size());
  if (!all.substr(start).starts_with("{\\rtf")) {
    if (error) *error = QStringLiteral("This is not a rich-text file: it does not begin with {\\rtf.");
    return false;
  }
  d_->core.read(all.substr(start), sink);
  return true;
}

}  // namespace platform::rtf
