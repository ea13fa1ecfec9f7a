#include "RtfParser.h"

#include "RtfParserCore.h"

namespace platform::rtf {

Parser::Parser() : core_(std::make_unique<ParserCore>()) {}
Parser::~Parser() = default;

const DocumentTables& Parser::tables() const { return core_->tables(); }

platform::Result<std::monostate> Parser::parse(QByteArrayView bytes, Sink& sink) {
  const std::string_view all(bytes.data(), static_cast<std::size_t>(bytes.size()));
  const std::size_t start = std::min(all.find_first_not_of(" \t\r\n"), all.size());
  if (!all.substr(start).starts_with("{\\rtf"))
    return platform::Failure{"This is not a rich-text file: it does not begin with {\\rtf"};
  core_->read(all.substr(start), sink);
  return std::monostate{};
}

}  // namespace platform::rtf
