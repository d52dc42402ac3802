// Stands in when the build found no reference parser, so the benchmark still
// measures XmlDocument and says why there is no ratio.

#include "xml_peer.h"

#ifndef XML_PEER_MISSING
#define XML_PEER_MISSING "no reference parser in this build"
#endif

namespace {

class MissingPeer : public XmlPeer {
 public:
  std::string Name() const override { return "none"; }
  std::string Input() const override { return {}; }
  std::string Unavailable() const override { return XML_PEER_MISSING; }
  bool Begin(std::string& error) override {
    error = XML_PEER_MISSING;
    return false;
  }
  bool Run() override { return false; }
  bool End(uint64_t& elements, std::string& error) override {
    elements = 0;
    error = XML_PEER_MISSING;
    return false;
  }
};

}  // namespace

std::unique_ptr<XmlPeer> MakeXmlPeer(std::string_view, std::wstring_view) { return std::make_unique<MissingPeer>(); }
