// COM for the thread that holds one: a single-threaded apartment, as the
// shell's objects (the Recycle Bin moves, the Task Scheduler) want it,
// entered for the owner's lifetime.
#pragma once
#include <objbase.h>

namespace base {

class ApartmentScope {
 public:
  ApartmentScope() : entered_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
  ~ApartmentScope() {
    if (entered_) CoUninitialize();
  }
  ApartmentScope(const ApartmentScope&) = delete;
  ApartmentScope& operator=(const ApartmentScope&) = delete;

 private:
  bool entered_;
};

}  // namespace base
