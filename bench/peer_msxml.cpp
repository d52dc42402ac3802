// MSXML through COM as the reference parser of the Windows build: loadXML of
// a BSTR holding the same wide text that XmlDocument parses.

#include <windows.h>
#include <msxml2.h>
#include <oleauto.h>

#include <cstdio>

#include "xml_peer.h"

namespace {

std::string Narrow(const wchar_t* text) {
  if (!text || !*text) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  return out;
}

std::string HresultText(HRESULT hr) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08lX", static_cast<unsigned long>(hr));
  return buf;
}

class MsxmlPeer : public XmlPeer {
 public:
  explicit MsxmlPeer(std::wstring_view wide) {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(hr)) {
      reason_ = "CoInitializeEx failed with " + HresultText(hr);
      return;
    }
    com_ = true;
    // The newest version the system registers; Wine ships both.
    static const struct {
      const wchar_t* prog_id;
      const char* name;
    } kVersions[] = {{L"Msxml2.DOMDocument.6.0", "MSXML 6.0"}, {L"Msxml2.DOMDocument.3.0", "MSXML 3.0"}};
    std::string tried;
    for (const auto& v : kVersions) {
      CLSID clsid;
      HRESULT r = CLSIDFromProgID(v.prog_id, &clsid);
      IXMLDOMDocument* probe = nullptr;
      if (SUCCEEDED(r)) {
        r = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                             reinterpret_cast<void**>(&probe));
      }
      if (SUCCEEDED(r)) {
        probe->Release();
        clsid_ = clsid;
        name_ = v.name;
        break;
      }
      tried += (tried.empty() ? "" : ", ") + Narrow(v.prog_id) + " " + HresultText(r);
    }
    if (name_.empty()) {
      reason_ = "no DOMDocument class: " + tried;
      return;
    }
    // Under Wine this is Wine's own implementation; say so beside the numbers.
    using WineVersion = const char*(__cdecl*)();
    if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
      if (auto wine = reinterpret_cast<WineVersion>(reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")))) {
        name_ += std::string(" (Wine ") + wine() + ")";
      }
    }
    text_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!text_) reason_ = "no memory for the document's BSTR";
  }

  ~MsxmlPeer() override {
    if (doc_) doc_->Release();
    SysFreeString(text_);
    if (com_) CoUninitialize();
  }

  std::string Name() const override { return name_; }
  std::string Input() const override { return "input: BSTR of the wide text, loadXML"; }
  std::string Unavailable() const override { return reason_; }

  bool Begin(std::string& error) override {
    if (!reason_.empty()) {
      error = reason_;
      return false;
    }
    if (doc_) doc_->Release();
    doc_ = nullptr;
    const HRESULT hr = CoCreateInstance(clsid_, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                                        reinterpret_cast<void**>(&doc_));
    if (FAILED(hr)) {
      error = "CoCreateInstance failed with " + HresultText(hr);
      doc_ = nullptr;
      return false;
    }
    doc_->put_async(VARIANT_FALSE);
    doc_->put_validateOnParse(VARIANT_FALSE);
    doc_->put_resolveExternals(VARIANT_FALSE);
    loaded_ = VARIANT_FALSE;
    return true;
  }

  bool Run() override {
    load_result_ = doc_->loadXML(text_, &loaded_);
    return SUCCEEDED(load_result_) && loaded_ == VARIANT_TRUE;
  }

  bool End(uint64_t& elements, std::string& error) override {
    elements = 0;
    const bool ok = Count(elements, error);
    doc_->Release();
    doc_ = nullptr;
    return ok;
  }

 private:
  bool Count(uint64_t& elements, std::string& error) {
    if (FAILED(load_result_) || loaded_ != VARIANT_TRUE) {
      error = "loadXML failed with " + HresultText(load_result_);
      IXMLDOMParseError* fault = nullptr;
      if (SUCCEEDED(doc_->get_parseError(&fault)) && fault) {
        BSTR reason = nullptr;
        long line = 0, column = 0;
        fault->get_reason(&reason);
        fault->get_line(&line);
        fault->get_linepos(&column);
        error += ": " + Narrow(reason) + " at line " + std::to_string(line) + ", column " + std::to_string(column);
        SysFreeString(reason);
        fault->Release();
      }
      return false;
    }
    BSTR any = SysAllocString(L"*");
    IXMLDOMNodeList* list = nullptr;
    HRESULT hr = doc_->getElementsByTagName(any, &list);
    SysFreeString(any);
    long length = 0;
    if (SUCCEEDED(hr) && list) hr = list->get_length(&length);
    if (list) list->Release();
    if (FAILED(hr)) {
      error = "getElementsByTagName failed with " + HresultText(hr);
      return false;
    }
    elements = static_cast<uint64_t>(length);
    return true;
  }

  bool com_ = false;
  CLSID clsid_{};
  std::string name_;
  std::string reason_;
  BSTR text_ = nullptr;
  IXMLDOMDocument* doc_ = nullptr;
  HRESULT load_result_ = S_OK;
  VARIANT_BOOL loaded_ = VARIANT_FALSE;
};

}  // namespace

std::unique_ptr<XmlPeer> MakeXmlPeer(std::string_view, std::wstring_view wide) {
  return std::make_unique<MsxmlPeer>(wide);
}
