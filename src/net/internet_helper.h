#pragma once
// CInternetHelper: downloads one URL to a file through a CFileLoader and
// answers with a result code.

#include "foundation/vo_string.h"
#include "foundation/xml_document.h"
#include "net/file_loader.h"

class CInternetHelper {
 public:
  static constexpr int kSuccess = 0;
  static constexpr int kFailed = -1;          // failed with the network up, or cancelled after success
  static constexpr int kCancelled = -2;       // failed after cancellation
  static constexpr int kNoNetwork = -3;       // failed with no network
  static constexpr int kNotWellFormed = -4;   // the XML document is not well formed

  CInternetHelper();

  CFileLoader& Loader() { return loader_; }
  void SetProgressWindow(bool use) { progress_window_ = use; }
  void SetDelayedWindow(bool delayed) { delayed_window_ = delayed; }

  // Downloads `url` into `target` (in/out; empty: "Vo Download (<thread>).dat"
  // in the temporary folder) with the loader's modes; the target's folders
  // are created. On success `target` holds the file's path.
  int Download(const VoString& url, VoString& target, int mode);
  // Downloads to a temporary file, loads it into `document` and deletes it.
  int DownloadXml(const VoString& url, XmlDocument& document);

  // From any thread.
  void Cancel() { loader_.Cancel(); }

 private:
  CFileLoader loader_;
  VoString display_name_ = L"Vortala Download";
  bool progress_window_ = false;
  bool delayed_window_ = false;
};

namespace vo {

// Whether the machine reports a network connection (IsNetworkAlive).
bool IsNetworkAlive();

}  // namespace vo
