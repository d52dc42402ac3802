#pragma once
// COM for the calling thread: none, COM (CoInitialize) or OLE
// (OleInitialize). Changing the kind first undoes the current one; the
// destructor undoes whatever is left.

class VoComScope {
 public:
  enum Kind { kNone = 0, kCom = 1, kOle = 2 };

  explicit VoComScope(Kind kind = kNone) { SetKind(kind); }
  ~VoComScope() { SetKind(kNone); }
  VoComScope(const VoComScope&) = delete;
  VoComScope& operator=(const VoComScope&) = delete;

  // False when the new kind could not be initialised (the scope is then kNone).
  bool SetKind(Kind kind);
  Kind GetKind() const { return kind_; }

 private:
  Kind kind_ = kNone;
};
