// expat as the reference parser of the native build: it reads the UTF-8
// bytes and counts the elements in its start handler.

#include <expat.h>

#include <climits>

#include "xml_peer.h"

namespace {

class ExpatPeer : public XmlPeer {
 public:
  explicit ExpatPeer(std::string_view utf8) : utf8_(utf8) {}
  ~ExpatPeer() override {
    if (parser_) XML_ParserFree(parser_);
  }

  std::string Name() const override {
    std::string name = XML_ExpatVersion();  // "expat_2.5.0"
    for (char& c : name) if (c == '_') c = ' ';
    return name;
  }
  std::string Input() const override { return "input: UTF-8 bytes"; }
  std::string Unavailable() const override { return {}; }

  bool Begin(std::string& error) override {
    if (parser_) XML_ParserFree(parser_);
    parser_ = XML_ParserCreate("UTF-8");
    if (!parser_) {
      error = "XML_ParserCreate failed";
      return false;
    }
    elements_ = 0;
    status_ = XML_STATUS_OK;
    XML_SetUserData(parser_, &elements_);
    XML_SetStartElementHandler(parser_, [](void* data, const XML_Char*, const XML_Char**) {
      ++*static_cast<uint64_t*>(data);
    });
    return true;
  }

  bool Run() override {
    // XML_Parse takes an int length; documents above 2 GB go in pieces.
    constexpr size_t kPiece = INT_MAX / 2;
    size_t at = 0;
    do {
      const size_t n = utf8_.size() - at < kPiece ? utf8_.size() - at : kPiece;
      const bool last = at + n == utf8_.size();
      status_ = XML_Parse(parser_, utf8_.data() + at, static_cast<int>(n), last);
      at += n;
      if (status_ != XML_STATUS_OK) return false;
    } while (at < utf8_.size());
    return true;
  }

  bool End(uint64_t& elements, std::string& error) override {
    bool ok = status_ == XML_STATUS_OK;
    if (!ok) {
      error = std::string(XML_ErrorString(XML_GetErrorCode(parser_))) + " at line " +
              std::to_string(XML_GetCurrentLineNumber(parser_));
    }
    elements = elements_;
    XML_ParserFree(parser_);
    parser_ = nullptr;
    return ok;
  }

 private:
  std::string_view utf8_;
  XML_Parser parser_ = nullptr;
  XML_Status status_ = XML_STATUS_OK;
  uint64_t elements_ = 0;
};

}  // namespace

std::unique_ptr<XmlPeer> MakeXmlPeer(std::string_view utf8, std::wstring_view) {
  return std::make_unique<ExpatPeer>(utf8);
}
