#include "fake_tools.h"

#include <algorithm>

#include "foundation/text_search.h"

FakeTools::FakeTools() : previous_(VoTools()) { SetVoTools(this); }
FakeTools::~FakeTools() { SetVoTools(previous_); }

void FakeTools::ScriptAnswers(std::initializer_list<bool> answers) {
  std::lock_guard lock(mutex_);
  answers_.insert(answers_.end(), answers);
}

std::vector<FakeTools::LogLine> FakeTools::LogLines() const {
  std::lock_guard lock(mutex_);
  return log_;
}

std::vector<FakeTools::MessageBox> FakeTools::MessageBoxes() const {
  std::lock_guard lock(mutex_);
  return boxes_;
}

std::vector<const void*> FakeTools::RegisteredThreads() const {
  std::lock_guard lock(mutex_);
  return threads_;
}

std::vector<VoString> FakeTools::LogTexts(const wchar_t* title) const {
  std::lock_guard lock(mutex_);
  std::vector<VoString> texts;
  for (const auto& line : log_) {
    if (line.title == title) texts.push_back(line.text);
  }
  return texts;
}

void FakeTools::Write(int category, const wchar_t* title, const wchar_t* text) {
  std::lock_guard lock(mutex_);
  log_.push_back({category, VoString(title), VoString(text)});
}

bool FakeTools::NextAnswer() {
  if (answers_.empty()) return false;
  const bool answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void FakeTools::ShowInformation(const wchar_t* title, const wchar_t* text) {
  std::lock_guard lock(mutex_);
  boxes_.push_back({VoString(title), VoString(text), {VoString(L"OK")}});
}

bool FakeTools::AskQuestion(const wchar_t* title, const wchar_t* text) {
  std::lock_guard lock(mutex_);
  boxes_.push_back({VoString(title), VoString(text), {VoString(L"Yes"), VoString(L"No")}});
  return NextAnswer();
}

void FakeTools::AskWithButtons(const wchar_t* title, const wchar_t* text, const wchar_t* first, const wchar_t* second,
                               VoString& pressed) {
  std::lock_guard lock(mutex_);
  boxes_.push_back({VoString(title), VoString(text), {VoString(first), VoString(second)}});
  pressed = VoString(NextAnswer() ? first : second);
}

int FakeTools::Find(const wchar_t* text, const wchar_t* what, int from, unsigned flags) {
  const VoString t(text);
  // Not t.FindNoCase: that is routed back here.
  const size_t at = (flags & 1) ? vo::FindTextNoCaseBuiltIn(t.View(), what, static_cast<size_t>(from))
                                : t.Find(what, static_cast<size_t>(from));
  return at == VoString::npos ? -1 : static_cast<int>(at);
}

int FakeTools::Compare(const wchar_t* a, const wchar_t* b, unsigned options) {
  return (options & 1) ? vo::CompareNoCase(a, b) : VoString(a).Compare(b);
}

void FakeTools::Register(const void* thread, const wchar_t*) {
  std::lock_guard lock(mutex_);
  threads_.push_back(thread);
}

void FakeTools::Unregister(const void* thread, int) {
  std::lock_guard lock(mutex_);
  threads_.erase(std::remove(threads_.begin(), threads_.end(), thread), threads_.end());
}

void FakeTools::AddSkinImage(const wchar_t* name, const wchar_t* path) {
  std::lock_guard lock(mutex_);
  skin_images_.emplace_back(VoString(name), VoString(path));
}

bool FakeTools::FindImage(const wchar_t* name, VoString& path) {
  std::lock_guard lock(mutex_);
  for (const auto& [image, file] : skin_images_) {
    if (image == name) {
      path = file;
      return true;
    }
  }
  return false;
}
